#pragma once
// At start-up, for words that a copy of the program left unsaved when it
// ended: Yes brings them back into the editor, No gives them up.

#include "ui/QuestionDialog.h"

class frmRecover : public ui::QuestionDialog {
    Q_OBJECT
public:
    frmRecover();
    // The list whose words the question is about.
    void setName(const QString& name) { name_ = name; }
    bool answeredYes() const { return yes_; }
    void Form_Activate() override;

protected:
    QString question() const override;
    void yes() override { yes_ = true; }

private:
    QString name_;
    bool yes_ = false;
};

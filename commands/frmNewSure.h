#pragma once
// File > New with the name of an existing list: a new, empty version of it,
// or its present words to edit. No close box: one of the two must be chosen.

#include "ui/Dialog.h"

class frmNewSure : public ui::Dialog {
    Q_OBJECT
public:
    frmNewSure();

    // The name typed in File > New, which the question names.
    void setName(const QString& name) { name_ = name; }
    void Form_Activate() override;
    void cmdNew_Click();
    void cmdEdit_Click();

    // What was chosen at the last showing (None until then).
    enum class Choice { None, NewVersion, EditCurrent, Unreadable };
    Choice choice = Choice::None;

    QLabel* Label1 = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdEdit = nullptr;

private:
    QString name_;
};

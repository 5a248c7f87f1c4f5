#pragma once
// Save As under a name that is already a list: Yes sets replaceConfirmed.

#include "ui/QuestionDialog.h"

class frmReplaceReally : public ui::QuestionDialog {
    Q_OBJECT
public:
    frmReplaceReally();
    // The name typed in Save As, which the question names.
    void setName(const QString& name) { name_ = name; }

protected:
    QString question() const override;
    void yes() override;

private:
    QString name_;
};

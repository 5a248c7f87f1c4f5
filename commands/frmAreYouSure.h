#pragma once
// The unsaved-changes prompt: Yes sets frmMain's YesImSure, No leaves it false.

#include "ui/QuestionDialog.h"

class frmAreYouSure : public ui::QuestionDialog {
    Q_OBJECT
public:
    frmAreYouSure();

protected:
    QString question() const override;
    void yes() override;
};

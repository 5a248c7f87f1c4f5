#pragma once
// The unsaved-changes prompt: Yes sets frmMain's YesImSure, No leaves it false.

#include "ui/Dialog.h"

class frmAreYouSure : public ui::Dialog {
    Q_OBJECT
public:
    frmAreYouSure();

    void Form_Activate() override;
    void cmdYes_Click();
    void cmdNo_Click();

    QLabel* Label1 = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdNo = nullptr;
};

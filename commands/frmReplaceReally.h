#pragma once
// Save As under a name that is already a list: Yes sets replaceConfirmed.

#include "ui/Dialog.h"

class frmReplaceReally : public ui::Dialog {
    Q_OBJECT
public:
    frmReplaceReally();

    void Form_Activate() override;
    void cmdYes_Click();
    void cmdNo_Click();

    QLabel* Label1 = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdNo = nullptr;
};

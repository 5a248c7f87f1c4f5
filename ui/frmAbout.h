#pragma once
// The About box of Help > About: the program's name, its credits, its rights
// notice and its web address, filled in once, at the first showing.

#include "ui/Dialog.h"

class frmAbout : public ui::Dialog {
    Q_OBJECT
public:
    frmAbout();

    void Form_Load() override;
    void cmdOK_Click();

    QLabel* label1 = nullptr;
    QPushButton* cmdOK = nullptr;
};

#pragma once
// File > New asks for the new list's name here. A name of fewer than two
// characters is not taken; a name the index holds leads to frmNewSure.

#include "ui/Dialog.h"

namespace ui {
class SingleLineTextBox;
}

class frmAddCategory : public ui::Dialog {
    Q_OBJECT
public:
    frmAddCategory();

    void txtName_KeyPress(int& KeyAscii);
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* lblDir1 = nullptr;
    ui::SingleLineTextBox* txtName = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

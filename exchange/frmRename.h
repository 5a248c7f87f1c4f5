#pragma once
// The new name for an imported list whose name is taken. No close box.

#include "ui/Dialog.h"

namespace ui {
class SingleLineTextBox;
}

class frmRename : public ui::Dialog {
    Q_OBJECT
public:
    frmRename();

    void Form_Activate() override;
    void txtName_KeyPress(int& KeyAscii);
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* lblDir1 = nullptr;
    ui::SingleLineTextBox* txtName = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

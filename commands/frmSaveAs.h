#pragma once
// Save As: saves the editor's words under a new name, after a confirmation
// when a list of that name exists.

#include "ui/Dialog.h"

namespace ui {
class SingleLineTextBox;
}

class frmSaveAs : public ui::Dialog {
    Q_OBJECT
public:
    frmSaveAs();

    void Form_Activate() override;
    void txtName_KeyPress(int& KeyAscii);
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Label1 = nullptr;
    ui::SingleLineTextBox* txtName = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

#pragma once
// The new name for an imported list whose name is taken. No close box.

#include "ui/NameDialog.h"

class frmRename : public ui::NameDialog {
    Q_OBJECT
public:
    frmRename();
    void Form_Activate() override;
    void cmdOK_Click() override;
    void cmdCancel_Click() override;

    QLabel* lblDir1 = nullptr;
};

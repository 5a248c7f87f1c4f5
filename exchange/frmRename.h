#pragma once
// The new name for an imported list whose name is taken. No close box.

#include "commands/NameDialog.h"

class frmRename : public commands::NameDialog {
    Q_OBJECT
public:
    frmRename();
    void Form_Activate() override;
    void cmdOK_Click() override;
    void cmdCancel_Click() override;

    QLabel* lblDir1 = nullptr;
};

#pragma once
// Save As: saves the editor's words under a new name, after a confirmation
// when a list of that name exists.

#include "commands/NameDialog.h"

class frmSaveAs : public commands::NameDialog {
    Q_OBJECT
public:
    frmSaveAs();
    void Form_Activate() override;
    void cmdOK_Click() override;
    void cmdCancel_Click() override;

    QLabel* Label1 = nullptr;
};

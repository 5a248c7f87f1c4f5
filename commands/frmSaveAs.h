#pragma once
// Save As: saves the editor's words under a new name, after a confirmation
// when a list of that name exists.

#include "ui/NameDialog.h"

class frmSaveAs : public ui::NameDialog {
    Q_OBJECT
public:
    frmSaveAs();
    void Form_Activate() override;
    void cmdOK_Click() override;
    void cmdCancel_Click() override;

    QLabel* Label1 = nullptr;
};

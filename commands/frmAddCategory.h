#pragma once
// File > New asks for the new list's name here. A name of fewer than two
// characters is not taken; a name the index holds leads to frmNewSure.

#include "commands/NameDialog.h"

class frmAddCategory : public commands::NameDialog {
    Q_OBJECT
public:
    frmAddCategory();

    void cmdOK_Click() override;
    void cmdCancel_Click() override;

    QLabel* lblDir1 = nullptr;
};

#pragma once
// An imported list whose name the index already holds: replace the old list,
// import it under a new name, or skip it. No close box.

#include "ui/Dialog.h"

class frmDuplicate : public ui::Dialog {
    Q_OBJECT
public:
    frmDuplicate();

    void Form_Activate() override;
    void cmdReplace_Click();
    void cmdRename_Click();
    void cmdSkip_Click();

    QLabel* lblDir1 = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdSkip = nullptr;
};

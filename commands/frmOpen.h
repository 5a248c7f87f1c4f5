#pragma once
// File > Open: the lists of the index, one to choose. With no lists it says
// so and only OK is left, which then cancels.

#include "ui/ListDialog.h"

class frmOpen : public ui::ListDialog {
    Q_OBJECT
public:
    frmOpen();

    // The texts of the layout, which the no-lists state replaces.
    void restoreDesignTexts();
    void Form_Activate() override;
    void cmdOK_Click() override;
    void List1_DblClick();
    // The close box leaves like Never Mind.
    void closeBoxClicked() override { cmdCancel_Click(); }
};

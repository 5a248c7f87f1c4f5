#pragma once
// Edit > Delete a List: the chosen list's name leaves the index file and its
// file is deleted, at once. Deleting the current list closes it.

#include "ui/ListDialog.h"

class frmDelete : public ui::ListDialog {
    Q_OBJECT
public:
    frmDelete();

    void cmdOK_Click() override;

private:
    // True when Category was the current list, which is now closed. When the
    // list could not be deleted, says so and returns false.
    bool DeleteCategory(QString& Category);
};

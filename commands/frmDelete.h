#pragma once
// Edit > Delete a List: the chosen list's name leaves the index file and its
// file is deleted, at once. Deleting the current list closes it.

#include "ui/Dialog.h"

namespace ui {
class ListBox;
}

class frmDelete : public ui::Dialog {
    Q_OBJECT
public:
    frmDelete();

    void Form_Activate() override;
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Label1 = nullptr;
    ui::ListBox* List1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    // True when Category was the current list, which is now closed. When the
    // list could not be deleted, says so and returns false.
    bool DeleteCategory(QString& Category);
};

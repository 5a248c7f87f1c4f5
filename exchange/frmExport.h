#pragma once
// Export: the lists chosen here go into one exchange file named in the
// save-file dialog. No close box: it ends through its two buttons.

#include "ui/CommonDialog.h"
#include "ui/Dialog.h"

namespace ui {
class ListBox;
}

class frmExport : public ui::Dialog {
    Q_OBJECT
public:
    frmExport();

    void Form_Activate() override;
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Label1 = nullptr;
    ui::ListBox* List1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    ui::CommonDialog cd1;

private:
    void ExportCategories(QString& FileName);
};

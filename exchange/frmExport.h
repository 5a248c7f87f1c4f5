#pragma once
// Export: the lists chosen here go into one exchange file named in the
// save-file dialog. No close box: it ends through its two buttons.

#include "ui/CommonDialog.h"
#include "ui/ListDialog.h"

class frmExport : public ui::ListDialog {
    Q_OBJECT
public:
    frmExport();

    void Form_Activate() override;
    void cmdOK_Click() override;

    ui::CommonDialog cd1;

private:
    void ExportCategories(QString& FileName);
};

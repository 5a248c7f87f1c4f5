#include "commands/frmAddCategory.h"

#include "commands/frmNewSure.h"
#include "core/globals.h"
#include "editing/keyFilters.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QPushButton>

frmAddCategory::frmAddCategory()
    : commands::NameDialog(QStringLiteral("Add a category"),
                           QStringLiteral("Type the name for your new category."), 94,
                           QStringLiteral("Only 15 letters, please. No punctuation, please.")) {
    lblDir1 = prompt;
}

void frmAddCategory::cmdOK_Click() {
    if (txtName->Text().size() >= editing::kMinNameLength) {
        if (globals::FindListName(txtName->Text(), globals::ListNames, globals::ListCount) > 0) {
            frmNewSure& sure = ui::Forms::get<frmNewSure>();
            sure.setName(txtName->Text());
            ui::ShowModal(sure);
            if (sure.choice == frmNewSure::Choice::Unreadable) {
                // The list's words could not be read: no list is started, so
                // the editor's words never go under this name.
                txtName->setText(QString());
                hide();
                return;
            }
        }
        globals::CurrentCategory = txtName->Text();
    }
    hide();
}

void frmAddCategory::cmdCancel_Click() {
    txtName->setText(QString());
    hide();
}

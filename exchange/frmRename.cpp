#include "exchange/frmRename.h"

#include "core/globals.h"
#include "editing/keyFilters.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"

frmRename::frmRename()
    : commands::NameDialog(QStringLiteral("Rename a category"),
                           QStringLiteral("Give a new name to the imported category."), 84,
                           QStringLiteral("Only 15 letters, please. No punctuation, please.")) {
    lblDir1 = prompt;
}

void frmRename::Form_Activate() {
    txtName->setText(QString());
    txtName->SetFocus();
}

void frmRename::cmdOK_Click() {
    globals::renameConfirmed = true;
    hide();
}

void frmRename::cmdCancel_Click() {
    hide();
}

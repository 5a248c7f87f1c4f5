#include "commands/frmSaveAs.h"

#include "app/globals.h"
#include "commands/frmReplaceReally.h"
#include "editing/keyFilters.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/SingleLineTextBox.h"
#include "ui/frmMain.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QLabel>
#include <QPushButton>

frmSaveAs::frmSaveAs()
    : ui::NameDialog(QStringLiteral("Save as a New Category"),
                     QStringLiteral("Type the new category name."), 110,
                     QStringLiteral("Only 15 letters, please.  Please, no punctuation.")) {
    Label1 = prompt;
}

void frmSaveAs::Form_Activate() {
    txtName->setText(QString());
    txtName->SetFocus();
}

void frmSaveAs::cmdOK_Click() {
    const QString name = txtName->Text();
    if (name.size() < editing::kMinNameLength) {
        hide();
        return;
    }
    if (globals::FindListName(name, globals::ListNames, globals::ListCount) > 0) {
        globals::replaceConfirmed = false;
        ui::ShowModal(ui::Forms::get<frmReplaceReally>());
        if (!globals::replaceConfirmed) {
            hide();
            return;
        }
    }
    frmMain& main = ui::Forms::get<frmMain>();
    const QString previous = globals::CurrentCategory;
    globals::CurrentCategory = name;
    if (!main.txtEditor_SaveEntries()) {
        globals::CurrentCategory = previous;
        hide();
        return;
    }
    ui::SetCaption(main.lblCategoryLabel, QStringLiteral("category: ") + name);
    hide();
}

void frmSaveAs::cmdCancel_Click() {
    hide();
}

#include "commands/frmSaveAs.h"

#include "commands/frmReplaceReally.h"
#include "core/globals.h"
#include "editing/keyFilters.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/MainWindow.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QLabel>
#include <QPushButton>

frmSaveAs::frmSaveAs()
    : commands::NameDialog(QStringLiteral("Save as a New Category"),
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
        frmReplaceReally& replace = ui::Forms::get<frmReplaceReally>();
        replace.setName(name);
        ui::ShowModal(replace);
        if (!globals::replaceConfirmed) {
            hide();
            return;
        }
    }
    ui::MainWindow& main = ui::mainWindow();
    const QString previous = globals::CurrentCategory;
    globals::CurrentCategory = name;
    if (!main.txtEditor_SaveEntries()) {
        globals::CurrentCategory = previous;
        hide();
        return;
    }
    ui::setCaption(main.lblCategoryLabel, QStringLiteral("category: %1").arg(name));
    hide();
}

void frmSaveAs::cmdCancel_Click() {
    hide();
}

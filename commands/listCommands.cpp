#include "commands/listCommands.h"

#include "commands/frmAddCategory.h"
#include "commands/frmAreYouSure.h"
#include "commands/frmDelete.h"
#include "commands/frmNewSure.h"
#include "commands/frmOpen.h"
#include "commands/frmSaveAs.h"
#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "editing/keyFilters.h"
#include "ui/Forms.h"
#include "ui/MainWindow.h"
#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QLabel>

namespace commands {

namespace {
// Shows the prompt; true when the user chose to save.
bool askToSave(ui::MainWindow& main) {
    main.YesImSure = false;
    ui::ShowModal(ui::Forms::get<frmAreYouSure>());
    return main.YesImSure;
}

// The window's editing state for the current list.
void showCurrentList(ui::MainWindow& main) {
    ui::setCaption(main.lblCategoryLabel,
                   QStringLiteral("category: %1").arg(globals::CurrentCategory.toLower()));
    main.showEditing();
    globals::ListChanged = false;
}
} // namespace

bool offerToSave(ui::MainWindow& main) {
    if (!globals::ListChanged || !askToSave(main))
        return true;
    if (!main.txtEditor_SaveEntries())
        return false;
    globals::ListChanged = false;
    main.txtEditor_ResetUndo();
    return true;
}

void newList(ui::MainWindow& main) {
    if (!offerToSave(main))
        return;
    frmAddCategory& add = ui::Forms::get<frmAddCategory>();
    ui::Forms::get<frmNewSure>().choice = frmNewSure::Choice::None;
    add.txtName->setText(QString());
    ui::ShowModal(add);
    if (add.txtName->Text().size() < editing::kMinNameLength)
        return; // no name taken: everything stays as it was

    showCurrentList(main);
    if (ui::Forms::get<frmNewSure>().choice != frmNewSure::Choice::EditCurrent)
        main.txtEditor->setText(QString());
    main.txtEditor_ResetUndo();
    main.txtEditor->SetFocus();
}

void openList(ui::MainWindow& main) {
    if (!offerToSave(main))
        return;
    main.userCanceled = false;
    frmOpen& open = ui::Forms::get<frmOpen>();
    open.restoreDesignTexts();
    ui::ShowModal(open);
    if (main.userCanceled)
        return;
    showCurrentList(main);
    main.txtEditor_ResetUndo();
    main.txtEditor->SetFocus();
}

void saveList(ui::MainWindow& main) {
    if (!main.txtEditor_SaveEntries())
        return;
    core::MsgBox(messages::saved(), core::vbOKOnly, messages::savedTitle());
}

void saveListAs(ui::MainWindow&) {
    ui::ShowModal(ui::Forms::get<frmSaveAs>());
}

bool mayEnd(ui::MainWindow& main) {
    return !(globals::ListChanged && askToSave(main) && !main.txtEditor_SaveEntries());
}

void deleteList(ui::MainWindow&) {
    ui::ShowModal(ui::Forms::get<frmDelete>());
}

} // namespace commands

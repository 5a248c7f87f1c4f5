#include "commands/listCommands.h"

#include "app/globals.h"
#include "commands/frmAddCategory.h"
#include "commands/frmAreYouSure.h"
#include "commands/frmDelete.h"
#include "commands/frmNewSure.h"
#include "commands/frmOpen.h"
#include "commands/frmSaveAs.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"
#include "ui/frmMain.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QLabel>

namespace commands {

namespace {
// Shows the prompt; true when the user chose to save.
bool askToSave(frmMain& main) {
    main.YesImSure = false;
    ui::ShowModal(ui::Forms::get<frmAreYouSure>());
    return main.YesImSure;
}

// The window's editing state for the current list.
void showCurrentList(frmMain& main) {
    ui::SetCaption(main.lblCategoryLabel,
                   QStringLiteral("category: ") + globals::CurrentCategory.toLower());
    main.txtEditor->setVisible(true);
    ui::SetCaption(main.lblVisibleHelp, globals::HelpText[2]);
    main.mnuEnable_All();
    globals::ListChanged = false;
}
} // namespace

bool OfferToSave(frmMain& main) {
    if (!globals::ListChanged || !askToSave(main))
        return true;
    if (!main.txtEditor_SaveEntries())
        return false;
    globals::ListChanged = false;
    main.txtEditor_ResetUndo();
    return true;
}

void NewList(frmMain& main) {
    if (!OfferToSave(main))
        return;
    frmAddCategory& add = ui::Forms::get<frmAddCategory>();
    ui::Forms::get<frmNewSure>().choice = frmNewSure::Choice::None;
    add.txtName->setText(QString());
    ui::ShowModal(add);
    if (add.txtName->Text().size() < 2)
        return; // no name taken: everything stays as it was

    showCurrentList(main);
    if (ui::Forms::get<frmNewSure>().choice != frmNewSure::Choice::EditCurrent)
        main.txtEditor->setText(QString());
    main.txtEditor_ResetUndo();
    main.txtEditor->SetFocus();
}

void OpenList(frmMain& main) {
    if (!OfferToSave(main))
        return;
    main.userCanceled = false;
    frmOpen& open = ui::Forms::get<frmOpen>();
    open.RestoreDesignTexts();
    ui::ShowModal(open);
    if (main.userCanceled)
        return;
    showCurrentList(main);
    main.txtEditor_ResetUndo();
    main.txtEditor->SetFocus();
}

void SaveList(frmMain& main) {
    if (!main.txtEditor_SaveEntries())
        return;
    ui::MsgBox(QStringLiteral("Word list was saved."), ui::vbOKOnly, QStringLiteral("Success"));
}

void SaveListAs(frmMain&) {
    ui::ShowModal(ui::Forms::get<frmSaveAs>());
}

void ExitProgram(frmMain& main) {
    if (globals::ListChanged && askToSave(main) && !main.txtEditor_SaveEntries())
        return;
    ui::EndProgram();
}

void DeleteList(frmMain&) {
    ui::ShowModal(ui::Forms::get<frmDelete>());
}

} // namespace commands

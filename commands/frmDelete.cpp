#include "commands/frmDelete.h"

#include "core/globals.h"
#include "store/ListStore.h"
#include "ui/MainWindow.h"
#include "ui/reports.h"

frmDelete::frmDelete()
    : ui::ListDialog(
          {QStringLiteral("Delete a category"), 5400, 5400, CloseBox::None,
           QStringLiteral("Select the word list you want to delete:"), QRect(240, 240, 4920, 735),
           QAbstractItemView::SingleSelection, QRect(240, 1080, 4920, 3135), QStringLiteral("OK"),
           QRect(720, 4440, 1695, 495), QStringLiteral("Cancel"), QRect(2880, 4440, 1935, 495)}) {}

void frmDelete::cmdOK_Click() {
    const QStringList chosen = chosenRows();
    if (chosen.isEmpty()) {
        hide();
        return;
    }
    QString name = chosen.constFirst();
    if (DeleteCategory(name))
        globals::ListChanged = false;
    // Another list deleted: the open list, its instructions and its Changed
    // flag stay as they were, so unsaved edits are still offered for saving.
    leave(false);
}

bool frmDelete::DeleteCategory(QString& Category) {
    const store::Result deleted = store::ListStore::instance().remove(Category);
    if (!deleted.ok()) {
        ui::report(deleted);
        return false;
    }
    const bool current = Category.toLower() == globals::CurrentCategory.toLower();
    if (current) {
        globals::CurrentCategory.clear();
        ui::mainWindow().showNoList();
    }
    return current;
}

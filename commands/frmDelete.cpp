#include "commands/frmDelete.h"

#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/listWorkflows.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/MainWindow.h"
#include "ui/MultiLineTextBox.h"
#include "ui/look.h"
#include "ui/reports.h"

#include <QPushButton>

frmDelete::frmDelete()
    : ui::Dialog(QStringLiteral("Delete a category"), 5400, 5400, CloseBox::None) {
    Label1 =
        addLabel(QStringLiteral("Select the word list you want to delete:"), 240, 240, 4920, 735);
    List1 = addListBox(QAbstractItemView::SingleSelection, 240, 1080, 4920, 3135);
    cmdOK = addButton(QStringLiteral("OK"), 720, 4440, 1695, 495);
    cmdCancel = addButton(QStringLiteral("Cancel"), 2880, 4440, 1935, 495);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmDelete::Form_Activate() {
    ui::reloadListIndex();
    List1->fill(store::currentListNames());
    List1->setFocus();
}

void frmDelete::cmdCancel_Click() {
    ui::mainWindow().userCanceled = true;
    hide();
}

void frmDelete::cmdOK_Click() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        hide();
        return;
    }
    QString name = selected.constFirst()->text();
    if (DeleteCategory(name))
        globals::ListChanged = false;
    // Another list deleted: the open list, its instructions and its Changed
    // flag stay as they were, so unsaved edits are still offered for saving.
    ui::mainWindow().userCanceled = false;
    hide();
}

bool frmDelete::DeleteCategory(QString& Category) {
    const store::DeleteResult deleted = store::deleteList(Category);
    switch (deleted.status) {
    case store::DeleteStatus::Deleted:
        break;
    case store::DeleteStatus::Busy:
        core::MsgBox(messages::indexBusy());
        return false;
    case store::DeleteStatus::IndexNotWritten:
        ui::reportFile(deleted.file, store::indexFilePath(), messages::indexNotWritten());
        return false;
    case store::DeleteStatus::FileNotDeleted:
        core::MsgBox(messages::listNotDeleted(deleted.listPath), core::vbCritical);
        return false;
    }
    const bool current = Category.toLower() == globals::CurrentCategory.toLower();
    if (current) {
        globals::CurrentCategory.clear();
        ui::mainWindow().showNoList();
    }
    return current;
}

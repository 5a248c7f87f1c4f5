#include "commands/frmDelete.h"

#include "app/globals.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/MultiLineTextBox.h"
#include "ui/frmMain.h"
#include "ui/look.h"
#include "ui/services.h"

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
    globals::LoadListIndex();
    List1->fill(store::currentListNames());
    List1->setFocus();
}

void frmDelete::cmdCancel_Click() {
    ui::Forms::get<frmMain>().userCanceled = true;
    hide();
}

void frmDelete::cmdOK_Click() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        hide();
        return;
    }
    QString name = selected.constFirst()->text();
    frmMain& main = ui::Forms::get<frmMain>();
    if (DeleteCategory(name)) {
        ui::SetCaption(main.lblVisibleHelp, globals::HelpText[1]);
        globals::ListChanged = false;
    }
    // Another list deleted: the open list, its instructions and its Changed
    // flag stay as they were, so unsaved edits are still offered for saving.
    main.userCanceled = false;
    hide();
}

bool frmDelete::DeleteCategory(QString& Category) {
    const QString deleted = Category.toLower();
    QStringList kept;
    for (const QString& name : store::currentListNames()) {
        if (name.toLower() != deleted)
            kept.append(name.toLower());
    }
    const QString path = store::resolveListFile(Category);
    if (!store::writeIndexFile(kept))
        ui::Fatal(store::kIndexWriteFailed);
    if (!store::removeFile(path))
        ui::Fatal(QStringLiteral("could not delete ") + path +
                  QStringLiteral(".  Do you have permissions?"));

    const bool current = deleted == globals::CurrentCategory.toLower();
    if (current) {
        frmMain& main = ui::Forms::get<frmMain>();
        ui::SetCaption(main.lblCategoryLabel, QString());
        globals::CurrentCategory.clear();
        main.txtEditor->setText(QString());
        main.txtEditor->setVisible(false);
        main.mnuDisable_EditSave();
    }
    globals::LoadListIndex();
    return current;
}

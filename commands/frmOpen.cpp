#include "commands/frmOpen.h"

#include "core/globals.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/MainWindow.h"
#include "ui/look.h"
#include "ui/reports.h"

#include <QPushButton>

namespace {
const QString kTitle = QStringLiteral("Select a category");
const QString kInstruction = QStringLiteral("Select the word list you want:");
const QString kNeverMind = QStringLiteral("Never Mind");
} // namespace

frmOpen::frmOpen() : ui::Dialog(kTitle, 5400, 5400, CloseBox::Present) {
    // Resizable; the controls keep their places.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setSizeGripEnabled(true);

    List1 = addListBox(QAbstractItemView::SingleSelection, 240, 1440, 4920, 2775);
    cmdOK = addButton(QStringLiteral("OK"), 720, 4440, 1695, 495);
    cmdCancel = addButton(kNeverMind, 2880, 4440, 1935, 495);
    Label1 = addLabel(kInstruction, 240, 240, 4920, 1095);
    // Enter in the list opens the chosen list.
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
}

void frmOpen::restoreDesignTexts() {
    ui::setCaption(Label1, kInstruction);
    setWindowTitle(kTitle);
    cmdCancel->setText(kNeverMind);
}

void frmOpen::Form_Activate() {
    ui::reloadListIndex();
    List1->fill(store::currentListNames());
    List1->setVisible(true);
    List1->setFocus();
    cmdCancel->setVisible(true);
    if (List1->count() > 0)
        return;
    List1->setVisible(false);
    ui::setCaption(Label1, QStringLiteral("No word lists.  \r\rUse 'File > New' to start one."));
    cmdCancel->setVisible(false);
}

void frmOpen::cmdOK_Click() {
    ui::MainWindow& main = ui::mainWindow();
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    QString name = selected.isEmpty() ? QString() : selected.constFirst()->text();
    // No lists, no row chosen, or a list that cannot be read: nothing is
    // opened, as with Never Mind.
    if (!List1->isVisibleTo(this) || name.isEmpty() || !main.txtEditor_GetEntries(name)) {
        main.userCanceled = true;
        hide();
        return;
    }
    globals::CurrentCategory = name;
    globals::ListChanged = false;
    main.userCanceled = false;
    hide();
}

void frmOpen::cmdCancel_Click() {
    ui::mainWindow().userCanceled = true;
    hide();
}

void frmOpen::List1_DblClick() {
    cmdOK_Click();
}

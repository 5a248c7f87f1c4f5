#include "commands/frmOpen.h"

#include "core/globals.h"
#include "ui/ListBox.h"
#include "ui/MainWindow.h"
#include "ui/look.h"

#include <QPushButton>

namespace {
const QString kTitle = QStringLiteral("Select a category");
const QString kInstruction = QStringLiteral("Select the word list you want:");
const QString kNeverMind = QStringLiteral("Never Mind");
} // namespace

frmOpen::frmOpen()
    : ui::ListDialog({kTitle, 5400, 5400, CloseBox::Present, kInstruction,
                      QRect(240, 240, 4920, 1095), QAbstractItemView::SingleSelection,
                      QRect(240, 1440, 4920, 2775), QStringLiteral("OK"),
                      QRect(720, 4440, 1695, 495), kNeverMind, QRect(2880, 4440, 1935, 495)}) {
    // Resizable; the controls keep their places.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setSizeGripEnabled(true);
    // Enter in the list opens the chosen list.
    cmdOK->setDefault(true);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
}

void frmOpen::restoreDesignTexts() {
    ui::setCaption(Label1, kInstruction);
    setWindowTitle(kTitle);
    cmdCancel->setText(kNeverMind);
}

void frmOpen::Form_Activate() {
    List1->setVisible(true);
    cmdCancel->setVisible(true);
    ui::ListDialog::Form_Activate();
    if (List1->count() > 0)
        return;
    List1->setVisible(false);
    ui::setCaption(Label1, QStringLiteral("No word lists.  \r\rUse 'File > New' to start one."));
    cmdCancel->setVisible(false);
}

void frmOpen::cmdOK_Click() {
    const QStringList chosen = chosenRows();
    QString name = chosen.isEmpty() ? QString() : chosen.constFirst();
    // No lists, no row chosen, or a list that cannot be read: nothing is
    // opened, as with Never Mind.
    if (!List1->isVisibleTo(this) || name.isEmpty() || !ui::mainWindow().txtEditor_GetEntries(name))
        return leave(true);
    globals::CurrentCategory = name;
    globals::ListChanged = false;
    leave(false);
}

void frmOpen::List1_DblClick() {
    cmdOK_Click();
}

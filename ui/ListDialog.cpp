#include "ui/ListDialog.h"

#include "store/listIndex.h"
#include "ui/ListBox.h"
#include "ui/MainWindow.h"
#include "ui/reports.h"

#include <QPushButton>

namespace ui {

ListDialog::ListDialog(const Layout& layout)
    : Dialog(layout.title, layout.width, layout.height, layout.closeBox) {
    Label1 = addLabel(layout.instruction, layout.label.x(), layout.label.y(), layout.label.width(),
                      layout.label.height());
    List1 = addListBox(layout.selection, layout.list.x(), layout.list.y(), layout.list.width(),
                       layout.list.height());
    cmdOK = addButton(layout.ok, layout.okButton.x(), layout.okButton.y(), layout.okButton.width(),
                      layout.okButton.height());
    cmdCancel = addButton(layout.cancel, layout.cancelButton.x(), layout.cancelButton.y(),
                          layout.cancelButton.width(), layout.cancelButton.height());
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void ListDialog::Form_Activate() {
    reloadListIndex();
    List1->fill(store::ListStore::instance().names());
    List1->setFocus();
}

void ListDialog::cmdCancel_Click() {
    leave(true);
}

QStringList ListDialog::chosenRows() const {
    QStringList rows;
    for (int row = 0; row < List1->count(); ++row)
        if (List1->item(row)->isSelected())
            rows << List1->item(row)->text();
    return rows;
}

void ListDialog::leave(bool canceled) {
    mainWindow().userCanceled = canceled;
    hide();
}

} // namespace ui

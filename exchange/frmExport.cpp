#include "exchange/frmExport.h"

#include "store/ListStore.h"
#include "ui/look.h"
#include "ui/reports.h"

#include <QPushButton>

namespace {
// Shorter chosen paths are taken as a cancelled dialog.
constexpr qsizetype kShortestPath = 5;
} // namespace

frmExport::frmExport()
    : ui::ListDialog({QStringLiteral("Export  categories"), 6000, 6240, CloseBox::None,
                      QStringLiteral("Select the word lists you want:"),
                      QRect(240, 240, 5520, 1335), QAbstractItemView::ExtendedSelection,
                      QRect(240, 1680, 5520, 3615), QStringLiteral("Export"),
                      QRect(960, 5520, 1695, 495), QStringLiteral("Cancel"),
                      QRect(3360, 5520, 1695, 495)}) {
    // Enter in the list goes on to the file name.
    cmdOK->setDefault(true);
}

void frmExport::Form_Activate() {
    ui::ListDialog::Form_Activate();
    ui::setCaption(Label1,
                   QStringLiteral("Hold down the CTRL key and click on the categories you want to "
                                  "export.\r\rAfter you click 'Export', you will name the export "
                                  "file."));
}

void frmExport::cmdOK_Click() {
    cd1.DialogTitle = QStringLiteral("Export File Name");
    cd1.Filter = QStringLiteral("KT Export File (*.kte)|*.kte");
    cd1.FileName = QString();
    cd1.ShowSave();
    QString fileName = cd1.FileName;
    if (fileName.size() < kShortestPath)
        return leave(true);
    ExportCategories(fileName);
    leave(false);
}

void frmExport::ExportCategories(QString& FileName) {
    // Written whole or not at all: a failure leaves an earlier file of that
    // name as it was, and the program goes on.
    ui::report(store::ListStore::instance().exportLists(chosenRows(), FileName));
}

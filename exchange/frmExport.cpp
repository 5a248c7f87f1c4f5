#include "exchange/frmExport.h"

#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "exchange/exchangeFile.h"
#include "store/files.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/MainWindow.h"
#include "ui/look.h"
#include "ui/reports.h"

#include <QPushButton>

namespace {
// Shorter chosen paths are taken as a cancelled dialog.
constexpr qsizetype kShortestPath = 5;
} // namespace

frmExport::frmExport()
    : ui::Dialog(QStringLiteral("Export  categories"), 6000, 6240, CloseBox::None) {
    Label1 = addLabel(QStringLiteral("Select the word lists you want:"), 240, 240, 5520, 1335);
    List1 = addListBox(QAbstractItemView::ExtendedSelection, 240, 1680, 5520, 3615);
    cmdOK = addButton(QStringLiteral("Export"), 960, 5520, 1695, 495);
    cmdCancel = addButton(QStringLiteral("Cancel"), 3360, 5520, 1695, 495);
    // Enter in the list goes on to the file name.
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmExport::Form_Activate() {
    ui::reloadListIndex();
    List1->fill(store::currentListNames());
    ui::setCaption(Label1,
                   QStringLiteral("Hold down the CTRL key and click on the categories you want to "
                                  "export.\r\rAfter you click 'Export', you will name the export "
                                  "file."));
    List1->setFocus();
}

void frmExport::cmdCancel_Click() {
    ui::mainWindow().userCanceled = true;
    hide();
}

void frmExport::cmdOK_Click() {
    ui::MainWindow& main = ui::mainWindow();
    main.userCanceled = false;
    cd1.DialogTitle = QStringLiteral("Export File Name");
    cd1.Filter = QStringLiteral("KT Export File (*.kte)|*.kte");
    cd1.FileName = QString();
    cd1.ShowSave();
    QString fileName = cd1.FileName;
    if (fileName.size() < kShortestPath) {
        main.userCanceled = true;
        hide();
        return;
    }
    ExportCategories(fileName);
    hide();
}

void frmExport::ExportCategories(QString& FileName) {
    // The file is written whole or not at all: a failure leaves an earlier
    // file of that name as it was, and the program goes on.
    store::AtomicFile file(FileName);
    const QString cannotCreate = messages::exchangeNotCreated(FileName);
    const store::FileStatus opened = file.open();
    if (opened != store::FileStatus::Ok)
        return ui::reportFile(opened, FileName, cannotCreate);
    const store::ListFolder& folder = store::ListFolder::current();
    // The sections are gathered and written a megabyte at a time.
    constexpr qsizetype kChunk = 1 << 20;
    QByteArray chunk;
    chunk.reserve(kChunk + 64 * 1024);
    for (int row = 0; row < List1->count(); ++row) {
        const QListWidgetItem* item = List1->item(row);
        if (!item->isSelected())
            continue;
        const store::ReadResult list = folder.read(item->text());
        if (list.status != store::FileStatus::Ok) {
            const QString path = folder.resolve(item->text());
            return ui::reportFile(list.status, path, messages::exportedListNotRead(path),
                                  store::kMaxListFileBytes);
        }
        exchange::appendSectionOfFile(chunk, item->text(), list.bytes);
        if (chunk.size() >= kChunk) {
            if (!file.write(chunk))
                return core::MsgBox(cannotCreate, core::vbCritical);
            chunk.clear();
        }
    }
    if (!file.write(chunk) || !file.commit())
        core::MsgBox(cannotCreate, core::vbCritical);
}

#include "exchange/exchangeCommands.h"

#include "commands/listCommands.h"
#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "exchange/exchangeFile.h"
#include "exchange/frmDuplicate.h"
#include "exchange/frmExport.h"
#include "store/ListImport.h"
#include "store/files.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"
#include "ui/Forms.h"
#include "ui/MainWindow.h"
#include "ui/platform.h"
#include "ui/reports.h"

namespace exchange {

void exportLists(ui::MainWindow& main) {
    if (!commands::offerToSave(main))
        return;
    ui::ShowModal(ui::Forms::get<frmExport>());
}

void importLists(ui::MainWindow& main) {
    if (!commands::offerToSave(main))
        return;
    main.cd1.DialogTitle = QStringLiteral("Import file");
    main.cd1.Filter = QStringLiteral("Kt Export file (*.kte)|*.kte");
    main.cd1.FileName = QString();
    main.cd1.ShowOpen();
    QString fileName = main.cd1.FileName;
    if (!fileName.isEmpty())
        globals::ImportCategories(fileName);
}

} // namespace exchange

namespace globals {

namespace {
// Decides what becomes of the section named importCategory: asks when the
// index holds the name. True when it is to be written (under importCategory).
bool resolveImportName(const store::ListImport& import) {
    if (import.holds(importCategory)) {
        skipCategory = true;
        ui::ShowModal(ui::Forms::get<frmDuplicate>());
    }
    return !skipCategory;
}
} // namespace

void ImportCategories(QString& FileName) {
    // The exchange file is read whole and closed before anything is written.
    const store::ReadResult file = store::readFile(FileName, store::kMaxExchangeFileBytes);
    if (file.status == store::FileStatus::NotRegular || file.status == store::FileStatus::TooLarge)
        return ui::reportFile(file.status, FileName, QString(), store::kMaxExchangeFileBytes);
    const exchange::ExchangeFile exchangeFile = file.status == store::FileStatus::Ok
                                                    ? exchange::readExchangeFile(file.bytes)
                                                    : exchange::ExchangeFile{};
    if (exchangeFile.status == exchange::ReadStatus::Unreadable)
        return core::MsgBox(messages::importNotOpened(FileName));
    if (exchangeFile.status == exchange::ReadStatus::NoHeader)
        return core::MsgBox(messages::importHasErrors(FileName));

    store::ListImport import(exchangeFile.sections.size());
    int overLimit = 0;
    QStringList unusable;   // names that cannot name a file in the list folder
    QStringList notRegular; // names whose entry there is not an ordinary file
    for (const exchange::Section& section : exchangeFile.sections) {
        importCategory = section.name;
        skipCategory = false;
        if (exchange::isUnsafeListName(importCategory)) {
            // Never a file outside the list folder, nor a name later commands
            // cannot handle.
            unusable << importCategory;
            continue;
        }
        if (!resolveImportName(import))
            continue;
        const store::ListImport::Result written = import.write(importCategory, section.words);
        if (written.status == store::ListImport::Status::IndexFull)
            ++overLimit; // the index holds no more names
        else if (written.status == store::ListImport::Status::NotRegular)
            notRegular << importCategory;
        if (written.status == store::ListImport::Status::NotWritten) {
            // The index stays as it was; the lists written so far wait,
            // unlisted, for the file to be imported again once the fault is
            // mended.
            core::MsgBox(messages::importedListNotWritten(written.path), core::vbCritical);
            LoadListIndex();
            return;
        }
    }

    switch (import.finish()) {
    case store::ListImport::Finish::Done:
        break;
    case store::ListImport::Finish::Busy:
        core::MsgBox(messages::indexBusy());
        break;
    case store::ListImport::Finish::NotRegular:
        core::MsgBox(messages::notAFile(store::indexFilePath()));
        break;
    case store::ListImport::Finish::NotWritten:
        core::MsgBox(messages::importIndexNotWritten(store::indexFilePath()), core::vbCritical);
        break;
    }
    if (!unusable.isEmpty())
        core::MsgBox(messages::importNamesUnusable(unusable, FileName));
    if (!notRegular.isEmpty())
        core::MsgBox(messages::importFilesNotRegular(notRegular, FileName));
    overLimit += import.notListed();
    if (overLimit > 0)
        core::MsgBox(messages::importOverLimit(overLimit, FileName, kMaxLists));
}

} // namespace globals

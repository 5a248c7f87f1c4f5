#include "exchange/exchangeCommands.h"

#include "commands/listCommands.h"
#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "exchange/exchangeFile.h"
#include "exchange/frmDuplicate.h"
#include "exchange/frmExport.h"
#include "store/ListImport.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"
#include "ui/Forms.h"
#include "ui/MainWindow.h"
#include "ui/platform.h"

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
    const store::ReadResult file = store::readFile(FileName);
    const exchange::ExchangeFile exchangeFile = file.opened && file.complete
                                                    ? exchange::readExchangeFile(file.bytes)
                                                    : exchange::ExchangeFile{};
    if (exchangeFile.status == exchange::ReadStatus::Unreadable) {
        core::MsgBox(messages::importNotOpened(FileName));
        return;
    }
    if (exchangeFile.status == exchange::ReadStatus::NoHeader) {
        core::MsgBox(messages::importHasErrors(FileName));
        return;
    }

    store::ListImport import(exchangeFile.sections.size());
    int overLimit = 0;
    for (const exchange::Section& section : exchangeFile.sections) {
        importCategory = section.name;
        skipCategory = false;
        if (exchange::isUnsafeListName(importCategory)) {
            // Never a file outside the list folder, nor a name later commands
            // cannot handle.
            core::MsgBox(messages::importNameUnusable(importCategory, FileName));
            continue;
        }
        if (!resolveImportName(import))
            continue;
        const store::ListImport::Result written = import.write(importCategory, section.words);
        switch (written.status) {
        case store::ListImport::Status::Written:
            break;
        case store::ListImport::Status::IndexFull:
            ++overLimit; // the index holds no more names
            break;
        case store::ListImport::Status::NotWritten:
            core::fatal(messages::importedListNotWritten(written.path));
        }
    }

    if (!import.finish())
        core::fatal(messages::importIndexNotWritten(store::indexFilePath()));
    if (overLimit > 0)
        core::MsgBox(messages::importOverLimit(overLimit, FileName, kMaxLists));
}

} // namespace globals

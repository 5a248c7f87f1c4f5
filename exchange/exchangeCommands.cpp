#include "exchange/exchangeCommands.h"

#include "commands/listCommands.h"
#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "exchange/frmDuplicate.h"
#include "exchange/frmExport.h"
#include "store/ListStore.h"
#include "store/exchangeFile.h"
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
// index holds the name, unless an earlier answer stands for the rest of the
// import. True when it is to be written (under importCategory).
bool resolveImportName(const store::ListImport& import, frmDuplicate::Answer& standing) {
    if (!import.holds(importCategory))
        return true;
    skipCategory = true;
    switch (standing) {
    case frmDuplicate::Answer::Replace:
        skipCategory = false;
        return true;
    case frmDuplicate::Answer::Skip:
        return false;
    case frmDuplicate::Answer::Rename:
        if (frmDuplicate::askNewName()) { // each list its own new name
            skipCategory = false;
            return true;
        }
        break; // no name given: this one is asked about
    case frmDuplicate::Answer::None:
        break;
    }
    frmDuplicate& duplicate = ui::Forms::get<frmDuplicate>();
    ui::ShowModal(duplicate);
    if (duplicate.forTheRest())
        standing = duplicate.answer();
    return !skipCategory;
}
} // namespace

void ImportCategories(QString& FileName) {
    // The exchange file is read whole and closed before anything is written.
    store::ExchangeFile exchangeFile;
    const store::Result read = store::loadExchangeFile(FileName, exchangeFile);
    if (!read.ok())
        return ui::report(read);

    store::ListImport import(store::ListStore::instance(), exchangeFile.sections.size());
    const store::Result started = import.start();
    if (!started.ok())
        return ui::report(started);
    ui::Forms::get<frmDuplicate>().startImport();
    frmDuplicate::Answer standing = frmDuplicate::Answer::None;
    int overLimit = 0;
    QStringList unusable;   // names that cannot name a file in the list folder
    QStringList notRegular; // names whose entry there is not an ordinary file
    for (const store::Section& section : exchangeFile.sections) {
        importCategory = section.name;
        skipCategory = false;
        if (store::isUnsafeListName(importCategory)) {
            // Never a file outside the list folder, nor a name later commands
            // cannot handle.
            unusable << importCategory;
            continue;
        }
        if (!resolveImportName(import, standing))
            continue;
        const store::Result written = import.write(importCategory, section.words);
        if (written.outcome == store::Outcome::IndexFull) {
            ++overLimit; // the index holds no more names
        } else if (written.file == store::FileStatus::NotRegular) {
            notRegular << importCategory;
        } else if (!written.ok()) {
            // The index stays as it was; the lists written so far wait,
            // unlisted, for the file to be imported again once the fault is
            // mended.
            ui::report(written);
            ui::reloadListIndex();
            return;
        }
    }
    ui::report(import.finish());
    if (!unusable.isEmpty())
        core::MsgBox(messages::importNamesUnusable(unusable, FileName));
    if (!notRegular.isEmpty())
        core::MsgBox(messages::importFilesNotRegular(notRegular, FileName));
    overLimit += import.notListed();
    if (overLimit > 0)
        core::MsgBox(messages::importOverLimit(overLimit, FileName, kMaxLists));
}

} // namespace globals

#include "exchange/exchangeCommands.h"

#include "app/globals.h"
#include "commands/listCommands.h"
#include "exchange/exchangeFile.h"
#include "exchange/frmDuplicate.h"
#include "exchange/frmExport.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"
#include "ui/Forms.h"
#include "ui/frmMain.h"
#include "ui/platform.h"

#include <QSet>

namespace exchange {

void ExportLists(frmMain& main) {
    if (!commands::OfferToSave(main))
        return;
    ui::ShowModal(ui::Forms::get<frmExport>());
}

void ImportLists(frmMain& main) {
    if (!commands::OfferToSave(main))
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
// The names of the list index in small letters, kept up to date as the
// import adds names, so a large import does not search the index again and
// again (FindListName's answer, found in one step).
class HeldNames {
public:
    HeldNames() {
        names_.reserve(ListCount);
        for (int i = 1; i <= ListCount; ++i)
            names_.insert(ListNames[i].toLower());
    }
    bool contains(const QString& name) const { return names_.contains(name.toLower()); }
    void add(const QString& name) {
        ListNames[++ListCount] = name;
        names_.insert(name.toLower());
    }

private:
    QSet<QString> names_;
};

// Decides what becomes of the section named importCategory: asks when the
// index holds the name. True when it is to be written (under importCategory).
bool resolveImportName(const HeldNames& held) {
    if (held.contains(importCategory)) {
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
        ui::MsgBox(QStringLiteral("couldn't open import file ") + FileName);
        return;
    }
    if (exchangeFile.status == exchange::ReadStatus::NoHeader) {
        ui::MsgBox(FileName + QStringLiteral(" has errors in it."));
        return;
    }

    HeldNames held;
    store::ListFolder folder(ListCount + exchangeFile.sections.size());
    int overLimit = 0;
    for (const exchange::Section& section : exchangeFile.sections) {
        importCategory = section.name;
        skipCategory = false;
        if (exchange::isUnsafeListName(importCategory)) {
            // Never a file outside the list folder, nor a name later commands
            // cannot handle.
            ui::MsgBox(QStringLiteral("The list named \"") + importCategory +
                       QStringLiteral("\" in ") + FileName +
                       QStringLiteral(" cannot be imported: its name cannot be a file name. It "
                                      "was skipped."));
            continue;
        }
        if (!resolveImportName(held))
            continue;
        if (!held.contains(importCategory)) {
            if (ListCount >= kMaxLists) {
                ++overLimit; // the index holds no more names
                continue;
            }
            held.add(importCategory);
        }
        // Replace writes the existing list's file, whatever its letter case.
        const QString path = folder.resolve(importCategory);
        if (!store::writeFileAtomically(path, store::joinLines(section.words)))
            ui::Fatal(QStringLiteral("could not open ") + path +
                      QStringLiteral(" for writing.  Do you have proper permissions?"));
        folder.add(importCategory);
    }

    if (!store::writeIndexFile(store::currentListNames()))
        ui::Fatal(QStringLiteral("could not update ") + store::indexFilePath() +
                  QStringLiteral(".  Do you have proper permissions?"));
    LoadListIndex();
    if (overLimit > 0)
        ui::MsgBox(QStringLiteral("%1 of the lists in %2 were not imported: Kestrel can hold "
                                  "no more than %3 word lists.")
                       .arg(overLimit)
                       .arg(FileName)
                       .arg(kMaxLists));
}

} // namespace globals

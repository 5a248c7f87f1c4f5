#include "ui/reports.h"

#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "store/listIndex.h"

namespace ui {

namespace {
// Why a file was left alone, when it is not an ordinary file or too large;
// an empty text otherwise.
QString leftAlone(const store::Result& r) {
    switch (r.file) {
    case store::FileStatus::NotRegular:
        return messages::notAFile(r.path);
    case store::FileStatus::TooLarge:
        return messages::tooLarge(r.path, r.limit);
    default:
        return QString();
    }
}

void plain(const QString& text) {
    core::MsgBox(text);
}
void critical(const QString& text) {
    core::MsgBox(text, core::vbCritical);
}
} // namespace

void report(const store::Result& r) {
    using store::Outcome;
    if (r.ok() || r.repeated)
        return;
    const QString why = leftAlone(r);
    switch (r.outcome) {
    case Outcome::Done:
        break;
    case Outcome::IndexNotRead:
        plain(messages::indexLeftAlone(why.isEmpty() ? messages::indexNotRead(r.path) : why));
        break;
    case Outcome::FolderNotMade:
        critical(messages::noPermission());
        break;
    case Outcome::TooMany:
        critical(messages::tooManyListsInIndex(globals::kMaxLists));
        break;
    case Outcome::Busy:
        plain(messages::indexBusy());
        break;
    case Outcome::Refused:
        plain(messages::nothingChanged(r.path));
        break;
    case Outcome::IndexFull:
        plain(messages::indexFull(globals::kMaxLists));
        break;
    case Outcome::ListTooLarge:
        plain(messages::listTooLarge(r.path, r.limit));
        break;
    case Outcome::IndexNotWritten:
        why.isEmpty() ? critical(messages::indexNotWritten()) : plain(why);
        break;
    case Outcome::ListNotWritten:
        why.isEmpty() ? critical(messages::listNotWritten(r.path)) : plain(why);
        break;
    case Outcome::ListNotDeleted:
        critical(messages::listNotDeleted(r.path));
        break;
    case Outcome::ListNotRead:
        plain(why.isEmpty() ? messages::listNotRead(r.path) : why);
        break;
    case Outcome::ExportListNotRead:
        why.isEmpty() ? critical(messages::exportedListNotRead(r.path)) : plain(why);
        break;
    case Outcome::ExchangeNotWritten:
        why.isEmpty() ? critical(messages::exchangeNotCreated(r.path)) : plain(why);
        break;
    case Outcome::ImportFileNotRead:
        plain(why.isEmpty() ? messages::importNotOpened(r.path) : why);
        break;
    case Outcome::ImportFileDamaged:
        plain(messages::importHasErrors(r.path));
        break;
    case Outcome::ImportListNotWritten:
        why.isEmpty() ? critical(messages::importedListNotWritten(r.path)) : plain(why);
        break;
    case Outcome::ImportIndexNotWritten:
        why.isEmpty() ? critical(messages::importIndexNotWritten(r.path)) : plain(why);
        break;
    }
}

void reloadListIndex() {
    report(globals::LoadListIndex());
}

} // namespace ui

#include "ui/reports.h"

#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "store/listFiles.h"

namespace ui {

void reportIndex(store::IndexStatus status) {
    using store::IndexStatus;
    switch (status) {
    case IndexStatus::Loaded:
    case IndexStatus::Unreadable: // a missing index is no news: the first save makes it
        break;
    case IndexStatus::NotRegular:
        core::MsgBox(messages::notAFile(store::indexFilePath()));
        break;
    case IndexStatus::TooLarge:
        core::MsgBox(messages::tooLarge(store::indexFilePath(), store::kMaxIndexFileBytes));
        break;
    case IndexStatus::FolderNotMade:
        core::MsgBox(messages::noPermission(), core::vbCritical);
        break;
    case IndexStatus::TooMany:
        core::MsgBox(messages::tooManyListsInIndex(globals::kMaxLists), core::vbCritical);
        break;
    }
}

void reloadListIndex() {
    reportIndex(globals::LoadListIndex());
}

void reportFile(store::FileStatus status, const QString& path, const QString& failureMessage,
                qint64 limitBytes, int failureStyle) {
    switch (status) {
    case store::FileStatus::Ok:
        break;
    case store::FileStatus::NotRegular:
        core::MsgBox(messages::notAFile(path));
        break;
    case store::FileStatus::TooLarge:
        core::MsgBox(messages::tooLarge(path, limitBytes));
        break;
    case store::FileStatus::Missing:
    case store::FileStatus::Failed:
        core::MsgBox(failureMessage, failureStyle);
        break;
    }
}

} // namespace ui

#include "store/listIndex.h"

#include "core/globals.h"
#include "store/listFiles.h"
#include "store/textFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace globals {

namespace {
// The list folder, made when missing, so that the first save can write into it.
bool ensureListFolder() {
    const QString folder = store::listFolderPath();
    return QFileInfo(folder).isDir() || QDir().mkdir(folder);
}
} // namespace

store::IndexStatus LoadListIndex() {
    using store::IndexStatus;
    const store::ReadResult file =
        store::readFile(store::indexFilePath(), store::kMaxIndexFileBytes);
    if (file.status != store::FileStatus::Ok && !file.opened) {
        if (!ensureListFolder())
            return IndexStatus::FolderNotMade;
        if (file.status == store::FileStatus::NotRegular)
            return IndexStatus::NotRegular;
        return file.status == store::FileStatus::TooLarge ? IndexStatus::TooLarge
                                                          : IndexStatus::Unreadable;
    }
    ListCount = 0;
    const QStringList lines = store::readLines(file.bytes);
    const store::ListFolder folder(lines.size());
    for (const QString& line : lines) {
        if (!folder.contains(line))
            continue;
        if (ListCount >= kMaxLists)
            return IndexStatus::TooMany;
        ListNames[++ListCount] = line;
    }
    if (file.status == store::FileStatus::Ok)
        return IndexStatus::Loaded;
    return ensureListFolder() ? IndexStatus::Unreadable : IndexStatus::FolderNotMade;
}

int FindListName(const QString& name, const std::vector<QString>& table, const qint16& count) {
    for (int i = 1; i <= count; ++i) {
        if (table[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

} // namespace globals

namespace store {

QStringList currentListNames() {
    QStringList names;
    names.reserve(globals::ListCount);
    for (int i = 1; i <= globals::ListCount; ++i)
        names.append(globals::ListNames[i]);
    return names;
}

FileStatus writeIndexFile(const QStringList& lines) {
    return writeFileAtomically(indexFilePath(), joinLines(lines));
}

namespace {
// Long enough for another copy to finish a rewrite of 10000 names.
constexpr int kLockWaitMilliseconds = 3000;
} // namespace

IndexLock::IndexLock()
    : lock_(std::make_unique<QLockFile>(globals::KestrelFolder + kPathSeparator +
                                        QStringLiteral(".quillbox.lock"))) {
    if (!lock_->tryLock(kLockWaitMilliseconds))
        busy_ = lock_->error() == QLockFile::LockFailedError;
}

IndexLock::~IndexLock() = default;

} // namespace store

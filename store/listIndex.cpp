#include "store/listIndex.h"

#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "store/listFiles.h"
#include "store/textFile.h"

#include <QDir>
#include <QFileInfo>

namespace globals {

namespace {
// The index file could not be opened or read through: make sure the list
// folder exists, so that the first Save can write into it. The list index
// keeps what it holds.
void ensureListFolder() {
    const QString folder = store::listFolderPath();
    if (QFileInfo(folder).isDir())
        return;
    if (!QDir().mkdir(folder))
        core::fatal(messages::noPermission());
}
} // namespace

void LoadListIndex() {
    const store::ReadResult file = store::readFile(store::indexFilePath());
    if (!file.opened) {
        ensureListFolder();
        return;
    }
    ListCount = 0;
    const QStringList lines = store::readLines(file.bytes);
    const store::ListFolder folder(lines.size());
    for (const QString& line : lines) {
        if (!folder.contains(line))
            continue;
        if (ListCount >= kMaxLists)
            core::fatal(messages::tooManyListsInIndex(kMaxLists));
        ListNames[++ListCount] = line;
    }
    if (!file.complete)
        ensureListFolder();
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

bool writeIndexFile(const QStringList& lines) {
    return writeFileAtomically(indexFilePath(), joinLines(lines));
}

} // namespace store

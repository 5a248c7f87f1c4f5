#include "store/listWorkflows.h"

#include "core/globals.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"

namespace store {

SaveResult saveList(const QString& name, const QStringList& words) {
    const IndexLock lock;
    if (lock.busy())
        return {SaveStatus::Busy, FileStatus::Ok, QString()};
    globals::LoadListIndex(); // as another copy of the program may have left it
    QStringList index = currentListNames();
    if (globals::FindListName(name, globals::ListNames, globals::ListCount) == 0) {
        // One more name would make an index that no start-up can load.
        if (globals::ListCount >= globals::kMaxLists)
            return {SaveStatus::IndexFull, FileStatus::Ok, QString()};
        index.append(name.toLower());
    }
    // A list whose entry is not an ordinary file is left alone, index and all.
    const QString path = resolveListFile(name);
    if (replaceable(path) == FileStatus::NotRegular)
        return {SaveStatus::ListNotWritten, FileStatus::NotRegular, path};
    const FileStatus indexWritten = writeIndexFile(index);
    if (indexWritten != FileStatus::Ok)
        return {SaveStatus::IndexNotWritten, indexWritten, QString()};
    const FileStatus listWritten = writeFileAtomically(path, joinLines(words));
    globals::LoadListIndex();
    if (listWritten != FileStatus::Ok)
        return {SaveStatus::ListNotWritten, listWritten, path};
    return {SaveStatus::Saved, FileStatus::Ok, path};
}

DeleteResult deleteList(const QString& name) {
    const IndexLock lock;
    if (lock.busy())
        return {DeleteStatus::Busy, FileStatus::Ok, QString()};
    globals::LoadListIndex();
    const QStringList held = currentListNames();
    const QString deleted = name.toLower();
    QStringList kept;
    for (const QString& entry : held) {
        if (entry.toLower() != deleted)
            kept.append(entry.toLower());
    }
    const QString path = resolveListFile(name);
    const ReadResult before = readFile(indexFilePath(), kMaxIndexFileBytes);
    const FileStatus indexWritten = writeIndexFile(kept);
    if (indexWritten != FileStatus::Ok)
        return {DeleteStatus::IndexNotWritten, indexWritten, path};
    if (!removeFile(path)) {
        // The list stays: so does its name.
        if (before.status == FileStatus::Ok)
            writeFileAtomically(indexFilePath(), before.bytes);
        else
            writeIndexFile(held);
        globals::LoadListIndex();
        return {DeleteStatus::FileNotDeleted, FileStatus::Failed, path};
    }
    globals::LoadListIndex();
    return {DeleteStatus::Deleted, FileStatus::Ok, path};
}

} // namespace store

#include "store/listWorkflows.h"

#include "core/globals.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"

namespace store {

SaveResult saveList(const QString& name, const QByteArray& listFile) {
    const IndexLock lock;
    if (lock.busy())
        return {SaveStatus::Busy, FileStatus::Ok, QString()};
    globals::LoadListIndex(); // as another copy of the program may have left it
    const bool added = globals::FindListName(name, globals::ListNames, globals::ListCount) == 0;
    // One more name would make an index that no start-up can load.
    if (added && globals::ListCount >= globals::kMaxLists)
        return {SaveStatus::IndexFull, FileStatus::Ok, QString()};
    // A list whose entry is not an ordinary file is left alone, index and all.
    const QString path = resolveListFile(name);
    if (replaceable(path) == FileStatus::NotRegular)
        return {SaveStatus::ListNotWritten, FileStatus::NotRegular, path};
    const QByteArray index = indexBytes(added ? name.toLower() : QString());
    const FileStatus indexWritten = writeFileAtomically(indexFilePath(), index);
    if (indexWritten != FileStatus::Ok)
        return {SaveStatus::IndexNotWritten, indexWritten, QString()};
    const ListFolder::Time before = ListFolder::folderTime();
    const FileStatus listWritten = writeFileAtomically(path, listFile);
    if (listWritten != FileStatus::Ok) {
        globals::LoadListIndex();
        return {SaveStatus::ListNotWritten, listWritten, path};
    }
    ListFolder::noteWritten(path, before);
    // The list index is now the index file's, each name with its file: no
    // need to read it again.
    if (added)
        globals::ListNames[++globals::ListCount] = name.toLower();
    noteIndexWritten(index);
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
    const QByteArray index = joinLines(kept);
    const FileStatus indexWritten = writeFileAtomically(indexFilePath(), index);
    if (indexWritten != FileStatus::Ok)
        return {DeleteStatus::IndexNotWritten, indexWritten, path};
    const ListFolder::Time folderBefore = ListFolder::folderTime();
    if (!removeFile(path)) {
        // The list stays: so does its name.
        if (before.status == FileStatus::Ok)
            writeFileAtomically(indexFilePath(), before.bytes);
        else
            writeFileAtomically(indexFilePath(), joinLines(held));
        globals::LoadListIndex();
        return {DeleteStatus::FileNotDeleted, FileStatus::Failed, path};
    }
    ListFolder::noteRemoved(path, folderBefore);
    // The list index is now the index file's, each name with its file.
    globals::ListCount = qint16(kept.size());
    for (int i = 1; i <= globals::ListCount; ++i)
        globals::ListNames[i] = kept[i - 1];
    noteIndexWritten(index);
    return {DeleteStatus::Deleted, FileStatus::Ok, path};
}

} // namespace store

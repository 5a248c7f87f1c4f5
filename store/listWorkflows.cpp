#include "store/listWorkflows.h"

#include "core/globals.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"

namespace store {

SaveResult saveList(const QString& name, const QStringList& words) {
    QStringList index = currentListNames();
    if (globals::FindListName(name, globals::ListNames, globals::ListCount) == 0) {
        // One more name would make an index that no start-up can load.
        if (globals::ListCount >= globals::kMaxLists)
            return {SaveStatus::IndexFull, QString()};
        index.append(name.toLower());
    }
    if (!writeIndexFile(index))
        return {SaveStatus::IndexNotWritten, QString()};
    const QString path = resolveListFile(name);
    if (!writeFileAtomically(path, joinLines(words)))
        return {SaveStatus::ListNotWritten, path};
    globals::LoadListIndex();
    return {SaveStatus::Saved, path};
}

DeleteResult deleteList(const QString& name) {
    const QString deleted = name.toLower();
    QStringList kept;
    for (const QString& entry : currentListNames()) {
        if (entry.toLower() != deleted)
            kept.append(entry.toLower());
    }
    const QString path = resolveListFile(name);
    if (!writeIndexFile(kept))
        return {DeleteStatus::IndexNotWritten, path};
    if (!removeFile(path))
        return {DeleteStatus::FileNotDeleted, path};
    globals::LoadListIndex();
    return {DeleteStatus::Deleted, path};
}

} // namespace store

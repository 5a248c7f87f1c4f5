#include "store/ListImport.h"

#include "core/globals.h"
#include "store/listIndex.h"
#include "store/textFile.h"

namespace store {

ListImport::ListImport(qsizetype expectedLists) : folder_(globals::ListCount + expectedLists) {
    held_.reserve(globals::ListCount + expectedLists);
    for (int i = 1; i <= globals::ListCount; ++i)
        held_.insert(globals::ListNames[i].toLower());
}

bool ListImport::holds(const QString& name) const {
    return held_.contains(name.toLower());
}

ListImport::Result ListImport::write(const QString& name, const QStringList& words) {
    if (!holds(name)) {
        if (globals::ListCount >= globals::kMaxLists)
            return {Status::IndexFull, QString()};
        globals::ListNames[++globals::ListCount] = name;
        held_.insert(name.toLower());
    }
    const QString path = folder_.resolve(name);
    if (!writeFileAtomically(path, joinLines(words)))
        return {Status::NotWritten, path};
    folder_.add(name);
    return {Status::Written, path};
}

bool ListImport::finish() {
    if (!writeIndexFile(currentListNames()))
        return false;
    globals::LoadListIndex();
    return true;
}

} // namespace store

#include "store/ListImport.h"

#include "core/globals.h"
#include "store/listIndex.h"
#include "store/textFile.h"

namespace store {

namespace {
const ListFolder& loaded() {
    globals::LoadListIndex();
    return ListFolder::current();
}
} // namespace

ListImport::ListImport(qsizetype expectedLists) : folder_(loaded()) {
    held_.reserve(globals::ListCount + expectedLists);
    for (int i = 1; i <= globals::ListCount; ++i)
        held_.insert(globals::ListNames[i].toLower());
}

bool ListImport::holds(const QString& name) const {
    return held_.contains(name.toLower());
}

ListImport::Result ListImport::write(const QString& name, const QStringList& words) {
    const bool added = !holds(name);
    if (added && globals::ListCount >= globals::kMaxLists)
        return {Status::IndexFull, QString()};
    const QString path = folder_.resolve(name);
    const ListFolder::Time before = ListFolder::folderTime();
    const FileStatus written = writeFileAtomically(path, joinLines(words));
    if (written != FileStatus::Ok)
        return {written == FileStatus::NotRegular ? Status::NotRegular : Status::NotWritten, path};
    ListFolder::noteWritten(path, before);
    if (added) {
        globals::ListNames[++globals::ListCount] = name;
        held_.insert(name.toLower());
        added_.append(name);
    }
    return {Status::Written, path};
}

ListImport::Finish ListImport::finish() {
    const IndexLock lock;
    if (lock.busy())
        return Finish::Busy;
    globals::LoadListIndex(); // as another copy of the program may have left it
    QSet<QString> onDisk;
    for (int i = 1; i <= globals::ListCount; ++i)
        onDisk.insert(globals::ListNames[i].toLower());
    for (const QString& name : added_) {
        if (onDisk.contains(name.toLower()))
            continue;
        if (globals::ListCount >= globals::kMaxLists)
            ++notListed_;
        else
            globals::ListNames[++globals::ListCount] = name;
    }
    const QByteArray index = joinLines(currentListNames());
    const FileStatus written = writeFileAtomically(indexFilePath(), index);
    if (written == FileStatus::Ok) {
        noteIndexWritten(index); // the list index is the file's, each name with its file
        return Finish::Done;
    }
    globals::LoadListIndex();
    return written == FileStatus::NotRegular ? Finish::NotRegular : Finish::NotWritten;
}

} // namespace store

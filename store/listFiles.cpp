#include "store/listFiles.h"

#include "app/globals.h"

#include <QDir>
#include <QFileInfo>

namespace store {

namespace {
const QString kIndexFileName = QStringLiteral("VocabularyLists.txt");
const QString kListFolderName = QStringLiteral("Vocab Categories");
const QString kListExtension = QStringLiteral(".txt");

QString fileNameFor(const QString& name) { return name + kListExtension; }

QDir::Filters ordinaryFiles() {
#ifdef _WIN32
    return QDir::Files; // hidden files do not count
#else
    return QDir::Files | QDir::Hidden; // a dot file is an ordinary file here
#endif
}
} // namespace

QString indexFilePath() { return globals::KestrelFolder + kPathSeparator + kIndexFileName; }

QString listFolderPath() {
    return globals::KestrelFolder + kPathSeparator + kListFolderName + kPathSeparator;
}

QString listFilePath(const QString& name) { return listFolderPath() + fileNameFor(name); }

ListFolder::ListFolder() : folder_(listFolderPath()) {
    const QStringList files = QDir(folder_).entryList(ordinaryFiles() | QDir::NoDotAndDotDot,
                                                          QDir::NoSort);
    exact_.reserve(files.size());
    folded_.reserve(files.size());
    for (const QString& file : files) {
        exact_.insert(file, file);
        // Of several files that differ only in case, the same one is chosen
        // every time: the first in code-point order.
        const QString key = file.toLower();
        auto it = folded_.find(key);
        if (it == folded_.end())
            folded_.insert(key, file);
        else if (file < *it)
            *it = file;
    }
}

QString ListFolder::find(const QString& name) const {
    const QString file = fileNameFor(name);
    auto exact = exact_.constFind(file);
    if (exact != exact_.cend())
        return folder_ + *exact;
    auto folded = folded_.constFind(file.toLower());
    if (folded != folded_.cend())
        return folder_ + *folded;
    return QString();
}

QString resolveListFile(const QString& name) {
    const QString spelled = listFilePath(name);
    if (QFileInfo(spelled).isFile())
        return spelled;
    const QString found = ListFolder().find(name);
    return found.isEmpty() ? spelled : found;
}

} // namespace store

#include "store/listFiles.h"

#include "app/globals.h"
#include "store/textFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace store {

namespace {
const QString kIndexFileName = QStringLiteral("VocabularyLists.txt");
const QString kListFolderName = QStringLiteral("Vocab Categories");
const QString kListExtension = QStringLiteral(".txt");

QString fileNameFor(const QString& name) {
    return name + kListExtension;
}

} // namespace

QString indexFilePath() {
    return globals::KestrelFolder + kPathSeparator + kIndexFileName;
}

QString listFolderPath() {
    return globals::KestrelFolder + kPathSeparator + kListFolderName + kPathSeparator;
}

QString listFilePath(const QString& name) {
    return listFolderPath() + fileNameFor(name);
}

namespace {
// Calls add with the name of each ordinary file in folder (symlinks to files included).
template <class Add> void forEachOrdinaryFile(const QString& folder, Add add) {
#ifdef _WIN32
    for (const QString& file :
         QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort))
        add(file);
#else
    // One pass of readdir: the entry types spare a stat per file.
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = ::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            add(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
#endif
}

// file is name + ".txt", spelled exactly.
bool isFileOf(const QString& file, const QString& name) {
    return file.size() == name.size() + kListExtension.size() && file.startsWith(name) &&
           file.endsWith(kListExtension);
}
} // namespace

ListFolder::ListFolder(qsizetype expectedFiles) : folder_(listFolderPath()) {
    folded_.reserve(expectedFiles);
    forEachOrdinaryFile(folder_, [this](QString file) {
        if (!file.endsWith(kListExtension, Qt::CaseInsensitive))
            return;
        const QString key = file.left(file.size() - kListExtension.size()).toLower();
        // Of several files that differ only in case, the same one is chosen
        // every time: the first in code-point order.
        auto it = folded_.find(key);
        if (it == folded_.end()) {
            folded_.insert(key, std::move(file));
        } else if (file < *it) {
            variants_.insert(*it);
            *it = std::move(file);
        } else {
            variants_.insert(std::move(file));
        }
    });
}

QString ListFolder::fileFor(const QString& name) const {
    auto it = folded_.constFind(name.toLower());
    if (it == folded_.cend())
        return QString();
    if (variants_.isEmpty() || isFileOf(*it, name))
        return *it; // the exact match, or the one file that matches regardless of case
    const QString file = fileNameFor(name);
    return variants_.contains(file) ? file : *it;
}

QString ListFolder::find(const QString& name) const {
    const QString file = fileFor(name);
    return file.isNull() ? QString() : folder_ + file;
}

QString ListFolder::resolve(const QString& name) const {
    const QString file = fileFor(name);
    return folder_ + (file.isNull() ? fileNameFor(name) : file);
}

void ListFolder::add(const QString& name) {
    if (fileFor(name).isNull())
        folded_.insert(name.toLower(), fileNameFor(name));
}

QString resolveListFile(const QString& name) {
    const QString spelled = listFilePath(name);
    if (QFileInfo(spelled).isFile())
        return spelled;
    const QString found = ListFolder().find(name);
    return found.isEmpty() ? spelled : found;
}

std::optional<QStringList> readListFile(const QString& path) {
    const ReadResult file = readFile(path);
    if (!file.opened || !file.complete)
        return std::nullopt;
    return readLines(file.bytes);
}

QStringList wordLines(const QString& editorText) {
    QStringList lines;
    const qsizetype n = editorText.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = editorText.at(i);
        if (c == u'\n') {
            start = i + 1;
        } else if (c == u'\r') {
            if (start < i)
                lines.append(editorText.mid(start, i - start).toLower());
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(editorText.mid(start).toLower());
    return lines;
}

bool removeFile(const QString& path) {
    QFile file(path);
    if (!file.remove()) {
        // A read-only file is deleted all the same.
        file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
        if (!file.remove() && QFileInfo::exists(path))
            return false;
    }
    syncFolderOf(path);
    return true;
}

} // namespace store

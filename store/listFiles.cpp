#include "store/listFiles.h"

#include "core/globals.h"
#include "store/files.h"
#include "store/textFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <vector>

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
// Calls add with the name, as bytes, of each entry in folder, and whether it
// is an ordinary file (a link to one included).
template <class Add> void forEachEntry(const QString& folder, Add add) {
#ifdef _WIN32
    for (const QFileInfo& file : QDir(folder).entryInfoList(
             QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort)) {
        const QByteArray bytes = file.fileName().toUtf8();
        add(bytes.constData(), bytes.size(), file.isFile());
    }
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
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            add(entry->d_name, qsizetype(std::strlen(entry->d_name)), regular);
    }
    ::closedir(dir);
#endif
}

// name in small letters; quick for the usual plain ASCII name in small letters.
QString folded(const QString& name) {
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || (u >= u'A' && u <= u'Z'))
            return name.toLower();
    }
    return name;
}

// The name of a file as the file system gives it, as text; quick for ASCII.
QString decodeFileName(const char* name, qsizetype length) {
    for (qsizetype i = 0; i < length; ++i)
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return QString::fromUtf8(name, length);
    return QString::fromLatin1(name, length);
}

// Whether a file name ends in ".txt", in any letter case.
bool hasListExtension(const char* name, qsizetype length) {
    if (length < 4 || name[length - 4] != '.')
        return false;
    const char* e = name + length - 3;
    return (e[0] | 0x20) == 't' && (e[1] | 0x20) == 'x' && (e[2] | 0x20) == 't';
}

// file is name + ".txt", spelled exactly.
bool isFileOf(const QString& file, const QString& name) {
    return file.size() == name.size() + kListExtension.size() && file.startsWith(name) &&
           file.endsWith(kListExtension);
}
} // namespace

// folded_ maps a list name in small letters to its file's name, kept only
// where that is not simply the key + ".txt" (the usual case costs no string).
// Its keys view into keys_ or added_.

ListFolder::ListFolder(qsizetype expectedFiles) : folder_(listFolderPath()) {
    // The names in small letters go one after another into one string, and
    // the table's keys view into it: a large folder costs no string a file.
    struct Listed {
        qsizetype offset;
        qsizetype length;
        QString file; // null when the file is the key + ".txt"
    };
    std::vector<Listed> listed;
    listed.reserve(std::size_t(expectedFiles));
    keys_.reserve(expectedFiles * 12);
    forEachEntry(folder_, [&](const char* name, qsizetype length, bool regular) {
        if (!hasListExtension(name, length))
            return;
        if (!regular) { // no list, but its name is taken
            others_.insert(decodeFileName(name, length - kListExtension.size()).toLower(),
                           decodeFileName(name, length));
            return;
        }
        const qsizetype baseLength = length - kListExtension.size();
        const qsizetype offset = keys_.size();
        bool plain = std::memcmp(name + baseLength, ".txt", 4) == 0;
        for (qsizetype i = 0; i < baseLength && plain; ++i) {
            const char c = name[i];
            plain = static_cast<unsigned char>(c) < 0x80 && !(c >= 'A' && c <= 'Z');
        }
        if (plain) {
            keys_.append(QLatin1String(name, baseLength));
        } else {
            keys_.append(decodeFileName(name, baseLength).toLower());
        }
        listed.push_back(
            {offset, keys_.size() - offset, plain ? QString() : decodeFileName(name, length)});
    });
    folded_.reserve(qsizetype(listed.size()));
    for (Listed& entry : listed)
        addFile(QStringView(keys_).mid(entry.offset, entry.length), std::move(entry.file));
}

QString ListFolder::fileName(Files::const_iterator it) const {
    return it->isNull() ? it.key().toString() + kListExtension : *it;
}

void ListFolder::addFile(QStringView key, QString file) {
    auto it = folded_.find(key);
    if (it == folded_.end()) {
        folded_.insert(key, std::move(file));
        return;
    }
    // Of several files that differ only in case, the same one is chosen
    // every time: the first in code-point order.
    const QString chosen = fileName(it);
    const QString incoming = file.isNull() ? key.toString() + kListExtension : file;
    if (incoming < chosen) {
        variants_.insert(chosen);
        *it = std::move(file);
    } else {
        variants_.insert(incoming);
    }
}

QString ListFolder::fileFor(const QString& name) const {
    auto it = folded_.constFind(folded(name));
    if (it == folded_.cend())
        return QString();
    const QString chosen = fileName(it);
    if (variants_.isEmpty() || isFileOf(chosen, name))
        return chosen; // the exact match, or the one file that matches regardless of case
    const QString file = fileNameFor(name);
    return variants_.contains(file) ? file : chosen;
}

bool ListFolder::contains(const QString& name) const {
    return folded_.contains(folded(name));
}

QString ListFolder::find(const QString& name) const {
    const QString file = fileFor(name);
    return file.isNull() ? QString() : folder_ + file;
}

QString ListFolder::resolve(const QString& name) const {
    const QString file = fileFor(name);
    if (!file.isNull())
        return folder_ + file;
    // An entry of that name that is no list file is never passed by.
    return folder_ + others_.value(folded(name), fileNameFor(name));
}

void ListFolder::add(const QString& name) {
    if (contains(name))
        return;
    added_.append(folded(name)); // the key views into it; its characters never move
    folded_.insert(added_.constLast(), added_.constLast() == name ? QString() : fileNameFor(name));
}

QString resolveListFile(const QString& name) {
    const QString spelled = listFilePath(name);
    return QFileInfo(spelled).isFile() ? spelled : ListFolder().resolve(name);
}

ListFileRead readListFile(const QString& path) {
    const ReadResult file = readFile(path, kMaxListFileBytes);
    if (file.status != FileStatus::Ok)
        return {file.status, {}};
    return {FileStatus::Ok, readLines(file.bytes)};
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

} // namespace store

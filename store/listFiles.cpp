#include "store/listFiles.h"

#include "core/globals.h"
#include "store/files.h"
#include "store/textFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <ctime>
#include <memory>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

// A capital of Latin-1 (U+00C0 to U+00DE, but U+00D7) as a small letter; any
// other code point below U+0100 as it is. What QString::toLower does to them.
unsigned char smallLatin1(unsigned char c) {
    return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 0x20 : c;
}

// Keys: names in small letters, as UTF-8. The common cases (ASCII, Latin-1)
// are folded byte by byte into out, the rest through QString::toLower.

// A file's name, as the file system gives it (UTF-8).
void keyOfFile(const char* name, qsizetype length, std::string& out) {
    out.clear();
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            out += char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < length &&
                   (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
            const unsigned char small =
                smallLatin1(static_cast<unsigned char>((c & 0x03) << 6 | (name[++i] & 0x3F)));
            out += char(0xC0 | small >> 6);
            out += char(0x80 | (small & 0x3F));
        } else {
            out = utf8(QString::fromUtf8(name, length).toLower());
            return;
        }
    }
}

// A line of the index, as it stands there (Windows-1252).
void keyOfLine(const char* line, qsizetype length, std::string& out) {
    out.clear();
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x80) {
            out += char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        } else if (c >= 0xA0) { // the same code point as in Latin-1
            const unsigned char small = smallLatin1(c);
            out += char(0xC0 | small >> 6);
            out += char(0x80 | (small & 0x3F));
        } else {
            out = utf8(decodeText(QByteArray(line, length)).toLower());
            return;
        }
    }
}

// A list name.
void keyOf(const QString& name, std::string& out) {
    out.clear();
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            out = utf8(name.toLower());
            return;
        }
        out += char(u >= u'A' && u <= u'Z' ? u + (u'a' - u'A') : u);
    }
}

// Whether a file name ends in ".txt", in any letter case.
bool hasListExtension(const char* name, qsizetype length) {
    if (length < 4 || name[length - 4] != '.')
        return false;
    const char* e = name + length - 3;
    return (e[0] | 0x20) == 't' && (e[1] | 0x20) == 'x' && (e[2] | 0x20) == 't';
}

QString decodeFile(std::string_view file) {
    return QFile::decodeName(QByteArray::fromRawData(file.data(), qsizetype(file.size())));
}
} // namespace

ListFolder::Time ListFolder::folderTime() {
    return stampOf(listFolderPath());
}

ListFolder& ListFolder::kept() {
    static ListFolder listing;
    return listing;
}

const ListFolder& ListFolder::current() {
    ListFolder& listing = kept();
    const QString folder = listFolderPath();
    const Time time = folderTime();
    if (listing.folder_ == folder && listing.time_ == time && isSettled(time))
        return listing;
    listing.time_ = time; // taken before the listing: a change during it shows next time
    listing.list(folder);
    ++listing.generation_;
    return listing;
}

QByteArray ListFolder::keyOfListFile(const QString& path) const {
    if (folder_ != listFolderPath())
        return QByteArray();
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    if (!hasListExtension(name.constData(), name.size()))
        return QByteArray();
    keyOfFile(name.constData(), name.size() - 4, key_);
    return name;
}

void ListFolder::noteWritten(const QString& path, const Time& before) {
    ListFolder& listing = kept();
    const QByteArray name = listing.keyOfListFile(path);
    if (!name.isEmpty() && !listing.files_.contains(listing.key_)) {
        listing.addFile(listing.key_, std::string_view(name.constData(), name.size()));
        ++listing.generation_;
    }
    // When something else changed the folder too, the next reload lists it again.
    listing.time_ = listing.time_ == before ? folderTime() : Time();
}

void ListFolder::noteRemoved(const QString& path, const Time& before) {
    ListFolder& listing = kept();
    if (!listing.keyOfListFile(path).isEmpty()) {
        listing.files_.erase(listing.key_);
        ++listing.generation_;
    }
    listing.time_ = listing.time_ == before && listing.variants_.empty() ? folderTime() : Time();
}

void ListFolder::list(const QString& folder) {
#ifndef _WIN32
    if (folderFd_ >= 0)
        ::close(folderFd_);
    folderFd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    folder_ = folder;
    files_.clear();
    others_.clear();
    variants_.clear();
    forEachEntry(folder_, [&](const char* name, qsizetype length, bool regular) {
        if (!hasListExtension(name, length))
            return;
        keyOfFile(name, length - 4, key_);
        const std::string_view file(name, std::size_t(length));
        if (regular)
            addFile(key_, file);
        else // no list, but its name is taken
            others_.insert(key_, file);
    });
}

void ListFolder::addFile(std::string_view key, std::string_view file) {
    const bool plain = file.size() == key.size() + 4 && file.substr(0, key.size()) == key &&
                       file.substr(key.size()) == ".txt";
    if (files_.insert(key, plain ? std::string_view() : file))
        return;
    // Of several files that differ only in case, the same one is chosen
    // every time: the first in code-point order.
    const std::string chosen = fileOf(key, *files_.file(key));
    if (QString::fromUtf8(file.data(), qsizetype(file.size())) <
        QString::fromUtf8(chosen.data(), qsizetype(chosen.size()))) {
        variants_.insert(chosen);
        files_.setFile(key, plain ? std::string_view() : file);
    } else {
        variants_.insert(std::string(file));
    }
}

std::string ListFolder::fileOf(std::string_view key, std::string_view file) {
    return file.empty() ? std::string(key) + ".txt" : std::string(file);
}

std::string ListFolder::fileFor(const QString& name, std::string_view key) const {
    const std::optional<std::string_view> file = files_.file(key);
    if (!file)
        return std::string();
    const std::string chosen = fileOf(key, *file);
    if (variants_.empty())
        return chosen; // the one file that matches regardless of case
    const std::string exact = utf8(fileNameFor(name));
    return variants_.count(exact) ? exact : chosen; // the exact spelling wins
}

bool ListFolder::contains(const QString& name) const {
    keyOf(name, key_);
    return files_.contains(key_);
}

bool ListFolder::containsLine(const char* line, qsizetype length) const {
    keyOfLine(line, length, key_);
    return files_.contains(key_);
}

QString ListFolder::find(const QString& name) const {
    keyOf(name, key_);
    const std::string file = fileFor(name, key_);
    return file.empty() ? QString() : folder_ + decodeFile(file);
}

QString ListFolder::resolve(const QString& name) const {
    keyOf(name, key_);
    const std::string file = fileFor(name, key_);
    if (!file.empty())
        return folder_ + decodeFile(file);
    // An entry of that name that is no list file is never passed by.
    const std::optional<std::string_view> other = others_.file(key_);
    return folder_ + (other ? decodeFile(*other) : fileNameFor(name));
}

ReadResult ListFolder::read(const QString& name) const {
    keyOf(name, key_);
    const std::string file = fileFor(name, key_);
#ifndef _WIN32
    if (!file.empty() && folderFd_ >= 0)
        return readListedFile(folderFd_, file.c_str(), kMaxListFileBytes);
#endif
    return readFile(file.empty() ? listFilePath(name) : folder_ + decodeFile(file),
                    kMaxListFileBytes);
}

QString resolveListFile(const QString& name) {
    const QString spelled = listFilePath(name);
    return QFileInfo(spelled).isFile() ? spelled : ListFolder::current().resolve(name);
}

ListFileRead readListFile(const QString& path) {
    ReadResult file = readFile(path, kMaxListFileBytes);
    if (file.status != FileStatus::Ok)
        return {file.status, {}};
    return {FileStatus::Ok, std::move(file.bytes)};
}

QString editorText(const QByteArray& listFile) {
    return decodeText(withCrLfLineEnds(listFile)).toLower();
}

QByteArray listFileBytes(const QString& editorText) {
    QByteArray out;
    out.reserve(editorText.size() + 2);
    const qsizetype n = editorText.size();
    qsizetype start = 0;
    auto writeLine = [&](qsizetype from, qsizetype to) {
        bool ascii = true;
        for (qsizetype i = from; i < to && ascii; ++i)
            ascii = editorText.at(i).unicode() < 0x80;
        if (ascii) {
            for (qsizetype i = from; i < to; ++i) {
                const char c = char(editorText.at(i).unicode());
                out.append(c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c);
            }
        } else {
            out.append(encodeText(editorText.mid(from, to - from).toLower()));
        }
        out.append("\r\n", 2);
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = editorText.at(i);
        if (c == u'\n') {
            start = i + 1;
        } else if (c == u'\r') {
            if (start < i)
                writeLine(start, i);
            start = i + 1;
        }
    }
    if (start < n)
        writeLine(start, n);
    return out;
}

} // namespace store

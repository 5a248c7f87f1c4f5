#include "store/FolderListing.h"

#include "store/textFile.h"

#include <QFile>

namespace store {

namespace {
const QByteArray kListExtension = QByteArrayLiteral(".txt");

// Keys: names in small letters, as UTF-8. The common cases (ASCII, Latin-1)
// are folded byte by byte into out, the rest through QString::toLower.

// A capital of Latin-1 (U+00C0 to U+00DE, but U+00D7) as a small letter; any
// other code point below U+0100 as it is. What QString::toLower does to them.
unsigned char smallLatin1(unsigned char c) {
    return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 0x20 : c;
}

void appendSmallAscii(QByteArray& out, unsigned char c) {
    out.append(char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
}

void appendLatin1AsUtf8(QByteArray& out, unsigned char c) {
    out.append(char(0xC0 | c >> 6));
    out.append(char(0x80 | (c & 0x3F)));
}

// A file's name, as the file system gives it (UTF-8).
void keyOfFile(const char* name, qsizetype length, QByteArray& out) {
    out.resize(0);
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            appendSmallAscii(out, c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < length &&
                   (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
            appendLatin1AsUtf8(
                out, smallLatin1(static_cast<unsigned char>((c & 0x03) << 6 | (name[++i] & 0x3F))));
        } else {
            out = QString::fromUtf8(name, length).toLower().toUtf8();
            return;
        }
    }
}

// A line of the index, as it stands there (Windows-1252).
void keyOfLine(const char* line, qsizetype length, QByteArray& out) {
    out.resize(0);
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x80) {
            appendSmallAscii(out, c);
        } else if (c >= 0xA0) { // the same code point as in Latin-1
            appendLatin1AsUtf8(out, smallLatin1(c));
        } else {
            out = decodeText(QByteArray(line, length)).toLower().toUtf8();
            return;
        }
    }
}

// A list name.
void keyOf(const QString& name, QByteArray& out) {
    out.resize(0);
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            out = name.toLower().toUtf8();
            return;
        }
        appendSmallAscii(out, static_cast<unsigned char>(u));
    }
}

// Whether a file name ends in ".txt", in any letter case.
bool hasListExtension(const char* name, qsizetype length) {
    if (length < 4 || name[length - 4] != '.')
        return false;
    const char* e = name + length - 3;
    return (e[0] | 0x20) == 't' && (e[1] | 0x20) == 'x' && (e[2] | 0x20) == 't';
}

QByteArray fileOf(const QByteArray& key, const QByteArray& file) {
    return file.isEmpty() ? key + kListExtension : file;
}

QByteArray copyOf(const QByteArray& bytes) {
    return QByteArray(bytes.constData(), bytes.size()); // not sharing the folding room
}
} // namespace

void FolderListing::clear() {
    folder_.clear();
    open_.close();
    files_.clear();
    others_.clear();
    variants_.clear();
}

bool FolderListing::take(const QString& folder) {
    clear();
    folder_ = folder;
    files_.reserve(1024);
    return open_.list(folder, [this](const char* name, qsizetype length, bool regular) {
        if (!hasListExtension(name, length))
            return;
        keyOfFile(name, length - 4, key_);
        const QByteArray file(name, length);
        if (regular)
            addFile(key_, file);
        else // no list, but its name is taken
            others_.insert(copyOf(key_), file);
    });
}

void FolderListing::addFile(const QByteArray& key, const QByteArray& file) {
    const bool plain =
        file.size() == key.size() + 4 && file.startsWith(key) && file.endsWith(kListExtension);
    const auto found = files_.constFind(key);
    if (found == files_.cend()) {
        files_.insert(copyOf(key), plain ? QByteArray() : file);
        return;
    }
    // Of several files that differ only in case, the same one is chosen
    // every time: the first in code-point order.
    const QByteArray chosen = fileOf(key, *found);
    if (QString::fromUtf8(file) < QString::fromUtf8(chosen)) {
        variants_.insert(chosen);
        files_.insert(copyOf(key), plain ? QByteArray() : file);
    } else {
        variants_.insert(file);
    }
}

QByteArray FolderListing::fileFor(const QString& name) const {
    keyOf(name, key_);
    const auto found = files_.constFind(key_);
    if (found == files_.cend())
        return QByteArray();
    const QByteArray chosen = fileOf(key_, *found);
    if (variants_.isEmpty())
        return chosen; // the one file that matches regardless of case
    const QByteArray exact = QFile::encodeName(name) + kListExtension;
    return variants_.contains(exact) ? exact : chosen; // the exact spelling wins
}

bool FolderListing::contains(const QString& name) const {
    keyOf(name, key_);
    return files_.contains(key_);
}

bool FolderListing::containsLine(const char* line, qsizetype length) const {
    keyOfLine(line, length, key_);
    return files_.contains(key_);
}

QString FolderListing::find(const QString& name) const {
    const QByteArray file = fileFor(name);
    return file.isEmpty() ? QString() : folder_ + QFile::decodeName(file);
}

QString FolderListing::resolve(const QString& name) const {
    const QByteArray file = fileFor(name);
    if (!file.isEmpty())
        return folder_ + QFile::decodeName(file);
    // An entry of that name that is no list file is never passed by.
    keyOf(name, key_);
    const auto other = others_.constFind(key_);
    return folder_ + (other != others_.cend() ? QFile::decodeName(*other)
                                              : name + QString::fromLatin1(kListExtension));
}

ReadResult FolderListing::read(const QString& name, qint64 limit) const {
    const QByteArray file = fileFor(name);
    if (!file.isEmpty())
        return open_.read(file, limit);
    return readFile(folder_ + name + QString::fromLatin1(kListExtension), limit);
}

QByteArray FolderListing::keyOfListFile(const QString& path) const {
    if (folder_.isEmpty() || !path.startsWith(folder_))
        return QByteArray();
    const QString fileName = path.mid(folder_.size());
    if (fileName.contains(u'/') || fileName.contains(u'\\'))
        return QByteArray();
    const QByteArray name = QFile::encodeName(fileName);
    if (!hasListExtension(name.constData(), name.size()))
        return QByteArray();
    keyOfFile(name.constData(), name.size() - 4, key_);
    return name;
}

void FolderListing::added(const QString& path) {
    const QByteArray name = keyOfListFile(path);
    if (!name.isEmpty() && !files_.contains(key_))
        addFile(key_, name);
}

void FolderListing::removed(const QString& path) {
    const QByteArray name = keyOfListFile(path);
    if (name.isEmpty())
        return;
    if (!variants_.isEmpty()) {
        clear(); // another file of that name in another case may now be chosen: list again
        return;
    }
    const auto found = files_.constFind(key_);
    if (found != files_.cend() && fileOf(key_, *found) == name)
        files_.remove(key_);
}

} // namespace store

#include "store/FolderListing.h"

#include "store/textFile.h"

#include <cstring>

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

char smallAscii(unsigned char c) {
    return char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

char* putLatin1AsUtf8(char* out, unsigned char c) {
    *out++ = char(0xC0 | c >> 6);
    *out++ = char(0x80 | (c & 0x3F));
    return out;
}

// Appends the key of a file's name, as the file system gives it (UTF-8).
void appendKeyOfFile(std::string& out, const char* name, qsizetype length) {
    const std::size_t at = out.size();
    out.resize(at + std::size_t(length)); // folding Latin-1 keeps its length in UTF-8
    char* o = &out[at];
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            *o++ = smallAscii(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < length &&
                   (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
            o = putLatin1AsUtf8(
                o, smallLatin1(static_cast<unsigned char>((c & 0x03) << 6 | (name[++i] & 0x3F))));
        } else {
            out.resize(at);
            out += QString::fromUtf8(name, length).toLower().toUtf8().toStdString();
            return;
        }
    }
    out.resize(std::size_t(o - out.data()));
}

void keyOfFile(const char* name, qsizetype length, std::string& out) {
    out.resize(0);
    appendKeyOfFile(out, name, length);
}

// A line of the index, as it stands there (Windows-1252).
void keyOfLine(const char* line, qsizetype length, std::string& out) {
    out.resize(std::size_t(length) * 2); // a byte of Latin-1 is at most two of UTF-8
    char* o = out.data();
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x80) {
            *o++ = smallAscii(c);
        } else if (c >= 0xA0) { // the same code point as in Latin-1
            o = putLatin1AsUtf8(o, smallLatin1(c));
        } else {
            out = decodeText(QByteArray(line, length)).toLower().toUtf8().toStdString();
            return;
        }
    }
    out.resize(std::size_t(o - out.data()));
}

// A list name.
void keyOf(const QString& name, std::string& out) {
    out.resize(std::size_t(name.size()));
    char* o = out.data();
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            out = name.toLower().toUtf8().toStdString();
            return;
        }
        *o++ = smallAscii(static_cast<unsigned char>(u));
    }
}

// Whether a file name ends in ".txt", in any letter case.
bool hasListExtension(const char* name, qsizetype length) {
    if (length < 4 || name[length - 4] != '.')
        return false;
    const char* e = name + length - 3;
    return (e[0] | 0x20) == 't' && (e[1] | 0x20) == 'x' && (e[2] | 0x20) == 't';
}

// The file's name: file, or the key and ".txt" where file is empty.
QByteArrayView viewOf(const std::string& text) {
    return QByteArrayView(text.data(), qsizetype(text.size()));
}

QByteArray fileOf(QByteArrayView key, QByteArrayView file) {
    return file.isEmpty() ? key.toByteArray() + kListExtension : file.toByteArray();
}
} // namespace

void FolderListing::clear() {
    folder_.clear();
    open_.close();
    files_.clear();
    others_.clear();
    variants_.clear();
    names_.clear();
    more_.clear();
}

bool FolderListing::take(const QString& folder) {
    const std::size_t lastFiles = std::size_t(files_.size()), lastBytes = names_.size();
    clear();
    folder_ = folder;
    // The names go into one array first, and the tables view them once it is
    // whole: a listing of ten thousand files costs no allocation a file.
    struct Listed {
        qsizetype key, keyLength, file, fileLength;
        bool regular;
    };
    std::vector<Listed> listed;
    listed.reserve(lastFiles + lastFiles / 8);
    names_.reserve(lastBytes + lastBytes / 8);
    const bool opened = open_.list(folder, [&](const char* name, qsizetype length, bool regular) {
        if (!hasListExtension(name, length))
            return;
        Listed entry{qsizetype(names_.size()), 0, 0, 0, regular};
        appendKeyOfFile(names_, name, length - 4);
        entry.keyLength = qsizetype(names_.size()) - entry.key;
        // Plain: the file's name is the key and ".txt", as for most lists.
        const bool plain =
            length == entry.keyLength + 4 &&
            std::memcmp(name, names_.data() + entry.key, size_t(entry.keyLength)) == 0 &&
            std::memcmp(name + entry.keyLength, ".txt", 4) == 0;
        if (!plain || !regular) {
            entry.file = qsizetype(names_.size());
            entry.fileLength = length;
            names_.append(name, std::size_t(length));
        }
        listed.push_back(entry);
    });
    files_.reserve(qsizetype(listed.size()));
    for (const Listed& entry : listed) {
        const QByteArrayView key(names_.data() + entry.key, entry.keyLength);
        const QByteArrayView file(names_.data() + entry.file, entry.fileLength);
        if (entry.regular)
            addFile(key, file);
        else // no list, but its name is taken
            others_.insert(key, file);
    }
    return opened;
}

void FolderListing::addFile(QByteArrayView key, QByteArrayView file) {
    const auto found = files_.constFind(key);
    if (found == files_.cend()) {
        files_.insert(key, file);
        return;
    }
    // Of several files that differ only in case, the same one is chosen
    // every time: the first in code-point order.
    const QByteArray candidate = fileOf(key, file), chosen = fileOf(key, *found);
    if (QString::fromUtf8(candidate) < QString::fromUtf8(chosen)) {
        variants_.insert(chosen);
        files_.insert(key, file);
    } else {
        variants_.insert(candidate);
    }
}

QByteArray FolderListing::fileFor(const QString& name) const {
    keyOf(name, key_);
    const auto found = files_.constFind(viewOf(key_));
    if (found == files_.cend())
        return QByteArray();
    const QByteArray chosen = fileOf(viewOf(key_), *found);
    if (variants_.isEmpty())
        return chosen; // the one file that matches regardless of case
    const QByteArray exact = name.toUtf8() + kListExtension;
    return variants_.contains(exact) ? exact : chosen; // the exact spelling wins
}

bool FolderListing::contains(const QString& name) const {
    keyOf(name, key_);
    return files_.contains(viewOf(key_));
}

bool FolderListing::containsLine(const char* line, qsizetype length) const {
    keyOfLine(line, length, key_);
    return files_.contains(viewOf(key_));
}

QString FolderListing::find(const QString& name) const {
    const QByteArray file = fileFor(name);
    return file.isEmpty() ? QString() : folder_ + QString::fromUtf8(file);
}

QString FolderListing::resolve(const QString& name) const {
    const QByteArray file = fileFor(name);
    if (!file.isEmpty())
        return folder_ + QString::fromUtf8(file);
    // An entry of that name that is no list file is never passed by.
    keyOf(name, key_);
    const auto other = others_.constFind(viewOf(key_));
    return folder_ + (other != others_.cend() ? QString::fromUtf8(other->toByteArray())
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
    const QByteArray name = fileName.toUtf8();
    if (!hasListExtension(name.constData(), name.size()))
        return QByteArray();
    keyOfFile(name.constData(), name.size() - 4, key_);
    return name;
}

void FolderListing::added(const QString& path) {
    const QByteArray name = keyOfListFile(path);
    if (name.isEmpty() || files_.contains(viewOf(key_)))
        return;
    // Each on its own: the names listed stay where the tables view them.
    more_.append(QByteArray::fromStdString(key_));
    const QByteArrayView key(more_.constLast());
    QByteArrayView file;
    if (name != key.toByteArray() + kListExtension) {
        more_.append(name);
        file = QByteArrayView(more_.constLast());
    }
    addFile(key, file);
}

void FolderListing::removed(const QString& path) {
    const QByteArray name = keyOfListFile(path);
    if (name.isEmpty())
        return;
    if (!variants_.isEmpty()) {
        clear(); // another file of that name in another case may now be chosen: list again
        return;
    }
    const auto found = files_.constFind(viewOf(key_));
    if (found != files_.cend() && fileOf(viewOf(key_), *found) == name)
        files_.remove(viewOf(key_));
}

} // namespace store

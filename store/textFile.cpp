#include "store/textFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace store {

namespace {
constexpr const char* kCodePage = "windows-1252";

bool syncDescriptor(int fd) {
#ifdef _WIN32
    return _commit(fd) == 0;
#elif defined(__APPLE__)
    return ::fsync(fd) == 0;
#else
    return ::fdatasync(fd) == 0;
#endif
}

// Makes the renamed entry durable. A folder that cannot be opened or synced
// (some file systems refuse) does not undo a write that has already landed.
void syncFolder(const QString& folder) {
#ifndef _WIN32
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}
} // namespace

namespace {
bool isAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}
} // namespace

QString decodeText(const QByteArray& bytes) {
    if (isAscii(bytes)) // the usual case, and much quicker than the code page's decoder
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QByteArray encodeText(const QString& text) {
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        return text.toLatin1();
    QStringEncoder encoder(kCodePage);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    // Rare: a character from outside the code page. Encode one at a time so
    // each such character becomes a single '?'.
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder one(kCodePage);
        QByteArray b = one.encode(QStringView(text).mid(i, n));
        out += one.hasError() ? QByteArray("?") : b;
        i += n - 1;
    }
    return out;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList readLines(const QByteArray& bytes) {
    return splitLines(decodeText(bytes));
}

QByteArray joinLines(const QStringList& lines) {
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return encodeText(text);
}

QByteArray withCrLfLineEnds(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        out.append(bytes.constData() + start, i - start);
        out.append("\r\n", 2);
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n) {
        out.append(bytes.constData() + start, n - start);
        out.append("\r\n", 2);
    }
    return out;
}

ReadResult readFile(const QString& path) {
    ReadResult result;
#ifdef _WIN32
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;
    result.bytes = file.readAll();
    result.complete = file.error() == QFileDevice::NoError;
#else
    // Many small files are read in a row (an export): plain calls, no more.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return result;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return result;
    }
    result.opened = true;
    result.bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        result.bytes.append(buffer, n);
    result.complete = n == 0;
    ::close(fd);
#endif
    return result;
}

struct AtomicFile::Impl {
    explicit Impl(const QString& p) : path(p), file(p) {}
    QString path;
    QSaveFile file;
    bool failed = false;
};

AtomicFile::AtomicFile(const QString& path) : d(std::make_unique<Impl>(path)) {}

// Without commit the temporary file is dropped and the old file stays.
AtomicFile::~AtomicFile() = default;

bool AtomicFile::open() {
    return d->file.open(QIODevice::WriteOnly);
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (d->failed || d->file.write(bytes) != bytes.size())
        d->failed = true;
    return !d->failed;
}

bool AtomicFile::commit() {
    // QSaveFile neither syncs the data nor the folder: both are done here.
    if (d->failed || !d->file.flush() || !syncDescriptor(d->file.handle()) || !d->file.commit())
        return false;
    syncFolderOf(d->path);
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFile file(path);
    return file.open() && file.write(bytes) && file.commit();
}

void syncFolderOf(const QString& path) {
    const QFileInfo info(path);
    // For a symlink the rename happened beside its target.
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    syncFolder(QFileInfo(target).absolutePath());
}

} // namespace store

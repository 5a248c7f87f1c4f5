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

QString decodeText(const QByteArray& bytes) {
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QByteArray encodeText(const QString& text) {
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

QStringList readLines(const QByteArray& bytes) { return splitLines(decodeText(bytes)); }

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

ReadResult readFile(const QString& path) {
    ReadResult result;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;
    result.bytes = file.readAll();
    result.complete = file.error() == QFileDevice::NoError;
    return result;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // On any failure the destructor drops the temporary file; the old file stays.
    if (file.write(bytes) != bytes.size() || !file.flush() || !syncDescriptor(file.handle()))
        return false;
    if (!file.commit())
        return false;
    // For a symlink the rename happened beside its target.
    syncFolder(QFileInfo(QFileInfo(path).canonicalFilePath()).absolutePath());
    return true;
}

} // namespace store

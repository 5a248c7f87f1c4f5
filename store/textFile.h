#pragma once
// The data files' text: Windows-1252 bytes, one item per line. Lines are read
// up to CR, CR LF or a lone LF (a last line without an ending counts) and
// written with CR LF after every line.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace store {

QString decodeText(const QByteArray& bytes);
// Characters without a Windows-1252 byte become '?'.
QByteArray encodeText(const QString& text);

// The lines of a file's text, without their endings.
QStringList splitLines(const QString& text);
QStringList readLines(const QByteArray& bytes);
// Each line encoded and followed by CR LF.
QByteArray joinLines(const QStringList& lines);
// The same lines with CR LF after each, straight from the bytes: what
// joinLines(readLines(bytes)) gives, without decoding.
QByteArray withCrLfLineEnds(const QByteArray& bytes);

struct ReadResult {
    bool opened = false;   // false: the file could not be opened at all
    bool complete = false; // false: reading stopped part-way
    QByteArray bytes;
};
ReadResult readFile(const QString& path);

// A file replaced whole: written to a temporary file beside it, synced, and
// renamed over it on commit. Until commit the old file stays as it was; a
// failure at any step leaves it so, and the temporary file is dropped.
class AtomicFile {
public:
    explicit AtomicFile(const QString& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    bool write(const QByteArray& bytes);
    bool commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Replaces the file at path with bytes, or leaves it as it was. The new bytes
// reach the disk before they take the old file's place, and the folder entry
// is synced after, so a finished write survives a power cut. A symlink stays a
// symlink (its target is replaced) and the file keeps its permission bits.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// Syncs the folder that holds path (its target's, for a symlink), so that a
// rename or deletion in it survives a power cut.
void syncFolderOf(const QString& path);

} // namespace store

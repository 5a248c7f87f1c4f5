#pragma once
// Reading and replacing the program's files. Only an ordinary file (or a link
// to one) is read or replaced: a dangling link, a link to anything else, a
// folder, a pipe or a device is refused, and nothing ever waits on a pipe. No
// read trusts the size a file claims: a file above its limit is refused.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>

namespace store {

// The largest files the program reads. A real list, index or exchange file
// is a few hundred kilobytes at most.
constexpr qint64 kMaxListFileBytes = 16 * 1024 * 1024;
constexpr qint64 kMaxIndexFileBytes = 16 * 1024 * 1024;
constexpr qint64 kMaxExchangeFileBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxRegistryFileBytes = 1024 * 1024;

enum class FileStatus {
    Ok,
    Missing,    // nothing of that name (or a dangling link, for reading)
    NotRegular, // a folder, pipe, device, or a link to one, or a dangling link (for writing)
    TooLarge,   // above the reader's limit
    Failed,     // an error of the file system: permission, a full disk, ...
};

struct ReadResult {
    FileStatus status = FileStatus::Failed;
    bool opened = false; // Failed after the file was opened: reading stopped part-way
    // The whole file when Ok; when reading failed part-way, what was read.
    QByteArray bytes;
};
ReadResult readFile(const QString& path, qint64 limit);
#ifndef _WIN32
// The file name in the folder open at folder, which a listing has just shown
// as an ordinary file: opened without a look first (a look that costs as much
// as the read of a small file), and checked once open.
ReadResult readListedFile(int folder, const char* name, qint64 limit);
#endif

// A file replaced whole. The bytes go to a temporary file beside it (a short
// name of fixed length, ".quillbox-XXXXXX"), which is synced and renamed over
// the old file on commit; the folder is synced after. Until then the old file
// stays as it was, and any failure leaves it so. A link to a file stays a
// link (the file it points to is replaced), and the file keeps its
// permission bits. In a folder where no new file can be made but the file
// itself may be written, the file is written in place and synced.
class AtomicFile {
public:
    explicit AtomicFile(const QString& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    FileStatus open();
    bool write(const QByteArray& bytes);
    bool commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

FileStatus writeFileAtomically(const QString& path, const QByteArray& bytes);

// Whether the file at path may be replaced: Ok when it is an ordinary file, a
// link to one, or does not exist; NotRegular otherwise.
FileStatus replaceable(const QString& path);

// Deletes a file, read-only or not (a link: the link), and makes the deletion
// durable. False when it is still there.
bool removeFile(const QString& path);

// What tells one version of a file or folder from the next: its inode, size
// and modification time. A stamp of nothing (seconds < 0) equals no other.
struct FileStamp {
    qint64 inode = -1;
    qint64 size = -1;
    qint64 seconds = -1;
    qint64 nanoseconds = 0;
    bool operator==(const FileStamp& other) const {
        return seconds >= 0 && inode == other.inode && size == other.size &&
               seconds == other.seconds && nanoseconds == other.nanoseconds;
    }
};
FileStamp stampOf(const QString& path);
// Whether a stamp may be trusted to change with the next change of the file:
// not when its time is within one tick of the clock that stamps it (on a file
// system that keeps whole seconds, within two seconds). Never on Windows,
// where the program keeps no stamps.
bool isSettled(const FileStamp& stamp);

// Removes the temporary files that an interrupted replacement left in folder.
void removeLeftoverTemporaryFiles(const QString& folder);

} // namespace store

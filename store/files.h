#pragma once
// Reading and replacing the program's files. Only an ordinary file (or a link
// to one) is read or replaced: a dangling link, a link to anything else, a
// folder, a pipe or a device is refused, and nothing ever waits on a pipe. No
// read trusts the size a file claims: a file above its limit is refused.
//
// The calls that differ between systems live in files_unix.cpp and
// files_win.cpp; CMake builds the one for the system at hand.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
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

// What is at path, without opening it. pathKind does not follow a link:
// Plain is an ordinary file of at most limit bytes, and a link is Other.
// fileKind follows links: Ok for an ordinary file (or a link to one),
// Missing, NotRegular.
enum class PathKind { Missing, Plain, Other };
PathKind pathKind(const QString& path, qint64 limit);
FileStatus fileKind(const QString& path);

// The separator that follows the Kestrel folder in every data path.
QChar pathSeparator();
// Whether the list folder's file system can hold a file of this name (its
// length and characters; on Windows, not a reserved device name).
bool fitsFileSystem(const QString& fileName);

// A file replaced whole. The bytes go to a temporary file beside it, which is
// synced and put in the old file's place on commit; the folder is synced
// after. Until then the old file stays as it was, and any failure leaves it
// so. A link to a file stays a link (the file it points to is replaced), and
// the file keeps its permission bits (a new one gets what the umask leaves
// of 0666, as any new file). In a folder where no new file can be
// made but the file itself may be written, the file is written in place and
// synced.
//
// The temporary file has no name where the system offers that, and is named
// only for the moment before it takes the old file's place; a name that says
// which file it is (".quillbox-" and its file number, so that start-up can
// tell the program's own leftovers from a file of the user's), short enough
// that every list name the file system takes can be saved.
class AtomicFile {
public:
    // What is done with a link at path: the file it points to is replaced
    // (the data files), or, for a file of the program's own that nothing else
    // writes, the link is refused (NotRegular) and never followed. Such a
    // file is private to the user (mode 0600, whatever the umask), is never
    // written in place, and stays open after its commit, so that more can be
    // added to it.
    enum class Links { Follow, Refuse };
    explicit AtomicFile(const QString& path, Links links = Links::Follow);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    FileStatus open();
    bool write(const QByteArray& bytes);
    bool commit();
    // With Links::Refuse, after the commit: bytes added at the end of the
    // file, synced; false when the file is no longer the one at its path.
    bool append(const QByteArray& bytes);
    // With Links::Refuse, after the commit: whether the file still lies at its
    // path (nothing else was put in its place).
    bool isAtPath() const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

FileStatus writeFileAtomically(const QString& path, const QByteArray& bytes);

// Whether AtomicFile may use a temporary file without a name where the file
// system offers one (on by default; tests turn it off to try the other road).
void setUnnamedTemporaries(bool on);

// Whether the file at path may be replaced: Ok when it is an ordinary file, a
// link to one, or does not exist; NotRegular otherwise.
FileStatus replaceable(const QString& path);

// Deletes a file, read-only or not (a link: the link), and makes the deletion
// durable. False when it is still there.
bool removeFile(const QString& path);

// Removes the temporary files that an interrupted replacement of this
// program left in folder: only files whose name and file number agree.
void removeLeftoverTemporaryFiles(const QString& folder);

// What tells one version of a file or folder from the next: its file number,
// size and modification time. A stamp of nothing (seconds < 0) equals no
// other, and a system that keeps no stamps gives only those.
struct FileStamp {
    qint64 inode = -1;
    qint64 size = -1;
    qint64 seconds = -1;
    qint64 nanoseconds = 0;
    bool operator==(const FileStamp& other) const {
        return seconds >= 0 && inode == other.inode && size == other.size &&
               seconds == other.seconds && nanoseconds == other.nanoseconds;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
FileStamp stampOf(const QString& path);
// Whether a stamp may be trusted to change with the next change of the file:
// not when its time is within one tick of the clock that stamps it (on a file
// system that keeps whole seconds, within two seconds).
bool isSettled(const FileStamp& stamp);

// A folder kept open since it was listed, so that the files the listing
// showed are read from that folder and no other.
class OpenFolder {
public:
    OpenFolder();
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // Each entry's name as the file system gives it (on Windows, UTF-8), and
    // whether it is an ordinary file (a link to one included).
    using Entry = std::function<void(const char* name, qsizetype length, bool regular)>;
    // Opens folder (closing the one open) and calls entry for each of its
    // entries but "." and "..". False, with nothing listed, when it cannot be
    // opened.
    bool list(const QString& folder, const Entry& entry);
    void close();
    // Reads the file name of the folder, which the listing showed as an
    // ordinary file: opened without a look first, and checked once open.
    ReadResult read(const QByteArray& name, qint64 limit) const;

private:
    QString path_;
    qintptr handle_ = -1;
};

} // namespace store

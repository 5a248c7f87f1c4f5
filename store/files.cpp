#include "store/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#ifdef _WIN32
#include <QSaveFile>
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace store {

namespace {
const QString kTemporaryPrefix = QStringLiteral(".quillbox-");
constexpr int kTemporaryLetters = 6;
} // namespace

#ifndef _WIN32

namespace {
QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// Syncs the folder, so that a rename or deletion in it survives a power cut.
// A folder that cannot be opened or synced (some file systems refuse) does
// not undo what has already landed.
void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The file that replacing path replaces: path itself, or the file a link
// points to. NotRegular when that is not an ordinary file (or the link
// dangles); exists and mode tell of the file found.
FileStatus resolveTarget(const QString& path, QByteArray& target, bool& exists, mode_t& mode) {
    target = encoded(path);
    exists = false;
    struct stat st;
    if (::lstat(target.constData(), &st) != 0)
        return errno == ENOENT ? FileStatus::Ok : FileStatus::Failed;
    if (S_ISLNK(st.st_mode)) {
        char real[PATH_MAX];
        if (::stat(target.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
            !::realpath(target.constData(), real))
            return FileStatus::NotRegular;
        target = real;
    } else if (!S_ISREG(st.st_mode)) {
        return FileStatus::NotRegular;
    }
    exists = true;
    mode = st.st_mode & 07777;
    return FileStatus::Ok;
}

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}
} // namespace

namespace {
// Reads the ordinary file open at fd (closing it), up to limit bytes.
ReadResult readOpen(int fd, qint64 limit) {
    ReadResult result;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > limit) {
        ::close(fd);
        result.status = S_ISREG(st.st_mode) ? FileStatus::TooLarge : FileStatus::NotRegular;
        return result;
    }
    result.opened = true;
    // Read straight into the bytes, with room for one more byte than the
    // file claims: a file that grew meanwhile is read on.
    qsizetype size = 0;
    result.bytes.resize(qsizetype(st.st_size) + 1);
    for (;;) {
        if (size == result.bytes.size())
            result.bytes.resize(qMin<qsizetype>(size * 2, qsizetype(limit) + 1));
        const ssize_t n =
            ::read(fd, result.bytes.data() + size, size_t(result.bytes.size() - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            result.status = n == 0 ? FileStatus::Ok : FileStatus::Failed; // Failed: what was read
            break;
        }
        size += n;
        if (size > limit) {
            result.status = FileStatus::TooLarge; // it grew
            size = 0;
            break;
        }
    }
    result.bytes.resize(size);
    ::close(fd);
    return result;
}

// Not blocking, in case a pipe took an ordinary file's place.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
} // namespace

ReadResult readFile(const QString& path, qint64 limit) {
    ReadResult result;
    const QByteArray name = encoded(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        result.status =
            errno == ENOENT || errno == ENOTDIR ? FileStatus::Missing : FileStatus::Failed;
        return result;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > limit) {
        result.status = S_ISREG(st.st_mode) ? FileStatus::TooLarge : FileStatus::NotRegular;
        return result;
    }
    const int fd = ::open(name.constData(), kReadFlags);
    return fd < 0 ? result : readOpen(fd, limit);
}

ReadResult readListedFile(int folder, const char* name, qint64 limit) {
    const int fd = ::openat(folder, name, kReadFlags);
    return fd < 0 ? ReadResult() : readOpen(fd, limit);
}

struct AtomicFile::Impl {
    QString path;
    QByteArray target;    // the file that is replaced: path, or the file a link points to
    QByteArray temporary; // empty when writing in place
    int fd = -1;
    qint64 written = 0;
    bool failed = false;

    ~Impl() {
        if (fd >= 0)
            ::close(fd);
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
    }

    // A new file of a short, fixed-length name beside the target.
    bool createTemporary() {
        const QByteArray folder = folderOf(target) + '/' + kTemporaryPrefix.toLatin1();
        static const char letters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QByteArray name = folder;
            for (int i = 0; i < kTemporaryLetters; ++i)
                name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
            fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                temporary = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }
};

AtomicFile::AtomicFile(const QString& path) : d(std::make_unique<Impl>()) {
    d->path = path;
}

AtomicFile::~AtomicFile() = default;

FileStatus AtomicFile::open() {
    bool exists = false;
    mode_t mode = 0;
    const FileStatus status = resolveTarget(d->path, d->target, exists, mode);
    if (status != FileStatus::Ok)
        return status;
    if (!d->createTemporary()) {
        // A folder that takes no new file: write the file itself, if it may be.
        const int error = errno;
        if (!exists || (error != EACCES && error != EPERM && error != EROFS))
            return FileStatus::Failed;
        d->fd = ::open(d->target.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        return d->fd >= 0 ? FileStatus::Ok : FileStatus::Failed;
    }
    if (!exists) {
        mode = 0666;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (::fchmod(d->fd, mode) != 0)
        return FileStatus::Failed;
    return FileStatus::Ok;
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (d->failed || d->fd < 0 || !writeAll(d->fd, bytes.constData(), bytes.size()))
        d->failed = true;
    else
        d->written += bytes.size();
    return !d->failed;
}

bool AtomicFile::commit() {
    if (d->failed || d->fd < 0)
        return false;
    const bool inPlace = d->temporary.isEmpty();
    if (inPlace && ::ftruncate(d->fd, d->written) != 0)
        return false;
    // The bytes reach the disk before they take the old file's place.
    const bool synced = ::fdatasync(d->fd) == 0;
    const bool closed = ::close(d->fd) == 0;
    d->fd = -1;
    if (!synced || !closed)
        return false;
    if (inPlace)
        return true;
    if (::rename(d->temporary.constData(), d->target.constData()) != 0)
        return false;
    d->temporary.clear();
    syncFolder(folderOf(d->target));
    return true;
}

bool removeFile(const QString& path) {
    const QByteArray name = encoded(path);
    if (::unlink(name.constData()) != 0) {
        struct stat st;
        if (::lstat(name.constData(), &st) == 0 || errno != ENOENT)
            return false;
    }
    syncFolder(folderOf(name));
    return true;
}

#else // Windows: QSaveFile does the replacing.

ReadResult readFile(const QString& path, qint64 limit) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = FileStatus::Missing;
        return result;
    }
    if (!info.isFile()) {
        result.status = FileStatus::NotRegular;
        return result;
    }
    QFile file(path);
    if (info.size() > limit) {
        result.status = FileStatus::TooLarge;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;
    result.bytes = file.read(limit + 1);
    if (result.bytes.size() > limit) {
        result.bytes.clear();
        result.status = FileStatus::TooLarge;
    } else if (file.error() == QFileDevice::NoError) {
        result.status = FileStatus::Ok;
    }
    return result;
}

struct AtomicFile::Impl {
    explicit Impl(const QString& p) : file(p) { file.setDirectWriteFallback(true); }
    QSaveFile file;
    bool failed = false;
};

AtomicFile::AtomicFile(const QString& path) : d(std::make_unique<Impl>(path)) {}

AtomicFile::~AtomicFile() = default;

FileStatus AtomicFile::open() {
    const QFileInfo info(d->file.fileName());
    if (info.exists() && !info.isFile())
        return FileStatus::NotRegular;
    return d->file.open(QIODevice::WriteOnly) ? FileStatus::Ok : FileStatus::Failed;
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (d->failed || d->file.write(bytes) != bytes.size())
        d->failed = true;
    return !d->failed;
}

bool AtomicFile::commit() {
    return !d->failed && d->file.commit();
}

bool removeFile(const QString& path) {
    QFile file(path);
    if (file.remove())
        return true;
    // A read-only file is deleted all the same.
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    return file.remove() || !QFileInfo::exists(path);
}

#endif

FileStatus replaceable(const QString& path) {
#ifdef _WIN32
    const QFileInfo info(path);
    return info.exists() && !info.isFile() ? FileStatus::NotRegular : FileStatus::Ok;
#else
    QByteArray target;
    bool exists = false;
    mode_t mode = 0;
    const FileStatus status = resolveTarget(path, target, exists, mode);
    return status == FileStatus::Failed ? FileStatus::Ok : status; // the write will tell
#endif
}

FileStatus writeFileAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFile file(path);
    const FileStatus status = file.open();
    if (status != FileStatus::Ok)
        return status;
    return file.write(bytes) && file.commit() ? FileStatus::Ok : FileStatus::Failed;
}

FileStamp stampOf(const QString& path) {
    FileStamp stamp;
#ifndef _WIN32
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        stamp = {qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec),
                 qint64(st.st_mtim.tv_nsec)};
#else
    Q_UNUSED(path);
#endif
    return stamp;
}

bool isSettled(const FileStamp& stamp) {
#ifdef _WIN32
    Q_UNUSED(stamp);
    return false;
#else
    if (stamp.seconds < 0)
        return false;
    struct timespec now, tick;
    ::clock_gettime(CLOCK_REALTIME, &now);
    ::clock_getres(CLOCK_REALTIME_COARSE, &tick);
    const qint64 tickNs =
        stamp.nanoseconds == 0 ? 2'000'000'000 : qMax<qint64>(tick.tv_nsec, 1'000'000) * 2;
    const qint64 age = (qint64(now.tv_sec) - stamp.seconds) * 1'000'000'000 +
                       (qint64(now.tv_nsec) - stamp.nanoseconds);
    return age > tickNs;
#endif
}

void removeLeftoverTemporaryFiles(const QString& folder) {
    static const QRegularExpression temporary(QStringLiteral("^%1[A-Za-z0-9]{%2}$")
                                                  .arg(QRegularExpression::escape(kTemporaryPrefix))
                                                  .arg(kTemporaryLetters));
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({kTemporaryPrefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System))
        if (temporary.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
}

} // namespace store

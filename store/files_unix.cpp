// Reading and replacing files on POSIX systems, straight through the system's
// calls: the temporary file without a name (O_TMPFILE) where the file system
// offers one, the checked sync, and the in-place fallback.
#include "store/files.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {
const QByteArray kTemporaryPrefix = QByteArrayLiteral(".quillbox-");

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The name a temporary file has while it is named: the prefix and its file
// number in base 36, which no file of the user's is likely to match.
QByteArray temporaryName(ino_t inode) {
    return kTemporaryPrefix + QByteArray::number(quint64(inode), 36);
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

// The file that replacing path replaces: path itself, or the file a link
// points to (unless links are refused). NotRegular when that is not an
// ordinary file (or the link dangles); exists and mode tell of the file found.
FileStatus resolveTarget(const QString& path, QByteArray& target, bool& exists, mode_t& mode,
                         bool followLinks = true) {
    target = encoded(path);
    exists = false;
    struct stat st;
    if (::lstat(target.constData(), &st) != 0)
        return errno == ENOENT ? FileStatus::Ok : FileStatus::Failed;
    if (S_ISLNK(st.st_mode) && followLinks) {
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

// Whether a file without a name can be given one: through /proc, which a
// process without special rights needs for that.
bool canNameUnnamedFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

bool useUnnamedTemporaries = true;
} // namespace

void setUnnamedTemporaries(bool on) {
    useUnnamedTemporaries = on;
}

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

PathKind pathKind(const QString& path, qint64 limit) {
    struct stat st;
    if (::lstat(encoded(path).constData(), &st) != 0)
        return errno == ENOENT ? PathKind::Missing : PathKind::Other;
    return S_ISREG(st.st_mode) && st.st_size <= limit ? PathKind::Plain : PathKind::Other;
}

FileStatus fileKind(const QString& path) {
    struct stat st;
    if (::stat(encoded(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileStatus::Missing : FileStatus::Failed;
    return S_ISREG(st.st_mode) ? FileStatus::Ok : FileStatus::NotRegular;
}

QChar pathSeparator() {
    return u'/';
}

bool fitsFileSystem(const QString& fileName) {
    constexpr qsizetype kMaxFileNameBytes = 255;
    const QByteArray bytes = encoded(fileName);
    return bytes.size() <= kMaxFileNameBytes && QFile::decodeName(bytes) == fileName;
}

struct AtomicFile::Impl {
    enum class Kind { Unnamed, Named, InPlace };
    QString path;
    QByteArray target; // the file that is replaced: path, or the file a link points to
    QByteArray folder;
    QByteArray named; // the temporary file's name while it has one
    Kind kind = Kind::Unnamed;
    bool own = false; // links refused, no writing in place, open after the commit
    int fd = -1;
    qint64 written = 0;
    bool failed = false;

    ~Impl() {
        if (fd >= 0)
            ::close(fd);
        if (!named.isEmpty())
            ::unlink(named.constData());
    }

    // A file without a name in the target's folder; false with errno set.
    bool createUnnamed() {
        if (!useUnnamedTemporaries || !canNameUnnamedFiles()) {
            errno = EOPNOTSUPP;
            return false;
        }
        fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        kind = Kind::Unnamed;
        return fd >= 0;
    }

    // Where the file system has no files without names: a new file of a
    // short random name, then named after its file number so that start-up
    // knows it for the program's own, unless a file has that name already.
    bool createNamed() {
        static const char letters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        kind = Kind::Named;
        for (int attempt = 0; attempt < 100; ++attempt) {
            QByteArray name = folder + '/' + kTemporaryPrefix;
            for (int i = 0; i < 6; ++i)
                name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
            fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0 && errno == EEXIST)
                continue;
            if (fd < 0)
                return false;
            named = name;
            struct stat st;
            if (::fstat(fd, &st) != 0)
                return true;
            const QByteArray stamped = folder + '/' + temporaryName(st.st_ino);
            struct stat other;
            if (::lstat(stamped.constData(), &other) != 0 && errno == ENOENT &&
                ::rename(named.constData(), stamped.constData()) == 0)
                named = stamped;
            return true;
        }
        return false;
    }

    bool commitUnnamed() {
        // The bytes reach the disk before the file gets a name.
        struct stat st;
        if (::fdatasync(fd) != 0 || ::fstat(fd, &st) != 0)
            return false;
        const QByteArray name = folder + '/' + temporaryName(st.st_ino);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) !=
            0)
            return false;
        named = name;
        return own || closeFile();
    }

    bool commitNamed() {
        const bool synced = ::fdatasync(fd) == 0;
        return synced && (own || closeFile());
    }

    bool closeFile() {
        const bool closed = ::close(fd) == 0;
        fd = -1;
        return closed;
    }

    bool commitInPlace() {
        const bool truncated = ::ftruncate(fd, written) == 0;
        const bool synced = truncated && ::fdatasync(fd) == 0;
        const bool closed = ::close(fd) == 0;
        fd = -1;
        return synced && closed;
    }
};

AtomicFile::AtomicFile(const QString& path, Links links) : d(std::make_unique<Impl>()) {
    d->path = path;
    d->own = links == Links::Refuse;
}

AtomicFile::~AtomicFile() = default;

FileStatus AtomicFile::open() {
    bool exists = false;
    mode_t mode = 0;
    const FileStatus status = resolveTarget(d->path, d->target, exists, mode, !d->own);
    if (status != FileStatus::Ok)
        return status;
    d->folder = folderOf(d->target);
    if (!d->createUnnamed()) {
        const bool unsupported = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL;
        if (!unsupported || !d->createNamed()) {
            if (d->own)
                return FileStatus::Failed;
            // A folder that takes no new file: write the file itself, if it may be.
            const int error = errno;
            if (!exists || (error != EACCES && error != EPERM && error != EROFS))
                return FileStatus::Failed;
            d->kind = Impl::Kind::InPlace;
            d->fd = ::open(d->target.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            return d->fd >= 0 ? FileStatus::Ok : FileStatus::Failed;
        }
    }
    // A new data file as the umask makes any new file; a replaced one keeps its
    // mode. A file of the program's own holds the user's words for no one else.
    if (d->own) {
        mode = 0600;
    } else if (!exists) {
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
    switch (d->kind) {
    case Impl::Kind::InPlace:
        return d->commitInPlace();
    case Impl::Kind::Unnamed:
        if (!d->commitUnnamed())
            return false;
        break;
    case Impl::Kind::Named:
        if (!d->commitNamed())
            return false;
        break;
    }
    if (::rename(d->named.constData(), d->target.constData()) != 0)
        return false;
    d->named.clear();
    syncFolder(d->folder);
    return true;
}

bool AtomicFile::isAtPath() const {
    struct stat open, named;
    return d->fd >= 0 && d->named.isEmpty() && ::fstat(d->fd, &open) == 0 &&
           ::lstat(d->target.constData(), &named) == 0 && open.st_ino == named.st_ino &&
           open.st_dev == named.st_dev;
}

bool AtomicFile::append(const QByteArray& bytes) {
    // Only while the file is still the one at its path: not when something
    // took its place meanwhile.
    return d->own && !d->failed && isAtPath() && writeAll(d->fd, bytes.constData(), bytes.size()) &&
           ::fdatasync(d->fd) == 0;
}

FileStatus replaceable(const QString& path) {
    QByteArray target;
    bool exists = false;
    mode_t mode = 0;
    const FileStatus status = resolveTarget(path, target, exists, mode);
    return status == FileStatus::Failed ? FileStatus::Ok : status; // the write will tell
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

void removeLeftoverTemporaryFiles(const QString& folder) {
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, kTemporaryPrefix.constData(),
                         size_t(kTemporaryPrefix.size())) != 0)
            continue;
        // The program's own: an ordinary file of one name, whose name is its
        // file number.
        struct stat st;
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_nlink == 1 && temporaryName(st.st_ino) == entry->d_name)
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(dir);
}

FileStamp stampOf(const QString& path) {
    FileStamp stamp;
    struct stat st;
    if (::stat(encoded(path).constData(), &st) == 0)
        stamp = {qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec),
                 qint64(st.st_mtim.tv_nsec)};
    return stamp;
}

bool isSettled(const FileStamp& stamp) {
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
}

OpenFolder::OpenFolder() = default;

OpenFolder::~OpenFolder() {
    close();
}

void OpenFolder::close() {
    if (handle_ >= 0)
        ::close(int(handle_));
    handle_ = -1;
    path_.clear();
}

bool OpenFolder::list(const QString& folder, const Entry& entry) {
    close();
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    handle_ = fd;
    path_ = folder;
    // One pass of readdir, on a descriptor of its own: the entry types spare
    // a look at each file.
    const int listed = ::dup(fd);
    DIR* dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return true; // open, but nothing could be listed
    }
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = ::fstatat(fd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        entry(e->d_name, qsizetype(std::strlen(e->d_name)), regular);
    }
    ::closedir(dir);
    return true;
}

ReadResult OpenFolder::read(const QByteArray& name, qint64 limit) const {
    if (handle_ < 0)
        return ReadResult();
    const int fd = ::openat(int(handle_), name.constData(), kReadFlags);
    return fd < 0 ? ReadResult() : readOpen(fd, limit);
}

} // namespace store

#include "store/listIndex.h"

#include "core/globals.h"
#include "store/listFiles.h"
#include "store/textFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace globals {

namespace {
// What the list index was last made from: the index file's stamp, the
// listing's generation, and, where the file held exactly the list index's
// lines, each ended by CR LF, its bytes.
struct IndexRead {
    QString path;
    store::FileStamp stamp;
    quint64 generation = 0;
    int count = -1;
    QByteArray bytes;
    bool exact = false;
};
IndexRead& lastRead() {
    static IndexRead read;
    return read;
}

// Whether text is the line's bytes, for a line of plain ASCII.
bool holds(const QString& text, const char* line, qsizetype length) {
    if (text.size() != length)
        return false;
    for (qsizetype i = 0; i < length; ++i)
        if (static_cast<unsigned char>(line[i]) >= 0x80 ||
            text.at(i).unicode() != char16_t(line[i]))
            return false;
    return true;
}

// The list folder, made when missing, so that the first save can write into it.
bool ensureListFolder() {
    const QString folder = store::listFolderPath();
    return QFileInfo(folder).isDir() || QDir().mkdir(folder);
}
} // namespace

store::IndexStatus LoadListIndex() {
    using store::IndexStatus;
    const QString path = store::indexFilePath();
    const store::FileStamp stamp = store::stampOf(path);
    const store::ListFolder& folder = store::ListFolder::current();
    // Neither the index file nor the list folder has changed since the list
    // index was made from them: it is what a reload would make.
    IndexRead& last = lastRead();
    if (last.path == path && last.stamp == stamp && store::isSettled(stamp) &&
        last.generation == folder.generation() && last.count == ListCount)
        return IndexStatus::Loaded;
    last = IndexRead();
    const store::ReadResult file = store::readFile(path, store::kMaxIndexFileBytes);
    if (file.status != store::FileStatus::Ok && !file.opened) {
        if (!ensureListFolder())
            return IndexStatus::FolderNotMade;
        if (file.status == store::FileStatus::NotRegular)
            return IndexStatus::NotRegular;
        return file.status == store::FileStatus::TooLarge ? IndexStatus::TooLarge
                                                          : IndexStatus::Unreadable;
    }
    ListCount = 0;
    // The lines are matched as their bytes stand, and an entry that already
    // holds its line (the index is mostly as it was at the last reload) is
    // kept as it is.
    const char* bytes = file.bytes.constData();
    const qsizetype size = file.bytes.size();
    bool exact = true; // every line kept, and each ended by CR LF
    for (qsizetype start = 0, end = 0; start < size; start = end) {
        end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const qsizetype length = end - start;
        const bool crLf = end + 1 < size && bytes[end] == '\r' && bytes[end + 1] == '\n';
        if (end < size)
            end += crLf ? 2 : 1;
        exact = exact && crLf;
        if (!folder.containsLine(bytes + start, length)) {
            exact = false;
            continue;
        }
        if (ListCount >= kMaxLists)
            return IndexStatus::TooMany;
        QString& entry = ListNames[++ListCount];
        if (!holds(entry, bytes + start, length))
            entry = store::decodeText(QByteArray(bytes + start, length));
    }
    if (file.status != store::FileStatus::Ok)
        return ensureListFolder() ? IndexStatus::Unreadable : IndexStatus::FolderNotMade;
    last = IndexRead{path, stamp, folder.generation(), ListCount, exact ? file.bytes : QByteArray(),
                     exact};
    return IndexStatus::Loaded;
}

int FindListName(const QString& name, const std::vector<QString>& table, const qint16& count) {
    for (int i = 1; i <= count; ++i) {
        if (table[i].size() == name.size() && table[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

} // namespace globals

namespace store {

QStringList currentListNames() {
    QStringList names;
    names.reserve(globals::ListCount);
    for (int i = 1; i <= globals::ListCount; ++i)
        names.append(globals::ListNames[i]);
    return names;
}

QByteArray indexBytes(const QString& added) {
    const globals::IndexRead& last = globals::lastRead();
    QByteArray bytes =
        last.exact && last.count == globals::ListCount && last.path == indexFilePath()
            ? last.bytes
            : joinLines(currentListNames());
    if (!added.isEmpty())
        bytes += encodeText(added) + "\r\n";
    return bytes;
}

void noteIndexWritten(const QByteArray& bytes) {
    globals::IndexRead& last = globals::lastRead();
    last = globals::IndexRead{indexFilePath(),
                              stampOf(indexFilePath()),
                              ListFolder::currentGeneration(),
                              globals::ListCount,
                              bytes,
                              true};
}

namespace {
// Long enough for another copy to finish a rewrite of 10000 names.
constexpr int kLockWaitMilliseconds = 3000;
// A lock older than this was left by a copy that did not finish.
constexpr qint64 kStaleLockSeconds = 30;

QString lockPath() {
    return globals::KestrelFolder + kPathSeparator + QStringLiteral(".quillbox.lock");
}
} // namespace

#ifndef _WIN32
// A file made only if it is not there (O_EXCL), holding the holder's process
// number; one whose holder has gone, or that is old, is taken over.
IndexLock::IndexLock() {
    const QByteArray path = QFile::encodeName(lockPath());
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
            const bool written = ::write(fd, pid.constData(), size_t(pid.size())) == pid.size();
            ::close(fd);
            held_ = true;
            Q_UNUSED(written); // an empty lock is taken over only when old
            return;
        }
        if (errno != EEXIST)
            return; // a folder that takes no new file: the rewrite goes on without
        QFile file(lockPath());
        const qint64 holder =
            file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
        struct stat st;
        const bool old = ::stat(path.constData(), &st) == 0 &&
                         std::time(nullptr) - st.st_mtime > kStaleLockSeconds;
        if ((holder > 0 && ::kill(pid_t(holder), 0) != 0 && errno == ESRCH) || old) {
            ::unlink(path.constData()); // its holder has gone
            continue;
        }
        if (waited.elapsed() > kLockWaitMilliseconds) {
            busy_ = true;
            return;
        }
        QThread::msleep(10);
    }
}

IndexLock::~IndexLock() {
    if (held_)
        ::unlink(QFile::encodeName(lockPath()).constData());
}
#else
IndexLock::IndexLock() : lock_(std::make_unique<QLockFile>(lockPath())) {
    if (!lock_->tryLock(kLockWaitMilliseconds))
        busy_ = lock_->error() == QLockFile::LockFailedError;
}

IndexLock::~IndexLock() = default;
#endif

} // namespace store

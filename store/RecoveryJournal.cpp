#include "store/RecoveryJournal.h"

#include "store/files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace store {

namespace {
const QByteArray kMagic = QByteArrayLiteral("Quillbox recovery journal 1");
const QString kSuffix = QStringLiteral(".journal");
// A lock file of QLockFile's holds a few short lines.
constexpr qint64 kLargestLock = 4096;
// Copies of the program that edit the same list at once each keep a journal.
constexpr int kMostCopies = 16;

QByteArray digestOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

QString journalPath(const QString& kestrelFolder, const QString& listName, int copy) {
    const QByteArray key = (kestrelFolder + u'\n' + listName.toLower()).toUtf8();
    return journalFolder() + u'/' + QString::fromLatin1(digestOf(key).left(20)) +
           (copy > 1 ? QStringLiteral("-%1").arg(copy) : QString()) + kSuffix;
}

QByteArray journalBytes(const QString& kestrelFolder, const QString& listName,
                        const QString& text) {
    const QByteArray body = text.toUtf8();
    return kMagic + "\nfolder " + QUrl::toPercentEncoding(kestrelFolder) + "\nlist " +
           QUrl::toPercentEncoding(listName) + "\nsha1 " + digestOf(body) + "\n\n" + body;
}

struct Parsed {
    bool ok = false;
    QString kestrelFolder, listName, text;
};

Parsed parse(const QByteArray& bytes) {
    Parsed p;
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0)
        return p;
    const QList<QByteArray> header = bytes.left(end).split('\n');
    if (header.size() != 4 || header[0] != kMagic || !header[1].startsWith("folder ") ||
        !header[2].startsWith("list ") || !header[3].startsWith("sha1 "))
        return p;
    const QByteArray body = bytes.mid(end + 2);
    if (digestOf(body) != header[3].mid(5))
        return p; // damaged
    p.kestrelFolder = QString::fromUtf8(QByteArray::fromPercentEncoding(header[1].mid(7)));
    p.listName = QString::fromUtf8(QByteArray::fromPercentEncoding(header[2].mid(5)));
    p.text = QString::fromUtf8(body);
    p.ok = !p.listName.isEmpty();
    return p;
}

// A lock of the journal at path for this copy, or nothing when another
// copy that is still running holds it (or the lock's path is not a lock).
std::unique_ptr<QLockFile> lockJournal(const QString& path) {
    const QString lockPath = path + QStringLiteral(".lock");
    if (pathKind(lockPath, kLargestLock) == PathKind::Other ||
        pathKind(lockPath + QStringLiteral(".rmlock"), kLargestLock) == PathKind::Other)
        return nullptr;
    auto lock = std::make_unique<QLockFile>(lockPath);
    // A copy may hold its journal for hours: only a copy that has ended
    // leaves a lock to take over.
    lock->setStaleLockTime(0);
    return lock->tryLock(0) ? std::move(lock) : nullptr;
}
} // namespace

QString journalFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/quillbox/journals");
}

void LeftJournal::discard() {
    QFile::remove(path);
    lock.reset();
}

// The words are written by a thread of the journal's own; what it is handed
// waits under the mutex, the newest replacing an older one not yet written.
struct RecoveryJournal::Impl {
    QString kestrelFolder, listName;
    std::unique_ptr<QLockFile> lock;

    std::mutex mutex;
    std::condition_variable changed;
    QString path;    // where the thread writes; empty while no journal is kept
    QString pending; // the words handed over and not yet taken by the thread
    bool hasPending = false;
    bool writing = false;
    bool stopping = false;
    bool failed = false;
    std::thread thread;

    ~Impl() {
        {
            std::lock_guard<std::mutex> guard(mutex);
            stopping = true;
        }
        changed.notify_all();
        if (thread.joinable())
            thread.join();
    }

    void run() {
        std::unique_lock<std::mutex> guard(mutex);
        for (;;) {
            changed.wait(guard, [this] { return stopping || hasPending; });
            if (stopping && !hasPending)
                return;
            const QString target = path, folder = kestrelFolder, name = listName;
            QString text;
            text.swap(pending);
            hasPending = false;
            writing = true;
            guard.unlock();
            const bool written =
                writeFileAtomically(target, journalBytes(folder, name, text)) == FileStatus::Ok;
            guard.lock();
            writing = false;
            failed = !written;
            changed.notify_all();
        }
    }

    // Waits for the thread to finish what it writes now; with the mutex held.
    void waitIdle(std::unique_lock<std::mutex>& guard) {
        changed.wait(guard, [this] { return !writing && !hasPending; });
    }

    void own(const QString& folder, const QString& name, const QString& journal,
             std::unique_ptr<QLockFile> journalLock) {
        std::lock_guard<std::mutex> guard(mutex);
        kestrelFolder = folder;
        listName = name;
        path = journal;
        lock = std::move(journalLock);
        failed = false;
        if (!thread.joinable())
            thread = std::thread([this] { run(); });
    }
};

RecoveryJournal::RecoveryJournal() : d(std::make_unique<Impl>()) {}

RecoveryJournal::~RecoveryJournal() = default;

bool RecoveryJournal::open(const QString& kestrelFolder, const QString& listName) {
    discard();
    if (!QDir().mkpath(journalFolder()))
        return false;
    for (int copy = 1; copy <= kMostCopies; ++copy) {
        const QString journal = journalPath(kestrelFolder, listName, copy);
        if (std::unique_ptr<QLockFile> lock = lockJournal(journal)) {
            d->own(kestrelFolder, listName, journal, std::move(lock));
            return true;
        }
    }
    return false;
}

void RecoveryJournal::adopt(LeftJournal&& left) {
    discard();
    d->own(left.kestrelFolder, left.listName, left.path, std::move(left.lock));
}

bool RecoveryJournal::isOpen() const {
    std::lock_guard<std::mutex> guard(d->mutex);
    return !d->path.isEmpty();
}

QString RecoveryJournal::kestrelFolder() const {
    std::lock_guard<std::mutex> guard(d->mutex);
    return d->path.isEmpty() ? QString() : d->kestrelFolder;
}

QString RecoveryJournal::listName() const {
    std::lock_guard<std::mutex> guard(d->mutex);
    return d->path.isEmpty() ? QString() : d->listName;
}

QString RecoveryJournal::path() const {
    std::lock_guard<std::mutex> guard(d->mutex);
    return d->path;
}

void RecoveryJournal::keep(const QString& text) {
    {
        std::lock_guard<std::mutex> guard(d->mutex);
        if (d->path.isEmpty())
            return;
        d->pending = text;
        d->hasPending = true;
    }
    d->changed.notify_all();
}

bool RecoveryJournal::flush() {
    std::unique_lock<std::mutex> guard(d->mutex);
    d->waitIdle(guard);
    return !d->path.isEmpty() && !d->failed;
}

void RecoveryJournal::discard() {
    QString journal;
    {
        std::unique_lock<std::mutex> guard(d->mutex);
        d->hasPending = false;
        d->pending.clear();
        d->waitIdle(guard);
        journal.swap(d->path);
    }
    if (!journal.isEmpty())
        QFile::remove(journal);
    d->lock.reset();
}

std::vector<LeftJournal> RecoveryJournal::leftBehind(const QString& kestrelFolder) {
    std::vector<LeftJournal> left;
    const QDir folder(journalFolder());
    for (const QString& name : folder.entryList(
             {QStringLiteral("*") + kSuffix},
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = folder.filePath(name);
        const ReadResult file = readFile(path, kMaxJournalBytes);
        if (file.status != FileStatus::Ok)
            continue; // too large, not an ordinary file, unreadable: passed over
        Parsed journal = parse(file.bytes);
        if (!journal.ok || journal.kestrelFolder != kestrelFolder)
            continue;
        std::unique_ptr<QLockFile> lock = lockJournal(path);
        if (!lock)
            continue; // a copy that is still running keeps it
        left.push_back(LeftJournal{path, journal.kestrelFolder, journal.listName, journal.text,
                                   std::move(lock)});
    }
    return left;
}

} // namespace store

#include "store/RecoveryJournal.h"

#include "store/exchangeFile.h"
#include "store/files.h"
#include "store/textFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace store {

namespace {
const QByteArray kMagic = QByteArrayLiteral("Quillbox recovery journal 2");
// The journal of earlier versions: the words whole, in UTF-8, CR LF between lines.
const QByteArray kFirstMagic = QByteArrayLiteral("Quillbox recovery journal 1");
const QString kSuffix = QStringLiteral(".journal");
// A lock file of QLockFile's holds a few short lines.
constexpr qint64 kLargestLock = 4096;
// Copies of the program that edit the same list at once, and journals left
// behind for it, each take a name.
constexpr int kMostCopies = 16;
// Changes are added at a journal's end until they outgrow its words (or
// this, for a short list); then it is written whole again.
constexpr qsizetype kSmallestLog = 256 * 1024;
// What is read of a journal to tell whose it is.
constexpr qint64 kHeaderBytes = 64 * 1024;
// A write that failed is tried again after this long.
constexpr int kRetryMilliseconds = 2000;

using Clock = std::chrono::steady_clock;

QByteArray digestOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

// The check of one change: its line and its characters.
QByteArray checkOf(const QByteArray& line, const QByteArray& added) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(line);
    hash.addData(added);
    return hash.result().toHex().left(16);
}

// The editor's text one byte a character, so that its positions are the
// bytes': each character's Windows-1252 byte ('?' for one without, which the
// editor never holds, as it holds only what list files and the keyboard bring).
QByteArray bytesOf(const QString& text) {
    static const QHash<char16_t, char> high = [] {
        QHash<char16_t, char> map;
        for (int byte = 0x80; byte < 0x100; ++byte) {
            const QString c = decodeText(QByteArray(1, char(byte)));
            if (c.size() == 1)
                map.insert(c.at(0).unicode(), char(byte));
        }
        return map;
    }();
    QByteArray out(text.size(), Qt::Uninitialized);
    char* to = out.data();
    for (const QChar c : text)
        *to++ = c.unicode() < 0x80 ? char(c.unicode()) : high.value(c.unicode(), '?');
    return out;
}

QString journalPath(const QString& kestrelFolder, const QString& listName, int copy) {
    const QByteArray key = (kestrelFolder + u'\n' + listName.toLower()).toUtf8();
    return journalFolder() + u'/' + QString::fromLatin1(digestOf(key).left(20)) +
           (copy > 1 ? QStringLiteral("-%1").arg(copy) : QString()) + kSuffix;
}

QByteArray headerOf(const QString& kestrelFolder, const QString& listName,
                    const QByteArray& words) {
    return kMagic + "\nfolder " + QUrl::toPercentEncoding(kestrelFolder) + "\nlist " +
           QUrl::toPercentEncoding(listName) + "\nwords " + QByteArray::number(words.size()) + ' ' +
           digestOf(words) + "\n\n";
}

QByteArray changeOf(qsizetype position, qsizetype removed, const QByteArray& added) {
    const QByteArray line = "edit " + QByteArray::number(position) + ' ' +
                            QByteArray::number(removed) + ' ' + QByteArray::number(added.size());
    return line + ' ' + checkOf(line, added) + '\n' + added;
}

struct Header {
    int version = 0; // 0: no journal
    QString kestrelFolder, listName;
    qsizetype start = 0; // where the words begin
    qint64 length = 0;   // of the words (version 2)
    QByteArray digest;
};

Header headerIn(const QByteArray& bytes) {
    Header h;
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0)
        return h;
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    if (lines.size() != 4 || !lines[1].startsWith("folder ") || !lines[2].startsWith("list "))
        return h;
    if (lines[0] == kMagic && lines[3].startsWith("words ")) {
        const QList<QByteArray> words = lines[3].mid(6).split(' ');
        bool number = false;
        h.length = words.value(0).toLongLong(&number);
        if (words.size() != 2 || !number || h.length < 0)
            return h;
        h.digest = words[1];
        h.version = 2;
    } else if (lines[0] == kFirstMagic && lines[3].startsWith("sha1 ")) {
        h.digest = lines[3].mid(5);
        h.version = 1;
    } else {
        return h;
    }
    h.kestrelFolder = QString::fromUtf8(QByteArray::fromPercentEncoding(lines[1].mid(7)));
    h.listName = QString::fromUtf8(QByteArray::fromPercentEncoding(lines[2].mid(5)));
    h.start = end + 2;
    return h;
}

// The words of a journal: as last written whole, with the changes after
// them made, up to the first one that is torn or damaged. Nothing when the
// words themselves are damaged.
std::optional<QString> wordsIn(const Header& h, const QByteArray& bytes) {
    if (h.version == 1) {
        const QByteArray body = bytes.mid(h.start);
        const QString text =
            QString::fromUtf8(body).replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (digestOf(body) != h.digest || decodeText(encodeText(text)) != text)
            return std::nullopt; // damaged, or not what a list file can hold
        return text;
    }
    if (bytes.size() - h.start < h.length)
        return std::nullopt;
    QByteArray text = bytes.mid(h.start, qsizetype(h.length));
    if (digestOf(text) != h.digest)
        return std::nullopt;
    for (qsizetype at = h.start + qsizetype(h.length); at < bytes.size();) {
        // "edit <position> <removed> <length> <check>", then the characters
        const qsizetype end = bytes.indexOf('\n', at);
        const QList<QByteArray> fields = bytes.mid(at, qMax<qsizetype>(end - at, 0)).split(' ');
        if (end < 0 || fields.size() != 5 || fields[0] != "edit")
            break;
        bool numbers[3] = {};
        const qint64 position = fields[1].toLongLong(&numbers[0]);
        const qint64 removed = fields[2].toLongLong(&numbers[1]);
        const qint64 length = fields[3].toLongLong(&numbers[2]);
        if (!numbers[0] || !numbers[1] || !numbers[2] || position < 0 || removed < 0 ||
            length < 0 || position + removed > text.size() || length > bytes.size() - end - 1)
            break;
        const QByteArray added = bytes.mid(end + 1, qsizetype(length));
        const QByteArray line = bytes.mid(at, end - at - fields[4].size() - 1);
        if (checkOf(line, added) != fields[4])
            break;
        text.replace(qsizetype(position), qsizetype(removed), added);
        at = end + 1 + qsizetype(length);
    }
    return decodeText(text);
}

// What the editor can hold: lines of small letters, as typed or as a list
// file brings them (spaces, digits and signs of Windows-1252 among them), but
// no control characters. (Words read as Windows-1252 hold nothing else.)
bool isEditorText(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 ? u != u'\n' && (u < 0x20 || u == 0x7f || (u >= u'A' && u <= u'Z'))
                     : !c.isPrint() || c.toLower() != c)
            return false;
    }
    return true;
}

// A name that Import would take from an exchange file.
bool isListName(const QString& name) {
    return !isUnsafeListName(name) && decodeText(encodeText(name)) == name;
}

// The first bytes of an ordinary file (not a link), without waiting on
// anything that took its place meanwhile.
QByteArray headOf(const QString& path) {
    if (pathKind(path, kMaxJournalBytes) != PathKind::Plain)
        return QByteArray();
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? file.read(kHeaderBytes)
                                                                  : QByteArray();
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

// What the main thread hands over, in the order it happened.
struct Step {
    enum class Kind { Text, Edit, Follow, Adopt } kind = Kind::Text;
    int position = 0, removed = 0;
    QString text; // the whole text, the characters added, or the list's name
    QString kestrelFolder;
    bool unsaved = false;
    std::shared_ptr<LeftJournal> left;
};
} // namespace

QString journalFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/quillbox/journals");
}

void LeftJournal::discard() {
    removeFile(path);
    lock.reset();
}

struct RecoveryJournal::Impl {
    // Shared with the main thread, under the mutex.
    std::mutex mutex;
    std::condition_variable wake, answered;
    std::vector<Step> steps;
    quint64 flushAsked = 0, flushAnswered = 0;
    quint64 writeAsked = 0; // the last ask that wants what is not on disk written at once
    bool flushed = true;
    bool stopping = false;
    QString shownPath;
    std::function<void(bool)> keptCallback;

    // The thread's own.
    QByteArray text; // the editor's text, one byte a character
    QString kestrelFolder, listName;
    bool unsaved = false;
    QString path; // the journal this copy holds, locked; empty while none
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<AtomicFile> file; // the journal as last written whole, open
    bool whole = true;    // its next write is a whole one: no file, or its end not known
    bool dirty = false;   // the file does not hold the text
    QByteArray changes;   // the changes not written yet, when the next write adds them
    qsizetype logged = 0; // the changes in the file
    Clock::time_point due;
    int kept = -1; // what was last told: -1 nothing, 0 failing, 1 kept

    std::thread thread;

    Impl() : thread([this] { run(); }) {}

    ~Impl() {
        {
            std::lock_guard<std::mutex> guard(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    void run() {
        std::unique_lock<std::mutex> guard(mutex);
        for (;;) {
            const auto ready = [this] {
                return stopping || !steps.empty() || flushAsked != flushAnswered;
            };
            if (dirty && unsaved)
                wake.wait_until(guard, due, ready);
            else
                wake.wait(guard, ready);
            if (stopping)
                return;
            std::vector<Step> taken;
            taken.swap(steps);
            const quint64 flush = flushAsked;
            const bool flushing = flush != flushAnswered;
            const bool writeNow = writeAsked > flushAnswered;
            guard.unlock();
            for (Step& step : taken)
                take(step);
            if (dirty && unsaved && (writeNow || Clock::now() >= due))
                write();
            guard.lock();
            if (flushing) {
                flushAnswered = flush;
                flushed = !(dirty && unsaved);
                answered.notify_all();
            }
        }
    }

    void changed() {
        if (!dirty)
            due = Clock::now() + std::chrono::milliseconds(kDelayMilliseconds);
        dirty = true;
    }

    void take(Step& step) {
        switch (step.kind) {
        case Step::Kind::Text:
            replaceText(bytesOf(step.text).replace("\r\n", "\n"));
            break;
        case Step::Kind::Edit: {
            const QByteArray added = bytesOf(step.text);
            if (step.position <= 0 && step.removed >= text.size()) {
                replaceText(added);
                break;
            }
            const qsizetype position = qBound(qsizetype(0), qsizetype(step.position), text.size());
            const qsizetype removed =
                qBound(qsizetype(0), qsizetype(step.removed), text.size() - position);
            text.replace(position, removed, added);
            if (!whole)
                changes += changeOf(position, removed, added);
            changed();
            break;
        }
        case Step::Kind::Follow: {
            const bool same = step.kestrelFolder == kestrelFolder &&
                              step.text.compare(listName, Qt::CaseInsensitive) == 0;
            if (!step.unsaved || !same)
                close(true); // saved, or given up
            if (step.unsaved && (!unsaved || !same))
                due = Clock::now() + std::chrono::milliseconds(kDelayMilliseconds);
            kestrelFolder = step.kestrelFolder;
            listName = step.text;
            unsaved = step.unsaved;
            break;
        }
        case Step::Kind::Adopt:
            close(true);
            kestrelFolder = step.left->kestrelFolder;
            listName = step.left->listName;
            unsaved = true;
            text = bytesOf(step.left->text).replace("\r\n", "\n");
            setPath(step.left->path);
            lock = std::move(step.left->lock);
            dirty = false; // its words are on disk; it is written whole at their first change
            break;
        }
    }

    void replaceText(const QByteArray& bytes) {
        text = bytes;
        whole = true;
        changes.clear();
        changed();
    }

    void setPath(const QString& journal) {
        path = journal;
        std::lock_guard<std::mutex> guard(mutex);
        shownPath = journal;
    }

    // Lets go of the journal; removes it when its words were saved or given up.
    void close(bool remove) {
        file.reset();
        if (remove && !path.isEmpty())
            removeFile(path);
        lock.reset();
        setPath(QString());
        whole = true;
        changes.clear();
        logged = 0;
        dirty = true;
    }

    // A journal for the list: the first name that holds nothing, not even a
    // journal left behind, and whose lock this copy can take.
    bool openJournal() {
        if (!QDir().mkpath(journalFolder()))
            return false;
        for (int copy = 1; copy <= kMostCopies; ++copy) {
            const QString journal = journalPath(kestrelFolder, listName, copy);
            if (pathKind(journal, 0) != PathKind::Missing)
                continue;
            if (std::unique_ptr<QLockFile> taken = lockJournal(journal)) {
                lock = std::move(taken);
                setPath(journal);
                return true;
            }
        }
        return false;
    }

    void write() {
        for (int attempt = 0; attempt <= kMostCopies; ++attempt) {
            if (path.isEmpty() && !openJournal())
                break;
            if (!whole && file && logged + changes.size() <= qMax(kSmallestLog, text.size())) {
                if (file->append(changes)) {
                    logged += changes.size();
                    return written();
                }
                whole = true; // where its end is now is not known
            }
            if (file && !file->isAtPath()) {
                close(false); // something else was put in its place: left as it is
                continue;
            }
            file.reset(); // closed before it is replaced: Windows replaces no open file
            auto fresh = std::make_unique<AtomicFile>(path, AtomicFile::Links::Refuse);
            const FileStatus opened = fresh->open();
            if (opened == FileStatus::NotRegular) {
                close(false); // something else took its place: left as it is
                continue;
            }
            if (opened == FileStatus::Ok && fresh->write(headerOf(kestrelFolder, listName, text)) &&
                fresh->write(text) && fresh->commit()) {
                file = std::move(fresh);
                logged = 0;
                return written();
            }
            break;
        }
        file.reset();
        whole = true;
        changes.clear();
        due = Clock::now() + std::chrono::milliseconds(kRetryMilliseconds);
        tell(false);
    }

    void written() {
        whole = false;
        dirty = false;
        changes.clear();
        tell(true);
    }

    void tell(bool nowKept) {
        if (kept == int(nowKept))
            return;
        kept = int(nowKept);
        std::function<void(bool)> callback;
        {
            std::lock_guard<std::mutex> guard(mutex);
            callback = keptCallback;
        }
        if (callback)
            callback(nowKept);
    }

    // Waits at most timeout for the thread to take what it was handed (and,
    // with write, to write what is not on disk): whether the words are.
    bool ask(int timeoutMilliseconds, bool write);

    void hand(Step&& step) {
        {
            std::lock_guard<std::mutex> guard(mutex);
            steps.push_back(std::move(step));
        }
        wake.notify_all();
    }
};

RecoveryJournal::RecoveryJournal() : d(std::make_unique<Impl>()) {}

RecoveryJournal::~RecoveryJournal() = default;

void RecoveryJournal::setText(const QString& text) {
    d->hand({Step::Kind::Text, 0, 0, text, QString(), false, nullptr});
}

void RecoveryJournal::edit(int position, int removed, const QString& added) {
    d->hand({Step::Kind::Edit, position, removed, added, QString(), false, nullptr});
}

void RecoveryJournal::follow(const QString& kestrelFolder, const QString& listName, bool unsaved) {
    d->hand({Step::Kind::Follow, 0, 0, listName, kestrelFolder, unsaved, nullptr});
}

void RecoveryJournal::adopt(LeftJournal&& left) {
    d->hand({Step::Kind::Adopt, 0, 0, QString(), QString(), false,
             std::make_shared<LeftJournal>(std::move(left))});
}

bool RecoveryJournal::flush(int timeoutMilliseconds) {
    return d->ask(timeoutMilliseconds, true);
}

void RecoveryJournal::settle() const {
    d->ask(60000, false);
}

bool RecoveryJournal::Impl::ask(int timeoutMilliseconds, bool write) {
    std::unique_lock<std::mutex> guard(mutex);
    const quint64 ticket = ++flushAsked;
    if (write)
        writeAsked = ticket;
    wake.notify_all();
    return answered.wait_for(guard, std::chrono::milliseconds(timeoutMilliseconds), [this, ticket] {
        return flushAnswered >= ticket;
    }) && flushed;
}

void RecoveryJournal::onKept(std::function<void(bool)> kept) {
    std::lock_guard<std::mutex> guard(d->mutex);
    d->keptCallback = std::move(kept);
}

QString RecoveryJournal::folder() {
    return journalFolder();
}

QString RecoveryJournal::path() const {
    std::lock_guard<std::mutex> guard(d->mutex);
    return d->shownPath;
}

bool RecoveryJournal::read(const QString& path, LeftJournal& journal) {
    if (pathKind(path, kMaxJournalBytes) != PathKind::Plain)
        return false; // too large, a link, not an ordinary file
    const ReadResult file = readFile(path, kMaxJournalBytes);
    if (file.status != FileStatus::Ok)
        return false;
    const Header header = headerIn(file.bytes);
    if (header.version == 0 || !isListName(header.listName))
        return false;
    const std::optional<QString> words = wordsIn(header, file.bytes);
    if (!words || !isEditorText(*words))
        return false;
    journal.path = path;
    journal.kestrelFolder = header.kestrelFolder;
    journal.listName = header.listName;
    journal.text = QString(*words).replace(u'\n', QLatin1String("\r\n"));
    return true;
}

std::vector<LeftJournal> RecoveryJournal::leftBehind(const QString& kestrelFolder) {
    std::vector<LeftJournal> left;
    const QDir folder(journalFolder());
    for (const QString& name : folder.entryList(
             {QStringLiteral("*") + kSuffix},
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = folder.filePath(name);
        // Only the journals of this Kestrel folder are read whole.
        if (headerIn(headOf(path)).kestrelFolder != kestrelFolder)
            continue;
        std::unique_ptr<QLockFile> lock = lockJournal(path);
        if (!lock)
            continue; // a copy that is still running keeps it
        LeftJournal journal;
        if (!read(path, journal) || journal.kestrelFolder != kestrelFolder)
            continue; // damaged, or not what it claims: left as it is
        journal.lock = std::move(lock);
        left.push_back(std::move(journal));
    }
    // Offered in the order of their lists' names.
    std::stable_sort(left.begin(), left.end(), [](const LeftJournal& a, const LeftJournal& b) {
        return a.listName.compare(b.listName, Qt::CaseInsensitive) < 0;
    });
    return left;
}

void RecoveryJournal::removeLeftovers() {
    removeLeftoverTemporaryFiles(journalFolder());
}

} // namespace store

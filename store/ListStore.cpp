#include "store/ListStore.h"

#include "store/IndexLock.h"
#include "store/exchangeFile.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"

#include <QDir>
#include <QFileInfo>

namespace store {

namespace {
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
    const QString folder = listFolderPath();
    return QFileInfo(folder).isDir() || QDir().mkdir(folder);
}

bool sameProblem(const Result& a, const Result& b) {
    return a.outcome == b.outcome && a.file == b.file && a.path == b.path;
}
} // namespace

ListStore::ListStore() : names_(globals::kMaxLists + 1) {}

ListStore& ListStore::instance() {
    static ListStore store;
    return store;
}

void ListStore::reset() {
    for (QString& name : names_)
        name.clear();
    count_ = 0;
    index_ = IndexFile();
    problem_ = Result();
    lastReload_ = Result();
    listing_.clear();
    listingStamp_ = FileStamp();
    generation_ = 0;
}

QStringList ListStore::names() const {
    QStringList out;
    out.reserve(count_);
    for (int i = 1; i <= count_; ++i)
        out.append(names_[std::size_t(i)]);
    return out;
}

int ListStore::find(const QString& name) const {
    return globals::FindListName(name, names_, count_);
}

const FolderListing& ListStore::listing() {
    const QString folder = listFolderPath();
    const FileStamp stamp = stampOf(folder);
    if (listing_.folder() == folder && listingStamp_ == stamp && isSettled(stamp))
        return listing_;
    listingStamp_ = stamp; // taken before the listing: a change during it shows next time
    listing_.take(folder);
    ++generation_;
    return listing_;
}

Result ListStore::reload() {
    Result result = reloadIndex();
    result.repeated = !result.ok() && sameProblem(result, lastReload_);
    lastReload_ = result;
    return result;
}

Result ListStore::reloadIndex() {
    const QString path = indexFilePath();
    const FileStamp stamp = stampOf(path);
    const FolderListing& folder = listing();
    // Neither the index file nor the list folder has changed since the list
    // index was made from them: it is what a reload would make.
    if (index_.known && index_.path == path && index_.stamp == stamp && isSettled(stamp) &&
        index_.generation == generation_)
        return Result();
    index_ = IndexFile();
    ReadResult file = readFile(path, kMaxIndexFileBytes);
    if (file.status == FileStatus::Missing) {
        // No index yet: the first save makes it. The list index keeps what it held.
        problem_ = Result();
        index_.path = path;
        return ensureListFolder() ? Result() : Result{Outcome::FolderNotMade};
    }
    if (file.status != FileStatus::Ok && !file.opened) {
        problem_ = Result{Outcome::IndexNotRead, file.status, path, kMaxIndexFileBytes};
        return ensureListFolder() ? problem_ : Result{Outcome::FolderNotMade};
    }
    file.bytes = codePageBytes(file.bytes);
    count_ = 0;
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
        if (count_ >= globals::kMaxLists) {
            problem_ = Result{Outcome::TooMany, FileStatus::Ok, path};
            return problem_;
        }
        QString& entry = names_[std::size_t(++count_)];
        if (!holds(entry, bytes + start, length))
            entry = decodeText(QByteArray(bytes + start, length));
    }
    if (file.status != FileStatus::Ok) { // read part-way: the names read so far are held
        problem_ = Result{Outcome::IndexNotRead, file.status, path};
        return ensureListFolder() ? problem_ : Result{Outcome::FolderNotMade};
    }
    problem_ = Result();
    index_ = IndexFile{true, path, stamp, generation_, true, file.bytes, exact};
    return Result();
}

void ListStore::rememberIndex(const QByteArray& bytes) {
    index_ =
        IndexFile{true, indexFilePath(), stampOf(indexFilePath()), generation_, true, bytes, true};
}

QByteArray ListStore::indexBytes(const QString& added) const {
    QByteArray bytes = index_.known && index_.exact ? index_.bytes : joinLines(names());
    if (!added.isEmpty())
        bytes += encodeText(added) + "\r\n";
    return bytes;
}

void ListStore::restoreIndex() {
    if (index_.existed)
        writeFileAtomically(index_.path, index_.bytes);
    else
        removeFile(index_.path);
    index_.known = false;
}

Result ListStore::refusal() const {
    return Result{Outcome::Refused, problem_.file, indexFilePath()};
}

FileStatus ListStore::writeList(const QString& path, const QByteArray& bytes) {
    const FileStamp before = stampOf(listFolderPath());
    const FileStatus written = writeFileAtomically(path, bytes);
    if (written == FileStatus::Ok)
        followOwnChange(path, before, true);
    return written;
}

bool ListStore::deleteList(const QString& path) {
    const FileStamp before = stampOf(listFolderPath());
    if (!removeFile(path))
        return false;
    followOwnChange(path, before, false);
    return true;
}

void ListStore::followOwnChange(const QString& path, const FileStamp& before, bool written) {
    if (listing_.folder() != listFolderPath())
        return; // not listed yet: the next use lists it
    if (written)
        listing_.added(path);
    else
        listing_.removed(path);
    ++generation_;
    // When something else changed the folder too, the next use lists it again.
    listingStamp_ = listingStamp_ == before ? stampOf(listFolderPath()) : FileStamp();
}

void ListStore::addName(const QString& name) {
    names_[std::size_t(++count_)] = name;
    index_.known = false; // the index file does not hold it yet
}

QString ListStore::pathOf(const QString& name) {
    const QString spelled = listFilePath(name);
    return fileKind(spelled) == FileStatus::Ok ? spelled : listing().resolve(name);
}

Result ListStore::readList(const QString& name, QByteArray& bytes) {
    ReadResult file = listing().read(name, kMaxListFileBytes);
    if (file.status != FileStatus::Ok)
        return Result{Outcome::ListNotRead, file.status, listing_.resolve(name), kMaxListFileBytes};
    bytes = std::move(file.bytes);
    return Result();
}

Result ListStore::save(const QString& name, const QByteArray& listFile) {
    // A list file that Open would refuse is never written, nor its name.
    if (listFile.size() > kMaxListFileBytes)
        return Result{Outcome::ListTooLarge, FileStatus::TooLarge, pathOf(name), kMaxListFileBytes};
    const IndexLock lock(indexLockPath());
    if (lock.busy())
        return Result{Outcome::Busy};
    reload(); // as another copy of the program may have left it
    if (!problem_.ok())
        return refusal();
    const bool added = find(name) == 0;
    // One more name would make an index that no start-up can load.
    if (added && count_ >= globals::kMaxLists)
        return Result{Outcome::IndexFull};
    // A list whose entry is not an ordinary file is left alone, index and all.
    const QString path = pathOf(name);
    if (replaceable(path) == FileStatus::NotRegular)
        return Result{Outcome::ListNotWritten, FileStatus::NotRegular, path};
    const QByteArray index = indexBytes(added ? name.toLower() : QString());
    const FileStatus indexWritten = writeFileAtomically(indexFilePath(), index);
    if (indexWritten != FileStatus::Ok) {
        index_.known = false;
        return Result{Outcome::IndexNotWritten, indexWritten, indexFilePath()};
    }
    const FileStatus listWritten = writeList(path, listFile);
    if (listWritten != FileStatus::Ok) {
        // No list file, so no new name in the index.
        if (added)
            restoreIndex();
        index_.known = false;
        reload();
        return Result{Outcome::ListNotWritten, listWritten, path};
    }
    if (added)
        names_[std::size_t(++count_)] = name.toLower();
    rememberIndex(index);
    return Result{Outcome::Done, FileStatus::Ok, path};
}

Result ListStore::remove(const QString& name) {
    const IndexLock lock(indexLockPath());
    if (lock.busy())
        return Result{Outcome::Busy};
    reload();
    if (!problem_.ok())
        return refusal();
    const QString deleted = name.toLower();
    QStringList kept;
    for (const QString& entry : names()) {
        if (entry.toLower() != deleted)
            kept.append(entry.toLower());
    }
    const QString path = pathOf(name);
    const QByteArray index = joinLines(kept);
    const FileStatus indexWritten = writeFileAtomically(indexFilePath(), index);
    if (indexWritten != FileStatus::Ok) {
        index_.known = false;
        return Result{Outcome::IndexNotWritten, indexWritten, indexFilePath()};
    }
    if (!deleteList(path)) {
        // The list stays: so does its name.
        restoreIndex();
        reload();
        return Result{Outcome::ListNotDeleted, FileStatus::Failed, path};
    }
    count_ = qint16(kept.size());
    for (int i = 1; i <= count_; ++i)
        names_[std::size_t(i)] = kept[i - 1];
    rememberIndex(index);
    return Result{Outcome::Done, FileStatus::Ok, path};
}

Result ListStore::exportLists(const QStringList& names, const QString& path) {
    // The file is written whole or not at all: a failure leaves an earlier
    // file of that name as it was.
    AtomicFile file(path);
    const FileStatus opened = file.open();
    if (opened != FileStatus::Ok)
        return Result{Outcome::ExchangeNotWritten, opened, path};
    const Result notWritten{Outcome::ExchangeNotWritten, FileStatus::Failed, path};
    // The sections are gathered and written a megabyte at a time.
    constexpr qsizetype kChunk = 1 << 20;
    QByteArray chunk;
    chunk.reserve(kChunk + 64 * 1024);
    const FolderListing& folder = listing();
    for (const QString& name : names) {
        const ReadResult list = folder.read(name, kMaxListFileBytes);
        if (list.status != FileStatus::Ok)
            return Result{Outcome::ExportListNotRead, list.status, folder.resolve(name),
                          kMaxListFileBytes};
        appendSectionOfFile(chunk, name, list.bytes);
        if (chunk.size() >= kChunk) {
            if (!file.write(chunk))
                return notWritten;
            chunk.clear();
        }
    }
    if (!file.write(chunk) || !file.commit())
        return notWritten;
    return Result{Outcome::Done, FileStatus::Ok, path};
}

Result ListStore::addImported(const QStringList& added, int& notListed) {
    notListed = 0;
    const IndexLock lock(indexLockPath());
    if (lock.busy())
        return Result{Outcome::Busy};
    reload(); // as another copy of the program may have left it
    if (!problem_.ok())
        return refusal();
    QSet<QString> onDisk;
    for (int i = 1; i <= count_; ++i)
        onDisk.insert(names_[std::size_t(i)].toLower());
    for (const QString& name : added) {
        if (onDisk.contains(name.toLower()))
            continue;
        if (count_ >= globals::kMaxLists)
            ++notListed;
        else
            names_[std::size_t(++count_)] = name;
    }
    const QByteArray index = joinLines(names());
    const FileStatus written = writeFileAtomically(indexFilePath(), index);
    if (written != FileStatus::Ok) {
        index_.known = false;
        reload();
        return Result{Outcome::ImportIndexNotWritten, written, indexFilePath()};
    }
    rememberIndex(index); // the list index is the file's, each name with its file
    return Result();
}

ListImport::ListImport(ListStore& store, qsizetype expectedLists) : store_(store) {
    held_.reserve(expectedLists);
}

Result ListImport::start() {
    store_.reload();
    if (!store_.problem_.ok())
        return store_.refusal();
    held_.reserve(held_.capacity() + store_.count_);
    for (int i = 1; i <= store_.count_; ++i)
        held_.insert(store_.names_[std::size_t(i)].toLower());
    return Result();
}

bool ListImport::holds(const QString& name) const {
    return held_.contains(name.toLower());
}

Result ListImport::write(const QString& name, const QStringList& words) {
    const bool added = !holds(name);
    if (added && store_.count_ >= globals::kMaxLists)
        return Result{Outcome::IndexFull};
    // The listing taken at the start, kept up to date by each list written:
    // not taken again for each list, whatever the folder's clock says.
    const QString path = store_.listing_.resolve(name);
    const FileStatus written = store_.writeList(path, joinLines(words));
    if (written != FileStatus::Ok)
        return Result{Outcome::ImportListNotWritten, written, path};
    if (added) {
        store_.addName(name);
        held_.insert(name.toLower());
        added_.append(name);
    }
    return Result{Outcome::Done, FileStatus::Ok, path};
}

Result ListImport::finish() {
    return store_.addImported(added_, notListed_);
}

} // namespace store

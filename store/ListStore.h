#pragma once
// The store: what the program knows of Kestrel's lists, and every change it
// makes to their files. It owns the list index as loaded from
// VocabularyLists.txt, the listing of the list folder, and the index's lock;
// they change here and nowhere else. Each command returns a Result, which the
// windows turn into what the user reads (ui/reports.h); the store shows
// nothing itself.
//
// What is kept between commands, so that a save costs the same at every
// size: the listing of the list folder, taken again only when the folder's
// stamp says that something else changed it (a stamp within one tick of the
// clock is not trusted), and kept up to date by the program's own writes and
// deletions; and the index file's stamp with the bytes last read or written,
// so that a reload reads the file again only when its stamp or the listing
// changed.
//
// Every rewrite of the index reloads it under the lock first and applies only
// its own change, so that two copies of the program on one folder lose
// nothing. An index that could not be read (not an ordinary file, too large,
// unreadable, or naming more lists than the index holds) is never rewritten:
// every rewrite is refused until a reload reads it whole.

#include "core/globals.h"
#include "store/FolderListing.h"
#include "store/Result.h"
#include "store/files.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace store {

class ListImport;

class ListStore {
public:
    // The program's store, on globals::KestrelFolder.
    static ListStore& instance();
    // Forgets everything it holds, as in a fresh process.
    void reset();

    // Rebuilds the list index from the index file, keeping the names whose
    // list file exists. When the index file cannot be read, makes sure the
    // list folder exists, so that the first save can write into it.
    Result reload();
    // Entries 1..count() of the list index; entry 0 is never used.
    const std::vector<QString>& table() const { return names_; }
    const qint16& count() const { return count_; }
    QStringList names() const;
    // The 1-based position of the first entry equal to name regardless of
    // case, or 0.
    int find(const QString& name) const;

    // The path of list name's file: the existing file matching it regardless
    // of case (the exact spelling first), or the spelled path when none does.
    QString pathOf(const QString& name);
    // Reads list name's file into bytes (at most kMaxListFileBytes).
    Result readList(const QString& name, QByteArray& bytes);

    // Saves listFile's bytes as the list name: the index file first (the
    // name added in small letters when the index does not hold it), then
    // the list file.
    Result save(const QString& name, const QByteArray& listFile);
    // Deletes the list name: the index rewritten without every entry equal
    // to it regardless of case (the others in small letters), then its file.
    Result remove(const QString& name);
    // Writes the lists named, in that order, to the exchange file at path,
    // whole or not at all.
    Result exportLists(const QStringList& names, const QString& path);
    // The index additions of an import: reads the index again under the
    // lock and adds the names that it does not hold, in order, as far as the
    // index has room; notListed tells how many did not fit.
    Result addImported(const QStringList& added, int& notListed);

private:
    friend class ListImport;
    ListStore();

    // The listing, taken again when the folder changed.
    const FolderListing& listing();
    Result reloadIndex();
    // The index file holds bytes, which are the list index's entries.
    void rememberIndex(const QByteArray& bytes);
    // The index file's bytes for the list index, with a line for added.
    QByteArray indexBytes(const QString& added) const;
    // Puts the index file back as the last reload found it.
    void restoreIndex();
    Result refusal() const;
    // A list file written or deleted, the listing kept up to date.
    FileStatus writeList(const QString& path, const QByteArray& bytes);
    bool deleteList(const QString& path);
    // The listing follows the program's own write (or deletion) of the file
    // at path; before is the folder's stamp from before it.
    void followOwnChange(const QString& path, const FileStamp& before, bool written);
    // A name that an import has added, before the index file holds it.
    void addName(const QString& name);

    std::vector<QString> names_;
    qint16 count_ = 0;

    // The index file as last read or written.
    struct IndexFile {
        bool known = false; // the list index is what the file below made
        QString path;
        FileStamp stamp;
        quint64 generation = 0; // of the listing it was matched against
        bool existed = false;
        QByteArray bytes;   // as read or written
        bool exact = false; // each line a name held, ended by CR LF: bytes can be written again
    } index_;
    Result problem_;    // why the index could not be read whole at the last reload
    Result lastReload_; // what the last reload said

    FolderListing listing_;
    FileStamp listingStamp_; // the folder's stamp when it was listed
    quint64 generation_ = 0; // goes up with each change of the listing
};

// The lists of one import, written one by one as they are met: a new name
// joins the list index at once (so that a later section of the same name
// finds it), and the index file is rewritten once, by finish().
class ListImport {
public:
    ListImport(ListStore& store, qsizetype expectedLists);

    // Reloads the index; refused, before anything is written, when it cannot
    // be read.
    Result start();
    // Whether the list index holds name regardless of case, the names this
    // import added included.
    bool holds(const QString& name) const;
    // Writes words as the list name; a new name joins the list index. The
    // file of a list the index holds is found regardless of case. IndexFull
    // (nothing written) when a new name finds the index full.
    Result write(const QString& name, const QStringList& words);
    Result finish();
    int notListed() const { return notListed_; }

private:
    ListStore& store_;
    QSet<QString> held_; // the index's names in small letters
    QStringList added_;  // new names, in the order met
    int notListed_ = 0;  // written, but the index could hold no more at the end
};

} // namespace store

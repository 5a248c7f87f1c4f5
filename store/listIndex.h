#pragma once
// The list index: the in-memory copy of VocabularyLists.txt (globals::ListNames
// and globals::ListCount), its reload, its lookup and the index file's writer.

#include "store/files.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <vector>

class QLockFile;

namespace store {

enum class IndexStatus {
    Loaded,
    Unreadable,    // missing or unreadable: the index keeps what it held
    NotRegular,    // not an ordinary file: the index keeps what it held
    TooLarge,      // above kMaxIndexFileBytes: the index keeps what it held
    FolderNotMade, // the index could not be read and the list folder could not be made
    TooMany,       // more than 10000 names have list files: the index holds the first 10000
};

} // namespace store

namespace globals {

// Rebuilds the list index from the index file, keeping the names whose list
// file exists. When the index file cannot be read, makes sure the list folder
// exists, so that the first save can write into it.
store::IndexStatus LoadListIndex();

// The 1-based position of the first entry equal to name without regard to
// letter case, or 0.
int FindListName(const QString& name, const std::vector<QString>& table, const qint16& count);

} // namespace globals

namespace store {

// Entries 1..ListCount as held.
QStringList currentListNames();

// The index file's bytes for the list index as held, with a line for added
// when it is not empty: the bytes last read where they are those.
QByteArray indexBytes(const QString& added = QString());
// The program wrote bytes, the list index as held, to the index file: the
// next reload need not read it again.
void noteIndexWritten(const QByteArray& bytes);

// The right to rewrite the index, held by one copy of the program at a time:
// each rewrite reads the index again under it and applies only its own
// change, so that two copies on one folder lose nothing. Where no lock file
// can be made (a folder that takes no new files), the rewrite goes on
// without it.
class IndexLock {
public:
    IndexLock();
    ~IndexLock();
    IndexLock(const IndexLock&) = delete;
    IndexLock& operator=(const IndexLock&) = delete;
    // Another copy held it for longer than a rewrite takes.
    bool busy() const { return busy_; }

private:
    std::unique_ptr<QLockFile> lock_; // on Windows
    bool held_ = false;
    bool busy_ = false;
};

} // namespace store

#pragma once
// What a command of the store did: one outcome, and the file it is about.
// The windows turn each into its message (ui/reports.h).

#include "store/files.h"

#include <QString>

namespace store {

enum class Outcome {
    Done,
    // A reload of the index.
    IndexNotRead,  // the index could not be read (file says why): the list index keeps
                   // what it held, and no rewrite is made until it can be read
    FolderNotMade, // no index could be read, and the list folder could not be made
    TooMany,       // more than 10000 names have list files: the first 10000 are held
    // A change refused, with nothing changed.
    Busy,         // another copy of the program kept the index's lock
    Refused,      // the index could not be read whole
    IndexFull,    // a new name, and the index holds as many as it can
    ListTooLarge, // the list file would be larger than Open reads (limit)
    // Save and Delete.
    IndexNotWritten, // nothing changed
    ListNotWritten,  // the index as it was: a new name taken back out
    ListNotDeleted,  // the index put back: the list is still listed
    // Open and Export.
    ListNotRead,
    ExportListNotRead, // the exchange file left as it was
    ExchangeNotWritten,
    // Import.
    ImportFileNotRead, // nothing written
    ImportFileDamaged, // it does not begin with a header: nothing written
    ImportListNotWritten,
    ImportIndexNotWritten,
};

struct Result {
    Result() = default;
    Result(Outcome o, FileStatus f = FileStatus::Ok, const QString& p = QString(), qint64 l = 0)
        : outcome(o), file(f), path(p), limit(l) {}

    Outcome outcome = Outcome::Done;
    FileStatus file = FileStatus::Ok; // what the file system said of path
    QString path;                     // the file it is about
    qint64 limit = 0;                 // the size limit of that file, for TooLarge
    bool repeated = false;            // a reload's problem that the reload before had too

    bool ok() const { return outcome == Outcome::Done; }
};

} // namespace store

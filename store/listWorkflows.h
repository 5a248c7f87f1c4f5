#pragma once
// Saving and deleting a list: every file the command touches, in the order the
// files must land, and the list index brought up to date. Each reads the index
// again from disk under the index lock and applies only its own change. Each
// returns what happened; the windows tell the user.

#include "store/files.h"

#include <QString>
#include <QStringList>

namespace store {

enum class SaveStatus {
    Saved,
    Busy,            // another copy of the program kept the index: nothing written
    IndexFull,       // a new name, and the index holds as many as it can: nothing written
    IndexNotWritten, // nothing written
    ListNotWritten,  // the index has been rewritten (with a new name), the list file not
};

struct SaveResult {
    SaveStatus status;
    FileStatus file = FileStatus::Ok; // why a file was not written: NotRegular or Failed
    QString listPath;                 // the list file written, or that could not be
};

// Saves listFile's bytes as the list name: the index file first (the name
// added in small letters when the index does not hold it), then the list
// file; the list index follows. A failure leaves the list index as the files
// on disk say.
SaveResult saveList(const QString& name, const QByteArray& listFile);

enum class DeleteStatus {
    Deleted,
    Busy,            // nothing changed
    IndexNotWritten, // nothing changed
    FileNotDeleted,  // the index was put back as it was: the list is still listed
};

struct DeleteResult {
    DeleteStatus status;
    FileStatus file = FileStatus::Ok;
    QString listPath;
};

// Deletes the list name: the index file rewritten without every entry equal to
// it regardless of case (the others in small letters), then the list file
// deleted; the list index follows.
DeleteResult deleteList(const QString& name);

} // namespace store

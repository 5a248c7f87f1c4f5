#pragma once
// Saving and deleting a list: every file the command touches, in the order the
// files must land, and the list index brought up to date. Each returns what
// happened; the windows tell the user.

#include <QString>
#include <QStringList>

namespace store {

enum class SaveStatus {
    Saved,
    IndexFull,       // a new name, and the index holds as many as it can: nothing written
    IndexNotWritten, // nothing written
    ListNotWritten,  // the index has been rewritten (with a new name), the list file not
};

struct SaveResult {
    SaveStatus status;
    QString listPath; // the list file written, or that could not be written
};

// Saves words as the list name: the index file first (entries as held, the
// name added in small letters when the index does not hold it), then the list
// file, then the list index reloaded.
SaveResult saveList(const QString& name, const QStringList& words);

enum class DeleteStatus {
    Deleted,
    IndexNotWritten, // nothing changed
    FileNotDeleted,  // the index has been rewritten without the name, the file is still there
};

struct DeleteResult {
    DeleteStatus status;
    QString listPath;
};

// Deletes the list name: the index file rewritten without every entry equal to
// it regardless of case (the others in small letters), then the list file
// deleted, then the list index reloaded.
DeleteResult deleteList(const QString& name);

} // namespace store

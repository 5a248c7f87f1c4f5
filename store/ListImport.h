#pragma once
// The files of one import: each list of the exchange file written as it is
// met, new names added to the end of the list index, and the index file
// rewritten once, at the end.

#include "store/listFiles.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace store {

class ListImport {
public:
    explicit ListImport(qsizetype expectedLists);

    // Whether the list index holds name, regardless of case (the names this
    // import added included).
    bool holds(const QString& name) const;

    enum class Status {
        Written,
        IndexFull,  // a new name, and the index holds as many as it can: not written
        NotWritten, // the list file could not be written
    };
    struct Result {
        Status status;
        QString path;
    };
    // Writes words as the list name; a new name joins the list index. The
    // file of a list the index holds is found regardless of case.
    Result write(const QString& name, const QStringList& words);

    // Rewrites the index file from the list index and reloads it; false when
    // the index file could not be written.
    bool finish();

private:
    QSet<QString> held_; // the index's names in small letters
    ListFolder folder_;
};

} // namespace store

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
    // Starts from the index as it is on disk.
    explicit ListImport(qsizetype expectedLists);

    // Whether the list index holds name, regardless of case (the names this
    // import added included).
    bool holds(const QString& name) const;

    enum class Status {
        Written,
        IndexFull,  // a new name, and the index holds as many as it can: not written
        NotRegular, // the list's entry is not an ordinary file: left alone
        NotWritten, // the list file could not be written
    };
    struct Result {
        Status status;
        QString path;
    };
    // Writes words as the list name; a new name joins the list index. The
    // file of a list the index holds is found regardless of case.
    Result write(const QString& name, const QStringList& words);

    enum class Finish { Done, Busy, NotRegular, NotWritten };
    // Reads the index file again under the index lock, adds this import's new
    // names that it does not hold, writes it and reloads it. notListed()
    // tells how many names did not fit.
    Finish finish();
    int notListed() const { return notListed_; }

private:
    QSet<QString> held_;       // the index's names in small letters
    QStringList added_;        // new names, in the order met
    int notListed_ = 0;        // written, but the index could hold no more at the end
    const ListFolder& folder_; // brought up to date by each list written
};

} // namespace store

#pragma once
// The listing of the list folder, to match many names against it: each list
// file's name in small letters, with the file's own name where that differs.
//
// Names match files without regard to letter case, as on the file system the
// data was first kept on: a list name resolves to the existing file that
// matches it case-insensitively (an exact-case match wins; of several others,
// the first in code-point order), or to the name as given when no file
// matches. File names are held as UTF-8 on both systems, as Linux's file
// systems name files and as OpenFolder gives Windows's names; never through
// Windows's ANSI code page, as QFile::encodeName and decodeName would go.

#include "store/files.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <string>

namespace store {

class FolderListing {
public:
    // Lists folder (a path ending in a separator) again; false when it
    // cannot be opened, leaving the listing empty.
    bool take(const QString& folder);
    void clear();
    const QString& folder() const { return folder_; }

    // Whether an ordinary file of the folder is list name's.
    bool contains(const QString& name) const;
    // Whether a line of the index, as its bytes stand there, names a listed file.
    bool containsLine(const char* line, qsizetype length) const;
    // The path of the existing file for list name, or an empty string.
    QString find(const QString& name) const;
    // The path list name's file has or would have: find(), else an entry of
    // that name in any letter case that is not an ordinary file (which a
    // writer then refuses), else the spelled path.
    QString resolve(const QString& name) const;
    // Reads list name's file, from the folder that was listed.
    ReadResult read(const QString& name, qint64 limit) const;

    // The program itself has written or deleted the file at path.
    void added(const QString& path);
    void removed(const QString& path);

private:
    // Adds a list file under key; an empty file stands for the key + ".txt".
    void addFile(QByteArrayView key, QByteArrayView file);
    // The key of path's file name, in key_, when path is a list file of the
    // folder listed; its file name, or an empty array.
    QByteArray keyOfListFile(const QString& path) const;
    // The existing file's name (as the file system spells it), or empty.
    QByteArray fileFor(const QString& name) const;

    QString folder_;
    OpenFolder open_;
    // The keys (each listed list name in small letters, as UTF-8) and the
    // file names that are not the key + ".txt", as listed, one after another;
    // and those the program added since, each on its own. The tables view them.
    std::string names_;
    QList<QByteArray> more_;
    // Key -> the file's own name, or an empty view where that is the key +
    // ".txt", the usual case.
    QHash<QByteArrayView, QByteArrayView> files_;
    QHash<QByteArrayView, QByteArrayView> others_; // "<name>.txt" entries that are no ordinary file
    QSet<QByteArray> variants_; // files that differ from a chosen one only in case
    mutable std::string key_;   // room to fold a name in, without an allocation each time
};

} // namespace store

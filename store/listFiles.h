#pragma once
// Where the lists live: the index file and the list folder under Kestrel's
// folder, and the list files in it. The Kestrel folder's text is used as read
// (a trailing separator gives a doubled one).
//
// Names match files without regard to letter case, as on the file system the
// data was first kept on: a list name resolves to the existing file that
// matches it case-insensitively (an exact-case match wins), or to the name as
// given when no file matches. Every read, write and delete of a list file goes
// through resolveListFile, so no second file that differs only in case is made.

#include <QHash>
#include <QString>
#include <QStringList>

namespace store {

#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
#else
constexpr char16_t kPathSeparator = u'/';
#endif

QString indexFilePath();  // <Kestrel folder>/VocabularyLists.txt
QString listFolderPath(); // <Kestrel folder>/Vocab Categories/
// <Kestrel folder>/Vocab Categories/<name>.txt, spelled as given.
QString listFilePath(const QString& name);

// One listing of the list folder, to match many names against it.
class ListFolder {
public:
    // Lists the folder's ordinary files (dot files included: an index line
    // may be empty and name the file ".txt").
    ListFolder();
    // The existing file for list name, or an empty string.
    QString find(const QString& name) const;
    bool contains(const QString& name) const { return !find(name).isEmpty(); }

private:
    QString folder_;
    QHash<QString, QString> exact_;  // file name -> file name
    QHash<QString, QString> folded_; // lower-cased file name -> first file name
};

// The path of list name's file: the existing file matching it regardless of
// case, or listFilePath(name) when none exists.
QString resolveListFile(const QString& name);

} // namespace store

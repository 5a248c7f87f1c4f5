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

#include "store/files.h"

#include <QHash>
#include <QSet>
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
    // may be empty and name the file ".txt"). expectedFiles sizes the table.
    explicit ListFolder(qsizetype expectedFiles = 64);
    // The table views into the object's own strings: it is not copied.
    ListFolder(const ListFolder&) = delete;
    ListFolder& operator=(const ListFolder&) = delete;
    // The path of the existing file for list name, or an empty string.
    QString find(const QString& name) const;
    bool contains(const QString& name) const;
    // The path list name's file has or would have: find(), else an entry of
    // that name in any letter case that is not an ordinary file (which a
    // writer then refuses), else the spelled path.
    QString resolve(const QString& name) const;
    // Notes a file made since the listing, as the file of list name.
    void add(const QString& name);

private:
    using Files = QHash<QStringView, QString>;
    // The existing file's name, or a null string.
    QString fileFor(const QString& name) const;
    QString fileName(Files::const_iterator it) const;
    void addFile(QStringView key, QString file);

    QString folder_;
    QString keys_;                   // the listed names in small letters, one after another
    QStringList added_;              // names added since the listing, in small letters
    Files folded_;                   // list name in small letters -> its file (see the .cpp)
    QSet<QString> variants_;         // files that differ from a chosen one only in case
    QHash<QString, QString> others_; // "<name>.txt" entries that are no ordinary file, by name
};

// The path of list name's file: the existing file matching it regardless of
// case, or listFilePath(name) when none exists.
QString resolveListFile(const QString& name);

struct ListFileRead {
    FileStatus status;
    QStringList lines; // when Ok
};
ListFileRead readListFile(const QString& path);

// The lines the editor's text is saved as: each non-empty line once, in small
// letters; line feeds and empty lines dropped; a last word without a line
// break kept.
QStringList wordLines(const QString& editorText);

} // namespace store

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

#include "store/FoldedNames.h"
#include "store/files.h"

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <unordered_set>

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

// The listing of the list folder, to match many names against it. It is
// taken once and kept: taken again only when the folder's modification time
// says that something else changed the folder since (a time within one tick
// of the clock is not trusted), and brought up to date by the program's own
// writes and deletions, which tell it so.
class ListFolder {
public:
    // The folder's stamp, to be taken before the program changes the folder
    // itself.
    using Time = FileStamp;
    static Time folderTime();
    // Goes up each time the listing changes: a list index matched against
    // the same generation needs no matching again.
    quint64 generation() const { return generation_; }
    // That of the listing kept, without taking it again.
    static quint64 currentGeneration() { return kept().generation_; }

    // The listing, taken again if the folder changed. There is one: what
    // current() returns stays valid, and is brought up to date in place.
    static const ListFolder& current();
    // The program has written (or deleted) the file at path in the folder;
    // before is the folder's time from before it began.
    static void noteWritten(const QString& path, const Time& before);
    static void noteRemoved(const QString& path, const Time& before);

    // The path of the existing file for list name, or an empty string.
    QString find(const QString& name) const;
    bool contains(const QString& name) const;
    // Whether a line of the index, as its bytes stand there, names a listed file.
    bool containsLine(const char* line, qsizetype length) const;
    // The path list name's file has or would have: find(), else an entry of
    // that name in any letter case that is not an ordinary file (which a
    // writer then refuses), else the spelled path.
    QString resolve(const QString& name) const;
    // Reads list name's file (at most kMaxListFileBytes).
    ReadResult read(const QString& name) const;

private:
    ListFolder() = default;
    static ListFolder& kept();
    void list(const QString& folder);
    void addFile(std::string_view key, std::string_view file);
    // The file name of path, with its key folded into key_, when path is a
    // list file of the folder listed; an empty array otherwise.
    QByteArray keyOfListFile(const QString& path) const;
    static std::string fileOf(std::string_view key, std::string_view file);
    // The existing file's name (UTF-8), or an empty string.
    std::string fileFor(const QString& name, std::string_view key) const;

    QString folder_;
    // Each listed list name in small letters (UTF-8) -> its file's name, or ""
    // where that is the key + ".txt", the usual case.
    FoldedNames files_;
    FoldedNames others_;                       // "<name>.txt" entries that are no ordinary file
    std::unordered_set<std::string> variants_; // files that differ from a chosen one only in case
    Time time_;
    quint64 generation_ = 0;
    mutable std::string key_; // room to fold a name in, without an allocation each time
    int folderFd_ = -1;       // the folder, open since it was listed
};

// The path of list name's file: the existing file matching it regardless of
// case, or listFilePath(name) when none exists.
QString resolveListFile(const QString& name);

struct ListFileRead {
    FileStatus status;
    QByteArray bytes; // when Ok
};
ListFileRead readListFile(const QString& path);

// A list file's lines as the editor shows them: in small letters, each
// followed by CR LF.
QString editorText(const QByteArray& listFile);

// The editor's text as the list file's bytes, in one pass: each non-empty
// line once, in small letters, followed by CR LF; line feeds and empty lines
// dropped; a last word without a line break kept.
QByteArray listFileBytes(const QString& editorText);

} // namespace store

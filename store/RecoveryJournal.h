#pragma once
// The recovery journal: the words of the list being edited, kept from their
// first unsaved change until they are saved or given up, outside Kestrel's
// folder in the user's own data folder, so that they can be offered back
// when the program ended without saving them (killed, the power gone, the
// desktop session ended). Kestrel never sees it.
//
// One journal file per open list per Kestrel folder, in
// <data folder>/quillbox/journals, named after a digest of the two (and a
// number, when that name is taken). It holds a short header (the Kestrel
// folder, the list's name, the length and digest of the words), the words
// as they were when it was last written whole (Windows-1252, "\n" between
// lines), and after them the changes made since, each with a digest of its
// own, so that a change torn by a crash is known and left out.
//
// Everything on disk happens on a thread of the journal's own. The main
// thread hands over each change of the editor's text as it is made, which
// costs no more than the change: the thread keeps a copy of the text of its
// own and follows it. A journal is written within kDelayMilliseconds of the
// first change not yet on disk: the changes added at its end and synced,
// and now and then (when they outgrow the words) the whole file made anew.
//
// A QLockFile beside each journal tells that a running copy of the program
// owns it. A journal that a copy left when it ended is never written over
// nor removed until its words have been offered and answered: a copy that
// needs a journal for the same list takes the next free name. The journals
// and their locks are never opened through a link, and a journal read back
// is checked as any file from outside: its list's name as an imported one,
// its words as the editor's.

#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace store {

// The largest journal read back: a list file of 16 MB and its changes.
constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;

// <data folder>/quillbox/journals
QString journalFolder();

// A journal that a copy of the program left when it ended, held (locked) by
// this copy while it decides what becomes of it.
struct LeftJournal {
    QString path;
    QString kestrelFolder;
    QString listName;
    QString text; // the words, CR LF between lines
    std::unique_ptr<QLockFile> lock;

    // Removes the journal: its words are given up.
    void discard();
};

class RecoveryJournal {
public:
    static constexpr int kDelayMilliseconds = 800;

    RecoveryJournal();
    // The journal stays on disk as it is: the program may be ending from
    // outside. A write in progress is finished, nothing more.
    ~RecoveryJournal();
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;

    // The editor's text as it changes: replaced whole (CR LF or "\n"
    // between lines), or the removed characters from position on replaced by
    // added (positions and line breaks as the editor's Edit gives them). Only
    // the change is handed over; nothing waits.
    void setText(const QString& text);
    void edit(int position, int removed, const QString& added);

    // Whose words the text holds, and whether they are unsaved. While they
    // are, the journal of that list of that Kestrel folder keeps them; once
    // they are not (saved, given up, another list), the journal goes.
    void follow(const QString& kestrelFolder, const QString& listName, bool unsaved);
    // Takes over a journal left behind, whose words the text holds now: it
    // is this copy's journal, and is not written again until they change.
    void adopt(LeftJournal&& left);

    // Writes at once what is not on disk yet, and waits for it at most
    // timeout milliseconds: true once the unsaved words are on disk (or
    // there are none).
    bool flush(int timeoutMilliseconds);
    // Waits until the journal's thread has taken what it was handed, writing
    // only what is due: for a look at the files.
    void settle() const;

    // Called, on the journal's thread, each time that keeping the words
    // starts failing (false) or works again (true).
    void onKept(std::function<void(bool kept)> kept);
    // The folder the journals go in, for a message.
    static QString folder();
    // The file that holds the words now; empty while there is none.
    QString path() const;

    // What the journal at path holds, checked as leftBehind checks it (not
    // locked): false when it is none that could be offered.
    static bool read(const QString& path, LeftJournal& journal);
    // The journals of the Kestrel folder that copies of the program left
    // when they ended, each locked for this copy. Those of a copy still
    // running, and those that are damaged, too large, not ordinary files, or
    // whose name or words could not be a list's, are passed over and left as
    // they are.
    static std::vector<LeftJournal> leftBehind(const QString& kestrelFolder);
    // Removes the temporary files that a journal's writing left when the
    // program was killed: the program's own only.
    static void removeLeftovers();

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

} // namespace store

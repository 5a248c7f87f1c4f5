#pragma once
// The recovery journal: the words of the list being edited, kept from their
// first unsaved change until they are saved or given up, outside Kestrel's
// folder in the user's own data folder, so that they can be offered back
// when the program ended without saving them (killed, the power gone, the
// desktop session ended). Kestrel never sees it.
//
// One journal file per open list per Kestrel folder, in
// <data folder>/quillbox/journals, named after a digest of the two. It holds
// a short header (the Kestrel folder, the list's name, a digest of the words)
// and the words in UTF-8, and is replaced whole and durably, by a thread of
// its own, so that no keystroke waits for the disk. A QLockFile beside it
// tells that a running copy of the program owns it: the journal of a copy
// still running is never offered nor touched by another.

#include <QLockFile>
#include <QString>

#include <memory>
#include <vector>

namespace store {

// The largest journal read back: a list file of 16 MB in UTF-8, with room.
constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;

// <data folder>/quillbox/journals
QString journalFolder();

// A journal that a copy of the program left when it ended, held (locked) by
// this copy while it decides what becomes of it.
struct LeftJournal {
    QString path;
    QString kestrelFolder;
    QString listName;
    QString text; // the editor's text, CR LF line breaks
    std::unique_ptr<QLockFile> lock;

    // Removes the journal: its words are given up.
    void discard();
};

class RecoveryJournal {
public:
    RecoveryJournal();
    // The journal stays on disk: the program may be ending from outside.
    ~RecoveryJournal();
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;

    // From now on the journal keeps the words of list name of the Kestrel
    // folder; the journal kept before is removed. False when no journal can
    // be made (no data folder that takes files).
    bool open(const QString& kestrelFolder, const QString& listName);
    // Takes over a journal left behind: this copy's journal now.
    void adopt(LeftJournal&& left);
    bool isOpen() const;
    QString kestrelFolder() const;
    QString listName() const;
    QString path() const;

    // Newer words to keep: written in the background, durably.
    void keep(const QString& text);
    // Waits until the words last handed over are on disk; false when they
    // could not be written.
    bool flush();
    // Removes the journal and its lock: the words were saved or given up.
    void discard();

    // The journals of the Kestrel folder that copies of the program left
    // when they ended, each locked for this copy. Those of a copy still
    // running, and those that are damaged, too large or not ordinary files,
    // are passed over and left as they are.
    static std::vector<LeftJournal> leftBehind(const QString& kestrelFolder);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

} // namespace store

#pragma once
// Nothing the user typed is lost when the program ends without saving: the
// words of the list being edited go to the recovery journal (store/
// RecoveryJournal.h) within a second of each change while they are unsaved,
// and are offered back at the next start. The journal goes once the words
// are saved, or given up: another list opened or started, the list deleted,
// the program ended by the user with nothing unsaved. Words that stay in the
// editor unsaved (No to the unsaved-changes question of Export, Import, or of
// an Open left with Never Mind) keep their journal. When no journal can be
// kept, the user is told so once, and again only after one could be kept.

#include "store/RecoveryJournal.h"

#include <QObject>

namespace ui {
class MainWindow;
}

namespace commands {

class Recovery {
public:
    // How long after a change its words are in the journal at the most, but
    // for the time it takes to write them.
    static constexpr int kDelayMilliseconds = store::RecoveryJournal::kDelayMilliseconds;
    // How long the end of the program waits for the disk at the most.
    static constexpr int kEndMilliseconds = 2000;

    explicit Recovery(ui::MainWindow& main);

    // The editor's text changed: the change goes to the journal.
    void textChanged();
    // A command ended, or the text changed: the journal follows the words
    // that are unsaved now.
    void update();
    // The program is being ended from outside: the journal is brought up to
    // date at once; true once it is on disk.
    bool bringUpToDate();
    // The user ends the program: the words are saved or given up.
    void discard();
    // At start-up: for each journal that a copy of the program left unsaved
    // and whose words differ from their list's file, asks whether to bring
    // them back; Yes opens that list with them (changed, nothing written to
    // Kestrel's folder) and asks no more: the others are offered at a later
    // start.
    void offer();

    const store::RecoveryJournal& journal() const { return journal_; }

private:
    void follow(bool unsaved);
    void kept(bool kept);

    ui::MainWindow& main_;
    QObject context_; // where the journal's thread tells the main thread
    bool restoring_ = false;
    bool told_ = false;
    struct Followed {
        QString kestrelFolder, listName;
        bool unsaved = false;
    } followed_;
    store::RecoveryJournal journal_; // last: its thread ends before the rest goes
};

} // namespace commands

#pragma once
// Nothing the user typed is lost when the program ends without saving: the
// words of the list being edited go to the recovery journal (store/
// RecoveryJournal.h) within a second of each change while they are unsaved,
// and are offered back at the next start. The journal goes once the words
// are saved, or given up: another list opened or started, the list deleted,
// the program ended by the user with nothing unsaved. Words that stay in the
// editor unsaved (No to the unsaved-changes question of Export, Import, or of
// an Open left with Never Mind) keep their journal.

#include "store/RecoveryJournal.h"

#include <QTimer>

namespace ui {
class MainWindow;
}

namespace commands {

class Recovery {
public:
    // How long after a change its words are in the journal at the most, but
    // for the time it takes to write them.
    static constexpr int kDelayMilliseconds = 800;

    explicit Recovery(ui::MainWindow& main);

    // The editor's text changed, or a command ended: the journal follows the
    // words that are unsaved now.
    void update();
    // The program is being ended from outside: the journal is brought up to
    // date at once, and true once it is on disk.
    bool bringUpToDate();
    // The user ends the program: the words are saved or given up.
    void discard();
    // At start-up: for each journal that a copy of the program left unsaved
    // and whose words differ from their list's file, asks whether to bring
    // them back; Yes opens that list with them (changed, nothing written to
    // Kestrel's folder) and asks no more.
    void offer();

    const store::RecoveryJournal& journal() const { return journal_; }

private:
    void keepNow();

    ui::MainWindow& main_;
    store::RecoveryJournal journal_;
    QTimer timer_;
};

} // namespace commands

#pragma once
// The program started on an installation and driven by a script of what a
// user does. Steps are separated by ";", the words of a step by ",":
//
//   <Command>,<answer>,...   a menu command, and the answers to the dialogs it
//                            shows, in order. Commands: New Open Save SaveAs
//                            Import Export Delete Exit Undo Redo Cut Copy Paste,
//                            and Close (the main window's close box).
//   type,<text>              keys typed into the editor, at the end of its text
//   press,<key>              one key into the editor ("Delete", "Alt+1"), at its end
//   select,<start>,<length>  a selection in the editor, where the next type or
//                            press then acts
//   text,<file>              the editor's text replaced by a file's text (a
//                            path in the installation's folder), the list
//                            changed: a long text, as if typed
//   file,<name>,<lines>      a file written meanwhile by another program ("-"
//                            removes it); names and lines as in KestrelFixture.h
//   lock,<name> unlock,<name>  a file made immutable (chattr +i), and mutable again
//   hold release             another copy of the program holding the index's lock
//   wait                     a pause, long enough for the file system's clock to move on
//   journal                  the words in the recovery journal, as a second after a change
//   restart,<answer>,...     the program killed, and started again: the answers go to the
//                            dialogs shown after the password
//   copy,<list>,<lines>      a journal of the list's words kept by another copy, still running
//   left,<list>,<lines>[,<folder>]  the same, left by a copy that ended (of another
//                            Kestrel folder)
//   sessionEnds              the program ended from outside (a signal, the session's end)
//   serve                    the event loop, run until something ends the program
//
// Answers: yes, no (the two-button questions), new, edit (frmNewSure),
// replace, skip, rename (frmDuplicate; "rename+skip" presses one after the
// other while it stays open; "all+skip" first checks the box that makes the
// answer stand for the rest of the import), cancel (Cancel or Never Mind), close
// (the close box), ok (OK with no row chosen), @<file> (a file dialog's
// answer, a path in the installation's folder; "@" alone cancels). Any other
// answer is typed into a name dialog ("abc~de": "de" committed by an input
// method) followed by OK, or names the rows to
// choose in a list dialog ("animals+fruit"), followed by its OK.

#include "ScriptedPlatform.h"

#include "store/RecoveryJournal.h"

#include <QLockFile>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class frmMain;

class Program {
public:
    // root holds config/ (the registry file) and kestrel/.
    explicit Program(const QString& root);
    ~Program();

    // Start-up with the right password; nullopt when it ended the program.
    // The answers, then, go to the dialogs start-up shows after the password.
    std::optional<int> start(const QStringList& answers = {});
    // Runs the steps; the exit code when one of them ended the program. A
    // script that does not fit what the program showed stops, and state()
    // then says why.
    std::optional<int> run(const QString& script);
    frmMain& main();
    // "<current list> / <label> / <editor text, line breaks as |, or (hidden)>
    //  / <changed or unchanged> / <editing or no list: the commands that need a list>"
    QString state();

    ScriptedPlatform platform;

private:
    void queue(const QString& answer);
    void step(const QStringList& words);
    QString root_;
    bool selected_ = false;
    std::unique_ptr<QLockFile> heldIndex_;
    std::vector<std::unique_ptr<store::RecoveryJournal>> otherCopies_;
    QString error_;
};

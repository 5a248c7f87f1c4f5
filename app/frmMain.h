#pragma once
// The main window: the editor with the current list's words, the list's name
// above it, the instructions on its left, and the menus that lead to every
// command. The work of each command lives with the subsystem that owns it;
// the handlers here are a few lines that call it.

#include "commands/Recovery.h"
#include "editing/UndoHistory.h"
#include "ui/MainWindow.h"

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QMenu;

class frmMain : public QMainWindow, public ui::MainWindow {
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // Start-up: installation lookup, password, list index, instructions, and
    // the state with no list open. Run once, before the window is shown.
    void Form_Load();
    // The close box: asks about unsaved changes as File > Exit does. Cancel
    // is set when the program must not end: the save the user asked for
    // failed, and the words are still unsaved.
    void Form_QueryUnload(bool& Cancel);
    // The main window is being unloaded: ends the program at once. The
    // words were saved or given up, so their recovery journal goes.
    void Form_Unload();
    // The program is ended from outside (the desktop session ends, a
    // signal): the unsaved words go to the recovery journal, then the end.
    void sessionEnds();
    commands::Recovery& recovery() { return recovery_; }

    bool txtEditor_GetEntries(QString& Category) override;
    // Saves the editor's words as the current list: the index file first
    // (with the name added in small letters if it is new), then the list
    // file; reloads the index, clears the Changed flag, restarts the undo
    // history. When a file cannot be written, or a new name would go beyond
    // the 10000 lists the index can hold, says so and returns false, with the
    // editor's words and the Changed flag as they were.
    bool txtEditor_SaveEntries() override;
    void txtEditor_ResetUndo() override;

    // Menu states.
    void mnuEnable_All() override;
    void mnuDisable_EditSave() override;

    // The editor.
    void txtEditor_KeyPress(int& KeyAscii);
    void txtEditor_Change();

    // Menu commands.
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuImport_Click();
    void mnuExport_Click();
    void mnuExit_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDeleteList_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

    // Menus and their items.
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuDashes = nullptr;
    QAction* mnuImport = nullptr;
    QAction* mnuExport = nullptr;
    QAction* mnuDahes3 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuDashes2 = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuDashes4 = nullptr;
    QAction* mnuDeleteList = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpAbout = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The editor's words as the list file's bytes.
    QByteArray txtEditor_WriteWords() const;
    void txtEditor_RecordUndo();
    void txtEditor_Undo();
    void showStep(const editing::UndoHistory::Move& move);
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& caption, const QString& shortcut, bool enabled,
                     void (frmMain::*handler)());

    QString clipText;
    editing::UndoHistory undo_;
    commands::Recovery recovery_{*this};
    // True while Undo or Redo replaces the text, so the change is not recorded.
    bool restoringStep = false;
};

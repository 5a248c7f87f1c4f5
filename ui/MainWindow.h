#pragma once
// What the other windows use of the main window: its dialog answers, its
// editor and labels, the file dialog of Import, and the procedures they call.
// frmMain implements it; the dialogs reach it through mainWindow().

#include "ui/CommonDialog.h"

#include <QString>

class QLabel;

namespace ui {

class MultiLineTextBox;

class MainWindow {
public:
    MainWindow();
    virtual ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Answers of dialogs.
    bool YesImSure = false;
    bool userCanceled = false;

    QLabel* lblVisibleHelp = nullptr;
    QLabel* lblCategoryLabel = nullptr;
    MultiLineTextBox* txtEditor = nullptr;
    CommonDialog cd1; // the file choice of Import

    // Loads the list named Category into the editor and shows the editing
    // state. When the list file cannot be read, says so and returns false
    // with the editor as it was.
    virtual bool txtEditor_GetEntries(QString& Category) = 0;
    // Saves the editor's words as the current list; false, after saying why,
    // when the list was not saved.
    virtual bool txtEditor_SaveEntries() = 0;
    // Restarts the undo history from the editor's present text.
    virtual void txtEditor_ResetUndo() = 0;
    virtual void mnuEnable_All() = 0;
    virtual void mnuDisable_EditSave() = 0;

    // The window's two states. With no list open: no list name, the editor
    // empty and hidden, the welcome instructions, the commands that need a
    // list disabled. Editing: the editor shown beside the editing
    // instructions, every command enabled.
    void showNoList();
    void showEditing();
};

// The main window of the run.
MainWindow& mainWindow();

} // namespace ui

#pragma once
// The File and Edit menu commands that create, open, save, rename and delete
// lists. The main window's handlers call these.

namespace ui {
class MainWindow;
}

namespace commands {

// The unsaved-changes prompt as New, Open, Export and Import ask it: when the
// list has unsaved changes, Yes saves it (and restarts the undo history).
// False when the save was refused: the command then stops, so the unsaved
// words are not lost.
bool offerToSave(ui::MainWindow& main);

void newList(ui::MainWindow& main);
void openList(ui::MainWindow& main);
void saveList(ui::MainWindow& main);
void saveListAs(ui::MainWindow& main);
// Offers to save unsaved changes as File > Exit does: false when the user
// asked for a save that failed, so the program must go on.
bool mayEnd(ui::MainWindow& main);
void deleteList(ui::MainWindow& main);

} // namespace commands

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
bool OfferToSave(ui::MainWindow& main);

void NewList(ui::MainWindow& main);
void OpenList(ui::MainWindow& main);
void SaveList(ui::MainWindow& main);
void SaveListAs(ui::MainWindow& main);
// Offers to save unsaved changes, then ends the program (unless the save was
// refused).
void ExitProgram(ui::MainWindow& main);
void DeleteList(ui::MainWindow& main);

} // namespace commands

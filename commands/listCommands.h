#pragma once
// The File and Edit menu commands that create, open, save, rename and delete
// lists. The main window's handlers call these.

class frmMain;

namespace commands {

// The unsaved-changes prompt as New, Open, Export and Import ask it: when the
// list has unsaved changes, Yes saves it (and restarts the undo history).
// False when the save was refused: the command then stops, so the unsaved
// words are not lost.
bool OfferToSave(frmMain& main);

void NewList(frmMain& main);
void OpenList(frmMain& main);
void SaveList(frmMain& main);
void SaveListAs(frmMain& main);
// Offers to save unsaved changes, then ends the program (unless the save was
// refused).
void ExitProgram(frmMain& main);
void DeleteList(frmMain& main);

} // namespace commands

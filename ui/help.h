#pragma once
// Help > Contents: the help file in the program's own folder, shown at a
// topic by the system's help. On Windows that is HTML Help (hhctrl.ocx);
// elsewhere the program's own help viewer (ui/HelpViewer.h), which reads the
// file through chmlib.

#include <QString>

namespace ui {

inline const QString kHelpFileName = QStringLiteral("Quillbox.chm");
inline const QString kFirstHelpTopic = QStringLiteral("Introducing Quillbox.htm");

// The program's own folder, where its help file is installed. A test may set
// another; an empty folder restores the program's own.
QString programFolder();
void setProgramFolder(const QString& folder);

// Shows topic of the help file at helpFile. False, with nothing shown, when
// the help library cannot be loaded, or on Windows when HTML Help opens no
// window for the file (missing or damaged); elsewhere a missing or damaged
// file is the viewer's own to report.
bool showHelpTopic(const QString& helpFile, const QString& topic);

} // namespace ui

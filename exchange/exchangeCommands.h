#pragma once
// File > Export Word Lists and File > Import Word Lists.

#include <QString>

namespace ui {
class MainWindow;
}

namespace exchange {
void exportLists(ui::MainWindow& main);
void importLists(ui::MainWindow& main);
} // namespace exchange

namespace globals {
// Imports every list of the exchange file at FileName: new names are added
// to the index, a name the index holds is replaced, renamed or skipped as the
// user chooses in frmDuplicate. The index file is rewritten once, at the end.
void ImportCategories(QString& FileName);
} // namespace globals

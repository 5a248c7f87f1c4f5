#pragma once
// The platform's open-file and save-file dialogs, as the program's forms use
// them: set DialogTitle, Filter ("text|pattern") and FileName, call ShowOpen
// or ShowSave, then read FileName: the chosen file's full path, or an empty
// string when the user cancelled.

#include <QString>

namespace ui {

class CommonDialog {
public:
    QString DialogTitle;
    QString Filter;
    QString FileName;

    void ShowOpen();
    void ShowSave();
};

} // namespace ui

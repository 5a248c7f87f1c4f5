#include "commands/frmAreYouSure.h"

#include "core/globals.h"
#include "ui/MainWindow.h"

frmAreYouSure::frmAreYouSure()
    : ui::QuestionDialog(
          QStringLiteral("Confirm"), 2400, 975, 1560,
          QStringLiteral("has been changed since it was last saved.  Save it now?")) {}

QString frmAreYouSure::question() const {
    return QStringLiteral("'%1' has been changed since it was last saved.  Save it now?")
        .arg(globals::CurrentCategory);
}

void frmAreYouSure::yes() {
    ui::mainWindow().YesImSure = true;
}

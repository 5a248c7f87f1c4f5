#include "commands/frmAreYouSure.h"

#include "core/globals.h"
#include "ui/Forms.h"
#include "ui/MainWindow.h"
#include "ui/look.h"

#include <QPushButton>

frmAreYouSure::frmAreYouSure() : ui::Dialog(QStringLiteral("Confirm"), 6000, 2400, CloseBox::None) {
    Label1 = addLabel(QStringLiteral("has been changed since it was last saved.  Save it now?"),
                      240, 240, 5520, 975);
    cmdYes = addButton(QStringLiteral("Yes"), 1200, 1560, 1335, 495);
    cmdNo = addButton(QStringLiteral("No"), 3360, 1560, 1335, 495);
    connect(cmdYes, &QPushButton::clicked, this, [this] { cmdYes_Click(); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { cmdNo_Click(); });
    cmdYes->setFocus();
}

void frmAreYouSure::Form_Activate() {
    ui::setCaption(Label1,
                   QStringLiteral("'%1' has been changed since it was last saved.  Save it now?")
                       .arg(globals::CurrentCategory));
    cmdYes->setFocus();
}

void frmAreYouSure::cmdYes_Click() {
    ui::mainWindow().YesImSure = true;
    hide();
}

void frmAreYouSure::cmdNo_Click() {
    hide();
}

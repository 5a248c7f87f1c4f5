#include "commands/frmReplaceReally.h"

#include "commands/frmSaveAs.h"
#include "core/globals.h"
#include "ui/Forms.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"

#include <QPushButton>

frmReplaceReally::frmReplaceReally()
    : ui::Dialog(QStringLiteral("Confirm Category Replacement"), 6000, 3600, CloseBox::None) {
    Label1 = addLabel(QStringLiteral("replacement confirmation"), 240, 240, 5520, 2175);
    cmdYes = addButton(QStringLiteral("Yes"), 1200, 2760, 1335, 495);
    cmdNo = addButton(QStringLiteral("No"), 3360, 2760, 1335, 495);
    connect(cmdYes, &QPushButton::clicked, this, [this] { cmdYes_Click(); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { cmdNo_Click(); });
    cmdYes->setFocus();
}

void frmReplaceReally::Form_Activate() {
    ui::setCaption(Label1, QStringLiteral("Sorry, but \r\r    %1\r\r is already a category.\rDo "
                                          "you want to replace it?")
                               .arg(ui::Forms::get<frmSaveAs>().txtName->Text()));
    cmdYes->setFocus();
}

void frmReplaceReally::cmdYes_Click() {
    globals::replaceConfirmed = true;
    hide();
}

void frmReplaceReally::cmdNo_Click() {
    hide();
}

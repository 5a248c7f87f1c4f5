#include "commands/frmReplaceReally.h"

#include "app/globals.h"
#include "commands/frmSaveAs.h"
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
    const QString cr = QStringLiteral("\r");
    ui::SetCaption(Label1, QStringLiteral("Sorry, but ") + cr + cr + QStringLiteral("    ") +
                               ui::Forms::get<frmSaveAs>().txtName->Text() + cr + cr +
                               QStringLiteral(" is already a category.") + cr +
                               QStringLiteral("Do you want to replace it?"));
    cmdYes->setFocus();
}

void frmReplaceReally::cmdYes_Click() {
    globals::replaceConfirmed = true;
    hide();
}

void frmReplaceReally::cmdNo_Click() {
    hide();
}

#include "exchange/frmRename.h"

#include "app/globals.h"
#include "editing/keyFilters.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"

#include <QPushButton>

frmRename::frmRename()
    : ui::Dialog(QStringLiteral("Rename a category"), 7200, 3000, CloseBox::None) {
    txtName = new ui::SingleLineTextBox(this);
    ui::PlaceTwips(txtName, 240, 1320, 6720, 435);
    txtName->KeyPress = [this](int& KeyAscii) { txtName_KeyPress(KeyAscii); };
    cmdOK = addButton(QStringLiteral("OK"), 1560, 2160, 1455, 495);
    cmdCancel = addButton(QStringLiteral("Cancel"), 4200, 2160, 1455, 495);
    // The run of spaces makes the label break between the two sentences.
    lblDir1 =
        addLabel(QStringLiteral("Give a new name to the imported category.") + QString(84, u' ') +
                     QStringLiteral("Only 15 letters, please. No punctuation, please."),
                 240, 240, 6720, 975);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmRename::Form_Activate() {
    txtName->setText(QString());
    txtName->SetFocus();
}

void frmRename::txtName_KeyPress(int& KeyAscii) {
    editing::NameBoxKeyPress(*txtName, KeyAscii, [this] { cmdOK_Click(); });
}

void frmRename::cmdOK_Click() {
    globals::renameConfirmed = true;
    hide();
}

void frmRename::cmdCancel_Click() {
    hide();
}

#include "commands/NameDialog.h"

#include "editing/keyFilters.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"

#include <QPushButton>

namespace commands {

using ui::placeTwips;

NameDialog::NameDialog(const QString& title, const QString& firstSentence, int spaces,
                       const QString& secondSentence)
    : ui::Dialog(title, 7200, 3000, CloseBox::None) {
    // Made in tab order: the name box has the focus when the dialog opens.
    txtName = new ui::SingleLineTextBox(this);
    placeTwips(txtName, 240, 1320, 6720, 435);
    txtName->KeyPress = [this](int& KeyAscii) { txtName_KeyPress(KeyAscii); };
    cmdOK = addButton(QStringLiteral("OK"), 1560, 2160, 1455, 495);
    cmdCancel = addButton(QStringLiteral("Cancel"), 4200, 2160, 1455, 495);
    prompt = addLabel(firstSentence + QString(spaces, u' ') + secondSentence, 240, 240, 6720, 975);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    txtName->setFocus();
}

void NameDialog::txtName_KeyPress(int& KeyAscii) {
    editing::nameBoxKeyPress(*txtName, KeyAscii, [this] { cmdOK_Click(); });
}

} // namespace commands

#include "commands/frmAddCategory.h"

#include "app/globals.h"
#include "commands/frmNewSure.h"
#include "editing/keyFilters.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QPushButton>

frmAddCategory::frmAddCategory()
    : ui::Dialog(QStringLiteral("Add a category"), 7200, 3000, CloseBox::None) {
    txtName = new ui::SingleLineTextBox(this);
    ui::PlaceTwips(txtName, 240, 1320, 6720, 435);
    txtName->KeyPress = [this](int& KeyAscii) { txtName_KeyPress(KeyAscii); };
    cmdOK = addButton(QStringLiteral("OK"), 1560, 2160, 1455, 495);
    cmdCancel = addButton(QStringLiteral("Cancel"), 4200, 2160, 1455, 495);
    // The run of spaces makes the label break between the two sentences.
    lblDir1 = addLabel(QStringLiteral("Type the name for your new category.") + QString(94, u' ') +
                           QStringLiteral("Only 15 letters, please. No punctuation, please."),
                       240, 240, 6720, 975);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    txtName->setFocus();
}

void frmAddCategory::txtName_KeyPress(int& KeyAscii) {
    editing::NameBoxKeyPress(*txtName, KeyAscii, [this] { cmdOK_Click(); });
}

void frmAddCategory::cmdOK_Click() {
    if (txtName->Text().size() >= editing::kMinNameLength) {
        if (globals::FindListName(txtName->Text(), globals::ListNames, globals::ListCount) > 0) {
            frmNewSure& sure = ui::Forms::get<frmNewSure>();
            ui::ShowModal(sure);
            if (sure.choice == frmNewSure::Choice::Unreadable) {
                // The list's words could not be read: no list is started, so
                // the editor's words never go under this name.
                txtName->setText(QString());
                hide();
                return;
            }
        }
        globals::CurrentCategory = txtName->Text();
    }
    hide();
}

void frmAddCategory::cmdCancel_Click() {
    txtName->setText(QString());
    hide();
}

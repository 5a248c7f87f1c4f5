#include "commands/frmSaveAs.h"

#include "app/globals.h"
#include "commands/frmReplaceReally.h"
#include "editing/keyFilters.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/SingleLineTextBox.h"
#include "ui/frmMain.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QLabel>
#include <QPushButton>

frmSaveAs::frmSaveAs()
    : ui::Dialog(QStringLiteral("Save as a New Category"), 7200, 3000, CloseBox::None) {
    // The run of spaces makes the label break between the two sentences.
    Label1 = addLabel(QStringLiteral("Type the new category name.") + QString(110, u' ') +
                          QStringLiteral("Only 15 letters, please.  Please, no punctuation."),
                      240, 240, 6720, 975);
    txtName = new ui::SingleLineTextBox(this);
    ui::PlaceTwips(txtName, 240, 1320, 6720, 435);
    txtName->KeyPress = [this](int& KeyAscii) { txtName_KeyPress(KeyAscii); };
    cmdOK = addButton(QStringLiteral("OK"), 1560, 2160, 1455, 495);
    cmdCancel = addButton(QStringLiteral("Cancel"), 4200, 2160, 1455, 495);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmSaveAs::Form_Activate() {
    txtName->setText(QString());
    txtName->SetFocus();
}

void frmSaveAs::txtName_KeyPress(int& KeyAscii) {
    editing::NameBoxKeyPress(*txtName, KeyAscii, [this] { cmdOK_Click(); });
}

void frmSaveAs::cmdOK_Click() {
    const QString name = txtName->Text();
    if (name.size() < editing::kMinNameLength) {
        hide();
        return;
    }
    if (globals::FindListName(name, globals::ListNames, globals::ListCount) > 0) {
        globals::replaceConfirmed = false;
        ui::ShowModal(ui::Forms::get<frmReplaceReally>());
        if (!globals::replaceConfirmed) {
            hide();
            return;
        }
    }
    frmMain& main = ui::Forms::get<frmMain>();
    const QString previous = globals::CurrentCategory;
    globals::CurrentCategory = name;
    if (!main.txtEditor_SaveEntries()) {
        globals::CurrentCategory = previous;
        hide();
        return;
    }
    ui::SetCaption(main.lblCategoryLabel, QStringLiteral("category: ") + name);
    hide();
}

void frmSaveAs::cmdCancel_Click() {
    hide();
}

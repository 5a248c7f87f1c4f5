#include "exchange/frmDuplicate.h"

#include "core/globals.h"
#include "editing/keyFilters.h"
#include "exchange/frmRename.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QCheckBox>
#include <QPushButton>

frmDuplicate::frmDuplicate()
    : ui::Dialog(QStringLiteral("Dpulicate category -- replace, rename or skip?"), 7680, 4920,
                 CloseBox::None) {
    cmdReplace = addButton(QStringLiteral("Replace"), 600, 3600, 1695, 495);
    cmdRename = addButton(QStringLiteral("Rename"), 2990, 3600, 1695, 495);
    cmdSkip = addButton(QStringLiteral("Skip"), 5380, 3600, 1695, 495);
    chkForTheRest = new QCheckBox(QStringLiteral("Do the same for the rest of this file"), this);
    ui::placeTwips(chkForTheRest, 600, 4260, 6480, 375);
    lblDir1 = addLabel(QString(), 240, 240, 7200, 3135);
    connect(cmdReplace, &QPushButton::clicked, this, [this] { cmdReplace_Click(); });
    connect(cmdRename, &QPushButton::clicked, this, [this] { cmdRename_Click(); });
    connect(cmdSkip, &QPushButton::clicked, this, [this] { cmdSkip_Click(); });
}

void frmDuplicate::Form_Activate() {
    answer_ = Answer::None;
    ui::setCaption(lblDir1,
                   QStringLiteral("Unfortunately,\r\r%1\r\ris already a category. What would you "
                                  "like to do?\r\r*  Replace the old category with the imported "
                                  "category\r*  Give the imported category a new name\r*  Just "
                                  "skip the imported category.")
                       .arg(globals::importCategory));
    cmdReplace->setFocus();
}

bool frmDuplicate::forTheRest() const {
    return chkForTheRest->isChecked();
}

void frmDuplicate::startImport() {
    chkForTheRest->setChecked(false);
}

void frmDuplicate::cmdReplace_Click() {
    globals::skipCategory = false;
    answer_ = Answer::Replace;
    hide();
}

void frmDuplicate::cmdSkip_Click() {
    answer_ = Answer::Skip;
    hide();
}

bool frmDuplicate::askNewName() {
    globals::renameConfirmed = false;
    frmRename& rename = ui::Forms::get<frmRename>();
    ui::ShowModal(rename);
    // Cancel, a name too short or one that is taken: not taken.
    if (!globals::renameConfirmed)
        return false;
    const QString name = rename.txtName->Text();
    if (name.size() < editing::kMinNameLength ||
        globals::FindListName(name, globals::ListNames, globals::ListCount) > 0)
        return false;
    globals::importCategory = name;
    return true;
}

void frmDuplicate::cmdRename_Click() {
    // Cancel, a name too short or one that is taken: the question stays open.
    if (!askNewName())
        return;
    globals::skipCategory = false;
    answer_ = Answer::Rename;
    hide();
}

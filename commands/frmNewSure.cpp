#include "commands/frmNewSure.h"

#include "app/globals.h"
#include "commands/frmAddCategory.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"
#include "ui/frmMain.h"
#include "ui/look.h"

#include <QPushButton>

namespace {
// The name as typed in frmAddCategory.
QString typedName() {
    return ui::Forms::get<frmAddCategory>().txtName->Text();
}
} // namespace

frmNewSure::frmNewSure()
    : ui::Dialog(QStringLiteral("Create New or Edit Current?"), 6600, 2880, CloseBox::None) {
    cmdNew = addButton(QStringLiteral("new version"), 960, 2040, 2055, 495);
    cmdEdit = addButton(QStringLiteral("edit current"), 3600, 2040, 2055, 495);
    Label1 = addLabel(QString(), 240, 240, 6120, 1455);
    connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] { cmdEdit_Click(); });
    cmdNew->setFocus();
}

void frmNewSure::Form_Activate() {
    choice = Choice::None;
    ui::SetCaption(Label1, QStringLiteral("'") + typedName() +
                               QStringLiteral("' is already a category.") + QStringLiteral("\r") +
                               QStringLiteral("Do you want to make a new version ") +
                               QStringLiteral("or edit the current one?"));
    cmdNew->setFocus();
}

void frmNewSure::showEditor() {
    frmMain& main = ui::Forms::get<frmMain>();
    main.txtEditor->setVisible(true);
    ui::SetCaption(main.lblVisibleHelp, globals::HelpText[2]);
    main.mnuEnable_All();
}

void frmNewSure::cmdNew_Click() {
    choice = Choice::NewVersion;
    ui::Forms::get<frmMain>().txtEditor->setText(QString());
    showEditor();
    hide();
}

void frmNewSure::cmdEdit_Click() {
    QString name = typedName();
    if (!ui::Forms::get<frmMain>().txtEditor_GetEntries(name)) {
        choice = Choice::Unreadable;
        hide();
        return;
    }
    choice = Choice::EditCurrent;
    showEditor();
    hide();
}

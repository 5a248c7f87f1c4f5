#include "commands/frmNewSure.h"

#include "core/globals.h"
#include "ui/MainWindow.h"
#include "ui/MultiLineTextBox.h"
#include "ui/look.h"

#include <QPushButton>

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
    ui::setCaption(Label1, QStringLiteral("'%1' is already a category.\rDo you want to make a new "
                                          "version or edit the current one?")
                               .arg(name_));
    cmdNew->setFocus();
}

void frmNewSure::cmdNew_Click() {
    choice = Choice::NewVersion;
    ui::mainWindow().txtEditor->setText(QString());
    ui::mainWindow().showEditing();
    hide();
}

void frmNewSure::cmdEdit_Click() {
    QString name = name_;
    if (!ui::mainWindow().txtEditor_GetEntries(name)) {
        choice = Choice::Unreadable;
        hide();
        return;
    }
    choice = Choice::EditCurrent;
    ui::mainWindow().showEditing();
    hide();
}

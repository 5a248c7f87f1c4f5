#include "ui/frmAbout.h"

#include "ui/look.h"

#include <QLabel>
#include <QPushButton>

namespace {
const QChar CR(13);
const QString kCredits = QStringLiteral("Made by the Quillbox developers");
const QString kRights =
    QStringLiteral("Copyright (c) 2026 the Quillbox developers. All rights reserved.");
const QString kWebAddress = QStringLiteral("https://quillbox.invalid");
} // namespace

frmAbout::frmAbout()
    : ui::Dialog(QStringLiteral("About the Quillbox ..."), 8865, 5460, CloseBox::None) {
    label1 = addLabel(QString(), 360, 600, 7935, 3255);
    cmdOK = addButton(QStringLiteral("OK"), 6720, 4200, 1455, 495);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void frmAbout::Form_Load() {
    ui::setCaption(label1, QStringLiteral("Quillbox for Kestrel") + CR + kCredits + CR + CR +
                               kRights + CR + kWebAddress);
}

void frmAbout::cmdOK_Click() {
    hide();
}

#include "app/frmPassword.h"

#include "core/messages.h"
#include "core/services.h"
#include "ui/look.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kPassword = QStringLiteral("quorp7");
constexpr qint16 kMaxAttempts = 3;
} // namespace

int frmPassword::StarStyle::styleHint(StyleHint hint, const QStyleOption* option,
                                      const QWidget* widget, QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_LineEdit_PasswordCharacter)
        return u'*';
    if (hint == QStyle::SH_LineEdit_PasswordMaskDelay)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

frmPassword::frmPassword()
    : ui::Dialog(QStringLiteral("Select a category"), 5400, 2640, CloseBox::Present) {
    Label1 = addLabel(QStringLiteral("Enter password"), 480, 360, 4400, 375);
    Text1 = new QLineEdit(this);
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setStyle(&starStyle_);
    Text1->setFont(font());
    ui::placeTwips(Text1, 480, 840, 4400, 435);
    cmdOK = addButton(QStringLiteral("OK"), 480, 1680, 1935, 495);
    cmdCancel = addButton(QStringLiteral("Never Mind"), 2940, 1680, 1935, 495);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    // Enter in the password box is OK, as a user expects of a password prompt.
    cmdOK->setDefault(true);
    setTabOrder(Text1, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    Text1->setFocus();
}

void frmPassword::Form_Load() {
    failedAttempts_ = 0;
}

void frmPassword::cmdOK_Click() {
    if (Text1->text() == kPassword) {
        hide();
    } else {
        ++failedAttempts_;
        core::MsgBox(messages::incorrectPassword());
    }
    if (failedAttempts_ >= kMaxAttempts) {
        core::MsgBox(messages::exitingProgram(), core::vbCritical);
        core::EndProgram(1);
    }
}

void frmPassword::cmdCancel_Click() {
    core::EndProgram();
}

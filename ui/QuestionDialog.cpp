#include "ui/QuestionDialog.h"

#include "ui/look.h"

#include <QPushButton>

namespace ui {

QuestionDialog::QuestionDialog(const QString& title, int height, int labelHeight, int buttonsTop,
                               const QString& designText)
    : Dialog(title, 6000, height, CloseBox::None) {
    Label1 = addLabel(designText, 240, 240, 5520, labelHeight);
    cmdYes = addButton(QStringLiteral("Yes"), 1200, buttonsTop, 1335, 495);
    cmdNo = addButton(QStringLiteral("No"), 3360, buttonsTop, 1335, 495);
    connect(cmdYes, &QPushButton::clicked, this, [this] { cmdYes_Click(); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { cmdNo_Click(); });
    cmdYes->setFocus();
}

void QuestionDialog::Form_Activate() {
    setCaption(Label1, question());
    cmdYes->setFocus();
}

void QuestionDialog::cmdYes_Click() {
    yes();
    hide();
}

void QuestionDialog::cmdNo_Click() {
    hide();
}

} // namespace ui

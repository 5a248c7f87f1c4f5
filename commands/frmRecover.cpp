#include "commands/frmRecover.h"

frmRecover::frmRecover()
    : ui::QuestionDialog(QStringLiteral("Words not saved"), 2880, 1455, 2040, QString()) {}

void frmRecover::Form_Activate() {
    yes_ = false;
    ui::QuestionDialog::Form_Activate();
}

QString frmRecover::question() const {
    return QStringLiteral("Quillbox ended before the changes to '%1' were saved.\r\rDo you want "
                          "those words back?")
        .arg(name_);
}

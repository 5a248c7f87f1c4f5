#include "commands/frmReplaceReally.h"

#include "core/globals.h"

frmReplaceReally::frmReplaceReally()
    : ui::QuestionDialog(QStringLiteral("Confirm Category Replacement"), 3600, 2175, 2760,
                         QStringLiteral("replacement confirmation")) {}

QString frmReplaceReally::question() const {
    return QStringLiteral(
               "Sorry, but \r\r    %1\r\r is already a category.\rDo you want to replace "
               "it?")
        .arg(name_);
}

void frmReplaceReally::yes() {
    globals::replaceConfirmed = true;
}

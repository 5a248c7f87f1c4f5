#include "ui/instructions.h"

#include "core/globals.h"

namespace globals {

void BuildInstructions() {
    const QString cr = QStringLiteral("\r");
    HelpText[1] = cr + QStringLiteral("Welcome to the Quillbox.") + cr + cr +
                  QStringLiteral("To start making vocabulary lists, ") + cr +
                  QStringLiteral("click on 'File' and choose 'New' ") + cr + cr +
                  QStringLiteral("To change a current list,") + cr +
                  QStringLiteral("click on 'File' and choose 'Open' ");
    HelpText[2] = cr + QStringLiteral(" Type your words, one per line.") + cr + cr +
                  QStringLiteral("Please, no spaces, no numbers, no punctuation") + cr + cr +
                  QStringLiteral("To make changes, use the 'Edit' commands,") + cr +
                  QStringLiteral("the arrow keys, backspace or delete.");
}

} // namespace globals

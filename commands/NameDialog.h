#pragma once
// A dialog that asks for a list name: a prompt, the name box with the
// list-name filter (Enter there is OK), OK and Cancel. No close box.

#include "ui/Dialog.h"

namespace ui {
class SingleLineTextBox;
}

namespace commands {

class NameDialog : public ui::Dialog {
    Q_OBJECT
public:
    // The prompt's two sentences stand in one caption, separated by the run
    // of spaces that makes the word-wrapping label break the line.
    NameDialog(const QString& title, const QString& firstSentence, int spaces,
               const QString& secondSentence);

    virtual void cmdOK_Click() = 0;
    virtual void cmdCancel_Click() = 0;
    void txtName_KeyPress(int& KeyAscii);

    ui::SingleLineTextBox* txtName = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    QLabel* prompt = nullptr;
};

} // namespace commands

#pragma once
// A question answered Yes or No, without a close box. The question is built
// at every showing; Yes records the answer, and either button closes it. Yes
// has the focus when it opens.

#include "ui/Dialog.h"

namespace ui {

class QuestionDialog : public Dialog {
    Q_OBJECT
public:
    // Positions and sizes in twips: the question's label is labelHeight
    // high, the buttons stand at buttonsTop.
    QuestionDialog(const QString& title, int height, int labelHeight, int buttonsTop,
                   const QString& designText);

    void Form_Activate() override;
    void cmdYes_Click();
    void cmdNo_Click();

    QLabel* Label1 = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdNo = nullptr;

protected:
    virtual QString question() const = 0;
    // Records a Yes.
    virtual void yes() = 0;
};

} // namespace ui

#pragma once
// The password gate of start-up. It reports success only by hiding itself;
// every other way out ends the program from inside the dialog.

#include "ui/Dialog.h"

#include <QProxyStyle>

class QLineEdit;

class frmPassword : public ui::Dialog {
    Q_OBJECT
public:
    frmPassword();

    void Form_Load() override;
    void cmdOK_Click();
    void cmdCancel_Click();
    void closeBoxClicked() override { cmdCancel_Click(); }

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    // Shows each typed character of Text1 as "*".
    class StarStyle : public QProxyStyle {
    public:
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* returnData) const override;
    };

    StarStyle starStyle_;
    qint16 failedAttempts_ = 0;
};

// The list-name box: letters and spaces up to 15 characters, Enter as OK,
// everything else refused with the rejection signal on the box.

#include "KestrelFixture.h"
#include "editing/keyFilters.h"
#include "ui/SingleLineTextBox.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

namespace {
// A small dialog of the test's own with one name box.
struct NameDialog : QDialog {
    ui::SingleLineTextBox* txtName = new ui::SingleLineTextBox(this);
    int okClicks = 0;
    NameDialog() {
        txtName->KeyPress = [this](int& KeyAscii) {
            editing::nameBoxKeyPress(*txtName, KeyAscii, [this] { ++okClicks; });
        };
    }
};
} // namespace

class NameBoxTest : public QObject {
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
};

void NameBoxTest::keys_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("selLength"); // selected from the start
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("signal");
    QTest::addColumn<int>("okClicks");

    const QString fourteen = QStringLiteral("abcdefghijklmn");
    const QString fifteen = fourteen + u'o';
    const int shift = Qt::ShiftModifier;
    QTest::newRow("15th letter accepted")
        << fourteen << 0 << int(Qt::Key_O) << 0 << "o" << fifteen << false << 0;
    QTest::newRow("16th letter refused")
        << fifteen << 0 << int(Qt::Key_P) << 0 << "p" << fifteen << true << 0;
    QTest::newRow("16th space refused")
        << fifteen << 0 << int(Qt::Key_Space) << 0 << " " << fifteen << true << 0;
    QTest::newRow("full box, letter over a selection refused")
        << fifteen << 3 << int(Qt::Key_P) << 0 << "p" << fifteen << true << 0;
    QTest::newRow("letter over a selection below the limit")
        << fourteen << 3 << int(Qt::Key_P) << 0 << "p"
        << "pdefghijklmn" << false << 0;
    QTest::newRow("Backspace in a full box")
        << fifteen << 0 << int(Qt::Key_Backspace) << 0 << "\b" << fourteen << false << 0;
    QTest::newRow("capital stays capital") << "big" << 0 << int(Qt::Key_C) << shift << "C"
                                           << "bigC" << false << 0;
    QTest::newRow("space between words") << "big" << 0 << int(Qt::Key_Space) << 0 << " "
                                         << "big " << false << 0;
    QTest::newRow("digit") << "big" << 0 << int(Qt::Key_1) << 0 << "1"
                           << "big" << true << 0;
    QTest::newRow("hyphen") << "big" << 0 << int(Qt::Key_Minus) << 0 << "-"
                            << "big" << true << 0;
    QTest::newRow("apostrophe") << "big" << 0 << int(Qt::Key_Apostrophe) << 0 << "'"
                                << "big" << true << 0;
    QTest::newRow("accented letter")
        << "big" << 0 << int(Qt::Key_Eacute) << 0 << QStringLiteral("é") << "big" << true << 0;
    QTest::newRow("Ctrl+V") << "big" << 0 << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16"
                            << "big" << true << 0;
    QTest::newRow("Enter is OK") << "big" << 0 << int(Qt::Key_Return) << 0 << "\r"
                                 << "big" << false << 1;
    QTest::newRow("Enter is OK in an empty box") << "" << 0 << int(Qt::Key_Return) << 0 << "\r"
                                                 << "" << false << 1;
    QTest::newRow("Enter is OK in a full box")
        << fifteen << 0 << int(Qt::Key_Enter) << 0 << "\r" << fifteen << false << 1;
}

void NameBoxTest::keys() {
    QFETCH(QString, start);
    QFETCH(int, selLength);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, result);
    QFETCH(bool, signal);
    QFETCH(int, okClicks);

    KestrelFixture fx;
    NameDialog dlg;
    dlg.txtName->setText(start);
    if (selLength > 0)
        dlg.txtName->select(0, selLength);
    const QColor back = dlg.txtName->BackColor();
    QColor flashed;
    fx.platform().onHold = [&] { flashed = dlg.txtName->BackColor(); };

    QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(dlg.txtName, &event);

    QCOMPARE(dlg.txtName->Text(), result);
    QCOMPARE(fx.platform().beeps, signal ? 300 : 0);
    if (signal)
        QCOMPARE(flashed, dlg.txtName->ForeColor()); // the name box itself flashed
    QCOMPARE(dlg.txtName->BackColor(), back);
    QCOMPARE(dlg.okClicks, okClicks);
}

QTEST_MAIN(NameBoxTest)
#include "tst_nameBox.moc"

// The text boxes: the codes their KeyPress sees, what it lets them type, the
// change notification, CR LF positions, menu shortcuts, and the roads around
// KeyPress that stay closed.

#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

namespace {
// What the test's log records besides the codes that KeyPress sees.
enum Event { Changed = -1, UndoRan = -2, CopyRan = -3, OkClicked = -4, MenuShown = -5 };

// "ab[c]d" is the text "abcd" with "c" selected; "ab|cd" has the cursor after "ab".
void setMarked(ui::TextBox& box, QString marked) {
    const int from = int(qMax(marked.indexOf(u'|'), marked.indexOf(u'[')));
    const int to = int(marked.indexOf(u']'));
    box.setText(marked.remove(u'|').remove(u'[').remove(u']'));
    box.select(from, to < 0 ? 0 : to - from - 1);
}
QString marked(ui::TextBox& box) {
    const int at = box.SelStart(), end = at + int(box.SelText().size());
    return at == end ? box.Text().insert(at, u'|') : box.Text().insert(end, u']').insert(at, u'[');
}
} // namespace

class TextBoxTest : public QObject {
    Q_OBJECT
private slots:
    void roads_data();
    void roads();
};

// Each row does one thing to a box: keys ("Ctrl+C") typed in a dialog whose
// menu has Undo (Ctrl+Z) enabled and Copy (Ctrl+C) disabled, an input-method
// commit, a drop, a context menu, or a change made by the program. The log is
// of the codes KeyPress sees and of the events above. KeyPress makes capitals
// small and swallows digits. A start without a line break is a one-line box.
void TextBoxTest::roads_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QList<int>>("log");
    QTest::addColumn<QString>("result");
    const auto row = [](const char* name, const char* action, const QString& text,
                        const QString& start, QList<int> log, const QString& result) {
        QTest::newRow(name) << action << text << start << log << result;
    };
    const QString at = QStringLiteral("cat\r\n|dog"), sel = QStringLiteral("ca[t\r\nd]og");
    row("changed code types its character", "Shift+B", "B", at, {66, Changed}, "cat\r\nb|dog");
    row("accented letter", "É", "é", at, {233, Changed}, "cat\r\né|dog");
    row("character outside the code page", "A", "ā", at, {63, Changed}, "cat\r\n?|dog");
    row("Ctrl+C, V, X: codes from the key", "Ctrl+C, Ctrl+V, Ctrl+X", "c", sel, {3, 22, 24}, sel);
    row("enabled command's key runs it once", "Ctrl+Z", "z", sel, {UndoRan}, sel);
    row("Backspace joins lines", "Backspace", "\b", at, {8, Changed}, "cat|dog");
    row("Enter, keypad Enter, Ctrl+Enter", "Return, Enter, Ctrl+Return", "\r", at,
        {13, Changed, 13, Changed, 10, Changed}, "cat\r\n\r\n\r\n\r\n|dog");
    row("Tab, Esc", "Tab, Esc", "", at, {9, 27}, at);
    row("Delete bypasses KeyPress", "Del", "\x7f", at, {Changed}, "cat\r\n|og");
    row("arrow bypasses KeyPress", "Left", "", at, {}, "cat|\r\ndog");
    row("Ctrl+Insert copies, Shift+Delete cuts nothing", "Ctrl+Ins, Shift+Del", "", sel, {}, sel);
    row("input-method commit, a character at a time", "commit", "a9é", at,
        {97, Changed, 57, 233, Changed}, "cat\r\naé|dog");
    row("Alt with a key types nothing", "Alt+1, Alt+Q, Alt+., Alt+Shift+Z", "", at, {}, at);
    row("one-line box: Alt with a key types nothing", "Alt+1, Alt+Shift+Z", "", "n|me", {}, "n|me");
    row("drop", "drop", "dropped", at, {}, at);
    row("context menu", "context menu", "", sel, {}, sel);
    row("program sets a text", "setText", "a\u00a0b", at, {Changed}, "|a\u00a0b");
    row("program replaces the selection", "setSelText", "x\r\ny", sel, {Changed}, "cax\r\ny|og");
    row("one-line box: letter", "A", "a", "n|me", {97, Changed}, "na|me");
    row("one-line box: Enter stays with the hook", "Return", "\r", "name|", {13}, "name|");
    row("one-line box: Backspace", "Backspace", "\b", "name|", {8, Changed}, "nam|");
    row("one-line box: Shift+Insert pastes nothing", "Shift+Ins", "", "[name]", {}, "[name]");
}

void TextBoxTest::roads() {
    QFETCH(QString, action);
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QList<int>, log);
    QFETCH(QString, result);

    QDialog window; // Enter must not reach its default button
    QPushButton ok(&window);
    ok.setDefault(true);
    QMenu* edit = (new QMenuBar(&window))->addMenu("&Edit");
    QList<int> seen;
    edit->addAction("&Undo", QKeySequence::Undo, [&] { seen << UndoRan; });
    edit->addAction("&Copy", QKeySequence::Copy, [&] { seen << CopyRan; })->setEnabled(false);
    ui::SingleLineTextBox line(&window);
    ui::MultiLineTextBox multi(&window);
    ui::TextBox& box = start.contains('\n') ? static_cast<ui::TextBox&>(multi) : line;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    setMarked(box, start);
    QApplication::clipboard()->setText("FROM OUTSIDE");
    box.KeyPress = [&](int& code) {
        seen << code;
        code = QChar(code).isDigit() ? 0 : QChar(code).toLower().unicode();
    };
    box.Change = [&] { seen << Changed; };
    QObject::connect(&ok, &QPushButton::clicked, [&] { seen << OkClicked; });

    if (action == "commit") {
        QInputMethodEvent event(QStringLiteral("´"), {}); // "´" still being composed
        event.setCommitString(text);
        QApplication::sendEvent(box.widget(), &event);
    } else if (action == "drop") {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(multi.viewport(), &enter);
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(multi.viewport(), &drop);
    } else if (action == "context menu") { // a menu shown would be closed at once
        QContextMenuEvent event(QContextMenuEvent::Mouse, {5, 5}, {5, 5});
        QApplication::sendEvent(multi.viewport(), &event);
        if (QWidget* menu = QApplication::activePopupWidget())
            seen << MenuShown << menu->close();
    } else if (action.startsWith("set")) {
        action == "setText" ? box.setText(text) : box.setSelText(text);
    } else {
        const QKeySequence keys(action); // up to four keys, typed in turn
        for (int i = 0; i < keys.count(); ++i)
            QTest::sendKeyEvent(QTest::Press, box.widget(), keys[i].key(), text,
                                keys[i].keyboardModifiers());
    }

    QCOMPARE(seen, log);
    QCOMPARE(marked(box), result);
    QCOMPARE(QApplication::clipboard()->text(), "FROM OUTSIDE");
}

QTEST_MAIN(TextBoxTest)
#include "tst_textBox.moc"

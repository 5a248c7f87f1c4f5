// The text boxes: CR LF text and positions, the key codes that reach
// KeyPress, the change notification, and the roads around KeyPress that must
// stay closed.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

namespace {
// Records what reaches KeyPress and counts change notifications.
struct Probe {
    QList<int> codes;
    int changes = 0;
    std::function<void(int&)> rewrite; // optional: changes the code
    void attach(ui::TextBox& box) {
        box.KeyPress = [this](int& code) {
            codes << code;
            if (rewrite)
                rewrite(code);
        };
        box.Change = [this] { ++changes; };
    }
};
} // namespace

class TextBoxTest : public QObject {
    Q_OBJECT
private slots:
    void crLfTextAndPositions();
    void keyCodes_data();
    void keyCodes();
    void hookDecidesWhatIsTyped_data();
    void hookDecidesWhatIsTyped();
    void changeNotifications();
    void closedRoads_data();
    void closedRoads();
    void inputMethodCommitGoesThroughKeyPress();
    void enabledMenuShortcutRunsOnce_data();
    void enabledMenuShortcutRunsOnce();
    void singleLineBoxKeepsEnterToItself();
};

void TextBoxTest::crLfTextAndPositions() {
    ui::MultiLineTextBox box;
    box.setText("cat\r\ndog\r\n");
    QCOMPARE(box.Text(), QStringLiteral("cat\r\ndog\r\n"));
    QCOMPARE(box.SelStart(), 0);
    box.setSelStart(5); // after "cat" CR LF: the start of "dog"
    QCOMPARE(box.SelStart(), 5);
    box.select(2, 4); // "t" CR LF "d"
    QCOMPARE(box.SelText(), QStringLiteral("t\r\nd"));
    QCOMPARE(box.SelStart(), 2);
    box.setSelText(QString());
    QCOMPARE(box.Text(), QStringLiteral("caog\r\n"));
    box.setSelStart(4);
    box.setSelText("x\r\ny");
    QCOMPARE(box.Text(), QStringLiteral("caogx\r\ny\r\n"));
    QCOMPARE(box.SelStart(), 8);
    box.setText(QStringLiteral("a\u00a0b")); // Windows-1252 0xA0 survives
    QCOMPARE(box.Text(), QStringLiteral("a\u00a0b"));
}

void TextBoxTest::keyCodes_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("codes");

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("letter") << int(Qt::Key_B) << none << "b" << QList<int>{98};
    QTest::newRow("capital") << int(Qt::Key_B) << int(Qt::ShiftModifier) << "B" << QList<int>{66};
    QTest::newRow("digit") << int(Qt::Key_9) << none << "9" << QList<int>{57};
    QTest::newRow("space") << int(Qt::Key_Space) << none << " " << QList<int>{32};
    QTest::newRow("accented letter")
        << int(Qt::Key_Eacute) << none << QStringLiteral("é") << QList<int>{233};
    QTest::newRow("outside the code page")
        << int(Qt::Key_unknown) << none << QStringLiteral("ā") << QList<int>{63};
    QTest::newRow("Ctrl+C from the key, not the text")
        << int(Qt::Key_C) << ctrl << "c" << QList<int>{3};
    QTest::newRow("Ctrl+C as X11 sends it") << int(Qt::Key_C) << ctrl << "\x03" << QList<int>{3};
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "v" << QList<int>{22};
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << "x" << QList<int>{24};
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << "z" << QList<int>{26};
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << QList<int>{8};
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << "\r" << QList<int>{13};
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << none << "\r" << QList<int>{13};
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << ctrl << "\r" << QList<int>{10};
    QTest::newRow("Tab") << int(Qt::Key_Tab) << none << "\t" << QList<int>{9};
    QTest::newRow("Esc") << int(Qt::Key_Escape) << none << "\x1b" << QList<int>{27};
    QTest::newRow("Delete types nothing") << int(Qt::Key_Delete) << none << "\x7f" << QList<int>{};
    QTest::newRow("arrow types nothing") << int(Qt::Key_Left) << none << "" << QList<int>{};
    QTest::newRow("Alt+letter is a menu key")
        << int(Qt::Key_F) << int(Qt::AltModifier) << "f" << QList<int>{};
}

void TextBoxTest::keyCodes() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QList<int>, codes);

    QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(ui::windowsKeyCodes(event), codes);

    // And through a box: KeyPress sees exactly those codes.
    ui::MultiLineTextBox box;
    Probe probe;
    probe.attach(box);
    probe.rewrite = [](int& code) { code = 0; };
    QApplication::sendEvent(&box, &event);
    QCOMPARE(probe.codes, codes);
}

void TextBoxTest::hookDecidesWhatIsTyped_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("replacement"); // -1: keep the code
    QTest::addColumn<QString>("result");

    QTest::newRow("letter typed") << "ct" << 1 << int(Qt::Key_A) << 0 << -1 << "cat";
    QTest::newRow("capital made small")
        << "" << 0 << int(Qt::Key_B) << int(Qt::ShiftModifier) << 98 << "b";
    QTest::newRow("cancelled") << "cat" << 3 << int(Qt::Key_9) << 0 << 0 << "cat";
    QTest::newRow("Enter makes a line")
        << "catdog" << 3 << int(Qt::Key_Return) << 0 << -1 << "cat\r\ndog";
    QTest::newRow("Ctrl+Enter makes a line")
        << "cat" << 3 << int(Qt::Key_Return) << int(Qt::ControlModifier) << -1 << "cat\r\n";
    QTest::newRow("Backspace joins lines")
        << "cat\r\ndog" << 5 << int(Qt::Key_Backspace) << 0 << -1 << "catdog";
    QTest::newRow("Backspace at the start")
        << "cat" << 0 << int(Qt::Key_Backspace) << 0 << -1 << "cat";
    QTest::newRow("control code left as is types nothing")
        << "cat" << 1 << int(Qt::Key_C) << int(Qt::ControlModifier) << -1 << "cat";
}

void TextBoxTest::hookDecidesWhatIsTyped() {
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, replacement);
    QFETCH(QString, result);

    ui::MultiLineTextBox box;
    box.setText(start);
    box.setSelStart(cursor);
    Probe probe;
    probe.attach(box);
    if (replacement >= 0)
        probe.rewrite = [replacement](int& code) { code = replacement; };
    QTest::keyClick(&box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box.Text(), result);
    QCOMPARE(probe.changes, result == start ? 0 : 1);
}

void TextBoxTest::changeNotifications() {
    ui::MultiLineTextBox box;
    Probe probe;
    probe.attach(box);
    box.setText("cat\r\ndog");
    QCOMPARE(probe.changes, 1);
    box.setText("cat\r\ndog"); // the same text
    QCOMPARE(probe.changes, 1);
    box.select(0, 5);
    box.setSelText("bird\r\n"); // one replacement, one notification
    QCOMPARE(probe.changes, 2);
    QCOMPARE(box.Text(), QStringLiteral("bird\r\ndog"));
    box.setSelStart(0);
    box.setSelText(QString()); // nothing selected, nothing inserted
    QCOMPARE(probe.changes, 2);
    QTest::keyClick(&box, Qt::Key_Delete); // Delete bypasses KeyPress but changes the text
    QCOMPARE(box.Text(), QStringLiteral("ird\r\ndog"));
    QCOMPARE(probe.changes, 3);
    QVERIFY(probe.codes.isEmpty());
}

void TextBoxTest::closedRoads_data() {
    QTest::addColumn<QString>("road");
    for (const char* road :
         {"drop", "middle click", "Shift+Insert", "Ctrl+Insert then paste", "Shift+Delete",
          "Alt+Backspace", "context menu", "system clipboard Ctrl+V"})
        QTest::newRow(road) << QString::fromLatin1(road);
}

void TextBoxTest::closedRoads() {
    QFETCH(QString, road);

    ui::MultiLineTextBox box;
    box.resize(200, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setText("cat");
    box.select(0, 3);
    QApplication::clipboard()->setText("FROM OUTSIDE");
    QApplication::clipboard()->setText("FROM OUTSIDE", QClipboard::Selection);
    Probe probe;
    probe.attach(box);

    QWidget* area = box.viewport();
    if (road == "drop") {
        QMimeData data;
        data.setText("dropped");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &drop);
        QVERIFY(!box.acceptDrops() && !area->acceptDrops());
    } else if (road == "middle click") {
        QTest::mouseClick(area, Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
    } else if (road == "Shift+Insert") {
        QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (road == "Ctrl+Insert then paste") {
        QTest::keyClick(&box, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("FROM OUTSIDE"));
        QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (road == "Shift+Delete") {
        QTest::keyClick(&box, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("FROM OUTSIDE"));
    } else if (road == "Alt+Backspace") {
        box.setSelStart(3);
        QTest::keyClick(&box, Qt::Key_Backspace, Qt::AltModifier);
    } else if (road == "context menu") {
        QCOMPARE(box.contextMenuPolicy(), Qt::NoContextMenu);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                               area->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(area, &menu);
        QVERIFY(QApplication::activePopupWidget() == nullptr);
    } else if (road == "system clipboard Ctrl+V") {
        probe.rewrite = [](int&) {}; // left as is: the box itself must not paste
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(probe.codes, QList<int>{22});
    }
    QCOMPARE(box.Text(), QStringLiteral("cat"));
    QCOMPARE(probe.changes, 0);
    QVERIFY(!box.isUndoRedoEnabled());
}

void TextBoxTest::inputMethodCommitGoesThroughKeyPress() {
    ui::MultiLineTextBox box;
    box.setText("caf");
    box.setSelStart(3);
    Probe probe;
    probe.attach(box);
    probe.rewrite = [](int& code) {
        if (code > 127)
            code = 0;
    };

    QInputMethodEvent composing(QStringLiteral("´"), {});
    QApplication::sendEvent(&box, &composing);
    QCOMPARE(box.Text(), QStringLiteral("caf")); // shown while composing, not typed
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("é"));
    QApplication::sendEvent(&box, &commit);
    QCOMPARE(probe.codes, QList<int>{233});
    QCOMPARE(box.Text(), QStringLiteral("caf"));

    QInputMethodEvent commitLetters;
    commitLetters.setCommitString(QStringLiteral("eé"));
    QApplication::sendEvent(&box, &commitLetters);
    QCOMPARE(box.Text(), QStringLiteral("cafe"));
    QCOMPARE(probe.changes, 1);
}

void TextBoxTest::enabledMenuShortcutRunsOnce_data() {
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled command") << true;
    QTest::newRow("disabled command") << false;
}

void TextBoxTest::enabledMenuShortcutRunsOnce() {
    QFETCH(bool, enabled);
    KestrelFixture fx;
    frmMain& main = ui::Forms::get<frmMain>();
    if (enabled)
        main.mnuEnable_All();
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    main.txtEditor->setVisible(true);
    main.txtEditor->setFocus();
    main.txtEditor->setText("cat");
    main.txtEditor->select(0, 3);

    Probe probe;
    probe.attach(*main.txtEditor);
    QSignalSpy copy(main.mnuCopy, &QAction::triggered);
    QSignalSpy paste(main.mnuPaste, &QAction::triggered);
    QTest::keyClick(main.txtEditor, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(main.txtEditor, Qt::Key_V, Qt::ControlModifier);
    if (enabled) {
        QCOMPARE(copy.size(), 1);
        QCOMPARE(paste.size(), 1);
        QVERIFY(probe.codes.isEmpty());
    } else {
        QCOMPARE(copy.size(), 0);
        QCOMPARE(paste.size(), 0);
        QCOMPARE(probe.codes, (QList<int>{3, 22}));
    }
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat"));
}

void TextBoxTest::singleLineBoxKeepsEnterToItself() {
    ui::SingleLineTextBox box;
    Probe probe;
    probe.attach(box);
    QTest::keyClicks(&box, "ab");
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(probe.codes, (QList<int>{97, 98, 13, 8}));
    QCOMPARE(box.Text(), QStringLiteral("a"));
    box.setText("name");
    box.selectAll();
    QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier); // no toolkit undo
    QCOMPARE(box.Text(), QStringLiteral("name"));
    QCOMPARE(box.contextMenuPolicy(), Qt::NoContextMenu);
}

QTEST_MAIN(TextBoxTest)
#include "tst_textBox.moc"

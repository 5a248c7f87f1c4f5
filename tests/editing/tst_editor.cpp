// Typing into the editor: the key filter, the rejection signal, the undo
// history and the program's own clipboard, driven through the main window.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "core/globals.h"
#include "editing/rejection.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

namespace {
// The main window with a list open in the editor, as after Open.
frmMain& openEditor(const QString& text, int cursor = 0) {
    frmMain& main = ui::Forms::get<frmMain>();
    main.txtEditor->setText(text);
    main.txtEditor->setVisible(true);
    main.mnuEnable_All();
    main.txtEditor_ResetUndo();
    main.txtEditor->setSelStart(cursor);
    globals::ListChanged = false;
    return main;
}

void press(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &down);
}

void typeLetters(frmMain& main, const QString& letters) {
    for (QChar c : letters)
        press(main.txtEditor, Qt::Key_A + (c.unicode() - 'a'), Qt::NoModifier, QString(c));
}
} // namespace

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void keyFilter_data();
    void keyFilter();
    void deleteKeyChangesTextButNotTheFlag();
    void rejectionSignal();
    void undoRedo_data();
    void undoRedo();
    void undoAfterOpeningGivesTheSignal();
    void undoAndRedoLeaveTheChangedFlag();
    void fullHistoryKeepsRecentSteps();
    void clipboard_data();
    void clipboard();
    void clipboardSurvivesAnotherList();
    void shortcutsRunEachCommandOnce();
};

void EditorTest::keyFilter_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("signal");

    const int shift = Qt::ShiftModifier;
    // Start: "ca" with the cursor at the end.
    QTest::newRow("small letter") << int(Qt::Key_T) << 0 << "t" << 2 << "cat" << true << false;
    QTest::newRow("capital becomes small")
        << int(Qt::Key_B) << shift << "B" << 2 << "cab" << true << false;
    QTest::newRow("capital Z") << int(Qt::Key_Z) << shift << "Z" << 2 << "caz" << true << false;
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << " " << 2 << "ca" << false << true;
    QTest::newRow("digit") << int(Qt::Key_9) << 0 << "9" << 2 << "ca" << false << true;
    QTest::newRow("hyphen") << int(Qt::Key_Minus) << 0 << "-" << 2 << "ca" << false << true;
    QTest::newRow("apostrophe") << int(Qt::Key_Apostrophe) << 0 << "'" << 2 << "ca" << false
                                << true;
    QTest::newRow("at sign, before A")
        << int(Qt::Key_At) << shift << "@" << 2 << "ca" << false << true;
    QTest::newRow("bracket, after Z")
        << int(Qt::Key_BracketLeft) << 0 << "[" << 2 << "ca" << false << true;
    QTest::newRow("backquote, before a")
        << int(Qt::Key_QuoteLeft) << 0 << "`" << 2 << "ca" << false << true;
    QTest::newRow("brace, after z")
        << int(Qt::Key_BraceLeft) << shift << "{" << 2 << "ca" << false << true;
    QTest::newRow("accented letter")
        << int(Qt::Key_Eacute) << 0 << QStringLiteral("é") << 2 << "ca" << false << true;
    QTest::newRow("capital accented letter")
        << int(Qt::Key_Eacute) << shift << QStringLiteral("É") << 2 << "ca" << false << true;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << "\t" << 2 << "ca" << false << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << "\x1b" << 2 << "ca" << false << true;
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << 2 << "ca"
                            << false << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "\r" << 1 << "c\r\na" << true << false;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << "\n"
                                << 2 << "ca\r\n"
                                << true << false;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 2 << "c" << true << false;
    QTest::newRow("Backspace at the start")
        << int(Qt::Key_Backspace) << 0 << "\b" << 0 << "ca" << true << false;
}

void EditorTest::keyFilter() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, result);
    QFETCH(bool, changed);
    QFETCH(bool, signal);

    KestrelFixture fx;
    frmMain& main = openEditor("ca", cursor);
    const QColor back = main.txtEditor->BackColor();
    const QColor fore = main.txtEditor->ForeColor();
    press(main.txtEditor, key, Qt::KeyboardModifiers(modifiers), text);

    QCOMPARE(main.txtEditor->Text(), result);
    QCOMPARE(globals::ListChanged, changed);
    QCOMPARE(fx.platform().beeps, signal ? editing::kRejectionBeeps : 0);
    QCOMPARE(main.txtEditor->BackColor(), back);
    QCOMPARE(main.txtEditor->ForeColor(), fore);
    QVERIFY(fx.platform().messages.isEmpty()); // never a message
    // Every change of the text is one undo step.
    QCOMPARE(main.undoHistory().undoTop(), result == "ca" ? 0 : 1);
}

void EditorTest::deleteKeyChangesTextButNotTheFlag() {
    KestrelFixture fx;
    frmMain& main = openEditor("cat", 0);
    QTest::keyClick(main.txtEditor, Qt::Key_Delete);
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("at"));
    QCOMPARE(globals::ListChanged, false);
    QCOMPARE(main.undoHistory().undoTop(), 1);
    main.mnuUndo_Click();
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat"));
}

void EditorTest::rejectionSignal() {
    KestrelFixture fx;
    frmMain& main = openEditor("cat", 3);
    main.txtEditor->setBackColor(QColor(250, 250, 240));
    main.txtEditor->setForeColor(QColor(10, 20, 30));
    main.txtEditor->select(1, 1);
    QList<QColor> whileHeld;
    fx.platform().onHold = [&] {
        whileHeld << main.txtEditor->BackColor() << main.txtEditor->ForeColor();
    };

    globals::SignalRejection(*main.txtEditor);

    QCOMPARE(fx.platform().beeps, 300);
    QCOMPARE(whileHeld, (QList<QColor>{QColor(10, 20, 30), QColor(250, 250, 240)}));
    QVERIFY(fx.platform().heldMilliseconds >= 50); // long enough to be seen
    QCOMPARE(main.txtEditor->BackColor(), QColor(250, 250, 240));
    QCOMPARE(main.txtEditor->ForeColor(), QColor(10, 20, 30));
    QCOMPARE(main.txtEditor->SelText(), QStringLiteral("a")); // selection untouched
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat"));
    QCOMPARE(globals::ListChanged, false);
}

void EditorTest::undoRedo_data() {
    // A script of single-letter commands: letters are typed, '<' is Undo,
    // '>' is Redo. Then the text, the cursor and the beeps expected.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("rejections");

    // Loaded: "dog" CR LF, cursor at the end.
    QTest::newRow("three letters, three undos: as loaded, cursor at 0") << "cat<<<"
                                                                        << "dog\r\n"
                                                                        << 0 << 0;
    QTest::newRow("a fourth undo gives the signal") << "cat<<<<"
                                                    << "dog\r\n"
                                                    << 0 << 1;
    QTest::newRow("undo restores the cursor of its step") << "cat<"
                                                          << "dog\r\nca" << 7 << 0;
    QTest::newRow("redo walks forward again") << "cat<<<>>"
                                              << "dog\r\nca" << 7 << 0;
    QTest::newRow("redo at the newest step gives the signal") << "cat<>>"
                                                              << "dog\r\ncat" << 8 << 1;
    QTest::newRow("typing after undo drops redo") << "ca<x>"
                                                  << "dog\r\ncx" << 7 << 1;
    QTest::newRow("typing at the restored cursor") << "ca<<x"
                                                   << "xdog\r\n"
                                                   << 1 << 0;
}

void EditorTest::undoRedo() {
    QFETCH(QString, script);
    QFETCH(QString, result);
    QFETCH(int, cursor);
    QFETCH(int, rejections);

    KestrelFixture fx;
    frmMain& main = openEditor("dog\r\n", 5);
    for (QChar c : script) {
        if (c == u'<')
            main.mnuUndo_Click();
        else if (c == u'>')
            main.mnuRedo_Click();
        else
            typeLetters(main, QString(c));
    }
    QCOMPARE(main.txtEditor->Text(), result);
    QCOMPARE(main.txtEditor->SelStart(), cursor);
    QCOMPARE(fx.platform().beeps, rejections * 300);
}

void EditorTest::undoAfterOpeningGivesTheSignal() {
    KestrelFixture fx;
    frmMain& main = openEditor("cat\r\ndog\r\n", 3);
    main.mnuUndo_Click();
    QCOMPARE(fx.platform().beeps, 300);
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat\r\ndog\r\n"));
    main.mnuRedo_Click();
    QCOMPARE(fx.platform().beeps, 600);
}

void EditorTest::undoAndRedoLeaveTheChangedFlag() {
    KestrelFixture fx;
    frmMain& main = openEditor("dog", 3);
    typeLetters(main, "s");
    QVERIFY(globals::ListChanged);
    main.mnuUndo_Click();
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("dog"));
    QVERIFY(globals::ListChanged); // back to the loaded words, still changed
    globals::ListChanged = false;
    main.mnuRedo_Click();
    QVERIFY(!globals::ListChanged);
}

void EditorTest::fullHistoryKeepsRecentSteps() {
    KestrelFixture fx;
    frmMain& main = openEditor("", 0);
    const int changes = editing::UndoHistory::kCapacity + 5;
    const QString word = QStringLiteral("a\r\n");
    for (int i = 0; i < changes; ++i)
        main.txtEditor->setSelText(word);
    QCOMPARE(main.undoHistory().undoTop(), editing::UndoHistory::kCapacity);

    typeLetters(main, "z"); // still recorded: the program goes on working
    main.mnuUndo_Click();
    QCOMPARE(main.txtEditor->Text(), word.repeated(changes));
    for (int i = 1; i < editing::UndoHistory::kCapacity; ++i)
        main.mnuUndo_Click();
    QCOMPARE(fx.platform().beeps, 0);
    // The oldest six steps gave way: the earliest text left has six words.
    QCOMPARE(main.txtEditor->Text(), word.repeated(6));
    main.mnuUndo_Click();
    QCOMPARE(fx.platform().beeps, 300);
}

void EditorTest::clipboard_data() {
    // From "cat" CR LF "dog" with a selection, run the commands in order.
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("steps");

    QTest::newRow("copy sets nothing") << 0 << 3 << QStringList{"copy"} << "cat\r\ndog"
                                       << "cat" << false << 0;
    QTest::newRow("copy over a line break")
        << 2 << 4 << QStringList{"copy", "end", "paste"} << "cat\r\ndogt\r\nd"
        << "t\r\nd" << true << 1;
    QTest::newRow("cut is one step") << 0 << 3 << QStringList{"cut"} << "\r\ndog"
                                     << "cat" << true << 1;
    QTest::newRow("undo after cut keeps the clip")
        << 0 << 3 << QStringList{"cut", "undo"} << "cat\r\ndog"
        << "cat" << true << 1;
    QTest::newRow("paste before any copy deletes the selection")
        << 0 << 3 << QStringList{"paste"} << "\r\ndog"
        << "" << true << 1;
    QTest::newRow("paste with nothing selected and nothing copied")
        << 0 << 0 << QStringList{"paste"} << "cat\r\ndog"
        << "" << true << 0;
    QTest::newRow("copy of nothing empties the clip")
        << 0 << 3 << QStringList{"copy", "none", "copy", "select", "paste"} << "\r\ndog"
        << "" << true << 1;
    QTest::newRow("cut of nothing: no change, no step, clip emptied")
        << 0 << 3 << QStringList{"copy", "none", "cut"} << "cat\r\ndog"
        << "" << true << 0;
    QTest::newRow("paste replaces the selection in one step")
        << 5 << 3 << QStringList{"copy", "select", "paste"} << "dog\r\ndog"
        << "dog" << true << 1;
}

void EditorTest::clipboard() {
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QStringList, commands);
    QFETCH(QString, result);
    QFETCH(QString, clip);
    QFETCH(bool, changed);
    QFETCH(int, steps);

    KestrelFixture fx;
    QApplication::clipboard()->setText("from another program");
    frmMain& main = openEditor("cat\r\ndog");
    main.txtEditor->select(selStart, selLength);
    for (const QString& command : commands) {
        if (command == "copy")
            main.mnuCopy_Click();
        else if (command == "cut")
            main.mnuCut_Click();
        else if (command == "paste")
            main.mnuPaste_Click();
        else if (command == "undo")
            main.mnuUndo_Click();
        else if (command == "none")
            main.txtEditor->setSelStart(selStart);
        else if (command == "select")
            main.txtEditor->select(0, 3);
        else if (command == "end")
            main.txtEditor->setSelStart(int(main.txtEditor->Text().size()));
    }
    QCOMPARE(main.txtEditor->Text(), result);
    QCOMPARE(main.clipboardText(), clip);
    QCOMPARE(globals::ListChanged, changed);
    QCOMPARE(main.undoHistory().undoTop(), steps);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("from another program"));
}

void EditorTest::clipboardSurvivesAnotherList() {
    KestrelFixture fx;
    frmMain& main = openEditor("cat\r\ndog\r\n");
    main.txtEditor->select(0, 3);
    main.mnuCopy_Click();
    openEditor("bird\r\n", 6); // another list opened
    main.mnuPaste_Click();
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("bird\r\ncat"));
}

void EditorTest::shortcutsRunEachCommandOnce() {
    KestrelFixture fx;
    frmMain& main = openEditor("cat\r\ndog", 0);
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    main.txtEditor->setFocus();
    main.txtEditor->select(0, 3);

    QTest::keyClick(main.txtEditor, Qt::Key_X, Qt::ControlModifier); // cut "cat"
    QTest::keyClick(main.txtEditor, Qt::Key_V, Qt::ControlModifier); // paste it back once
    QTest::keyClick(main.txtEditor, Qt::Key_V, Qt::ControlModifier); // and once more
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("catcat\r\ndog"));
    QCOMPARE(main.undoHistory().undoTop(), 3);
    QTest::keyClick(main.txtEditor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(main.txtEditor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("\r\ndog"));
    QTest::keyClick(main.txtEditor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat\r\ndog"));
    QCOMPARE(fx.platform().beeps, 0);
    QVERIFY(globals::ListChanged);
}

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"

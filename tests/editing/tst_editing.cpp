// What may be typed into the editor and into a list-name box, the rejection
// signal that answers a refused key, and the editor's undo history.

#include "ScriptedPlatform.h"
#include "editing/UndoHistory.h"
#include "editing/keyFilters.h"
#include "ui/SingleLineTextBox.h"

#include <QApplication>
#include <QTest>

using editing::EditorKey;
using editing::NameKey;
using editing::UndoHistory;

namespace {
// Sends the key that delivers code: Ctrl+A to Ctrl+[ for 1 to 27 (Ctrl+H is
// Backspace's 8, Ctrl+M Enter's 13), else a key that types the code's character.
void typeCode(QWidget* box, int code) {
    const bool control = code < 32;
    QKeyEvent event(QEvent::KeyPress, control ? Qt::Key_A + code - 1 : 0,
                    control ? Qt::ControlModifier : Qt::NoModifier, QString(ui::charOfCode(code)));
    QApplication::sendEvent(box, &event);
}
} // namespace

class EditingTest : public QObject {
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void undoHistory_data();
    void undoHistory();
    void fullHistoryKeepsTheRecentSteps();
};

// Each code as the editor's filter decides it, and as a list-name box holding
// start decides it when the code's key is typed into it ("[abc]def": "abc" is
// selected).
void EditingTest::keys_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<EditorKey>("editor");
    QTest::addColumn<QString>("start");
    QTest::addColumn<NameKey>("name");
    QTest::addColumn<QString>("result");
    const auto row = [](const char* rowName, int code, EditorKey editor, const QString& start,
                        NameKey name, const QString& result) {
        QTest::newRow(rowName) << code << editor << start << name << result;
    };
    const auto typed = EditorKey::Typed, refused = EditorKey::Refused;
    const auto ok = NameKey::Typed, no = NameKey::Refused, enter = NameKey::Enter;
    const QString big = "big", fourteen = "abcdefghijklmn", full = fourteen + "o";
    row("small a", 'a', typed, big, ok, "biga");
    row("small z", 'z', typed, big, ok, "bigz");
    row("capital A", 'A', typed, big, ok, "bigA");
    row("capital Z", 'Z', typed, big, ok, "bigZ");
    row("space", ' ', refused, big, ok, "big ");
    row("15th letter", 'o', typed, fourteen, ok, full);
    row("16th letter", 'p', typed, full, no, full);
    row("16th space", ' ', refused, full, no, full);
    row("16th letter over a selection", 'p', typed, "[abc]defghijklmno", no, full);
    row("Backspace", 8, typed, full, ok, fourteen);
    row("Enter in a full box", 13, typed, full, enter, full);
    row("Ctrl+Enter", 10, typed, big, no, big);
    row("Ctrl+C", 3, EditorKey::Copy, big, no, big);
    row("Ctrl+V", 22, EditorKey::Paste, big, no, big);
    row("Ctrl+X", 24, EditorKey::Cut, big, no, big);
    row("digit 9", '9', refused, big, no, big);
    row("hyphen", '-', refused, big, no, big);
    row("apostrophe", '\'', refused, big, no, big);
    row("@, before A", '@', refused, big, no, big);
    row("[, after Z", '[', refused, big, no, big);
    row("`, before a", '`', refused, big, no, big);
    row("{, after z", '{', refused, big, no, big);
    row("Tab", 9, refused, big, no, big);
    row("É", 0xc9, refused, big, no, big);
    row("é", 0xe9, refused, big, no, big);
}

void EditingTest::keys() {
    QFETCH(int, code);
    QFETCH(EditorKey, editor);
    QFETCH(QString, start);
    QFETCH(NameKey, name);
    QFETCH(QString, result);
    // The editor makes capitals small and cancels a refused key.
    int editorCode = code;
    QCOMPARE(editing::filterEditorKey(editorCode), editor);
    QCOMPARE(editorCode, editor == EditorKey::Refused ? 0 : QChar(code).toLower().unicode());

    ScriptedPlatform platform;
    ui::SingleLineTextBox box;
    int oks = 0;
    box.KeyPress = [&](int& keyCode) { editing::nameBoxKeyPress(box, keyCode, [&] { ++oks; }); };
    box.setText(QString(start).remove(u'[').remove(u']'));
    if (start.startsWith(u'['))
        box.select(0, int(start.indexOf(u']')) - 1);
    const QColor back(250, 250, 240), fore(10, 20, 30);
    box.setBackColor(back);
    box.setForeColor(fore);
    QList<QColor> flashed;
    platform.onHold = [&] { flashed << box.BackColor() << box.ForeColor(); };
    typeCode(&box, code);
    QCOMPARE(box.Text(), result);
    QCOMPARE(oks, name == NameKey::Enter ? 1 : 0);
    // A refused key gives the rejection signal: the box inverted while 300
    // beeps sound, then exactly as before.
    const bool refused = name == NameKey::Refused;
    QCOMPARE(platform.beeps, refused ? 300 : 0);
    QCOMPARE(flashed, refused ? QList<QColor>({fore, back}) : QList<QColor>());
    QCOMPARE(QList<QColor>({box.BackColor(), box.ForeColor()}), QList<QColor>({back, fore}));
}

// A script of steps after the history restarted at "at": a text is recorded (as the change from the
// text before it) with the cursor at '|', '<' is Undo and '>' is Redo. The result is the text and
// cursor after the last step.
void EditingTest::undoHistory_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("canUndo");
    QTest::addColumn<bool>("canRedo");
    const auto row = [](const char* name, const char* script, const char* result, bool canUndo,
                        bool canRedo) {
        QTest::newRow(name) << QString(script) << QString(result) << canUndo << canRedo;
    };
    row("nothing to undo or redo after a restart", "", "at", false, false);
    row("three undos: the start, cursor at 0", "c|at ch|at chat\r\n| < < <", "|at", false, true);
    row("undo shows the step before with its cursor", "c|at ch|at <", "c|at", true, true);
    row("redo walks forward", "c|at ch|at < < > >", "ch|at", true, false);
    row("a new step after undo replaces the redo", "c|at ch|at < < x|at < >", "x|at", true, false);
    row("deleting, inserting, replacing", "|t cow|t co| < < < > > >", "co|", true, false);
    row("undo of repeated letters", "aa|t aaa|t < <", "|at", false, true);
}

namespace {
// Records text as the step after now: the change between them, as the editor reports it.
void record(UndoHistory& history, QString& now, const QString& text, int cursor) {
    qsizetype p = 0, s = 0;
    while (p < now.size() && p < text.size() && now[p] == text[p])
        ++p;
    while (s < now.size() - p && s < text.size() - p &&
           now[now.size() - 1 - s] == text[text.size() - 1 - s])
        ++s;
    history.record(int(p), now.mid(p, now.size() - p - s), text.mid(p, text.size() - p - s),
                   cursor);
    now = text;
}
} // namespace

void EditingTest::undoHistory() {
    QFETCH(QString, script);
    QFETCH(QString, result);
    QFETCH(bool, canUndo);
    QFETCH(bool, canRedo);
    UndoHistory history;
    QString now;
    record(history, now, "x", 1); // before the restart
    history.reset();
    QString shown = now = "at";
    for (const QString& step : script.split(u' ', Qt::SkipEmptyParts)) {
        if (step == "<" || step == ">") {
            // The move turns the text shown into the step's, and puts the cursor back.
            const UndoHistory::Move move = step == "<" ? history.undo() : history.redo();
            now.replace(move.replaceStart, move.replaceLength, move.replacement);
            shown = QString(now).insert(move.cursor, u'|');
        } else {
            record(history, now, QString(step).remove(u'|'), int(step.indexOf(u'|')));
            shown = step;
        }
    }
    QCOMPARE(shown, result);
    QCOMPARE(history.canUndo(), canUndo);
    QCOMPARE(history.canRedo(), canRedo);
}

void EditingTest::fullHistoryKeepsTheRecentSteps() {
    const int steps = UndoHistory::kCapacity + 5;
    UndoHistory history;
    QString now = "0";
    for (int i = 1; i <= steps; ++i)
        record(history, now, QString::number(i), 0);
    int undone = 0;
    for (; history.canUndo() && undone <= steps; ++undone) {
        const UndoHistory::Move move = history.undo();
        now.replace(move.replaceStart, move.replaceLength, move.replacement);
    }
    // The five oldest steps gave way to the newest.
    QCOMPARE(undone, UndoHistory::kCapacity);
    QCOMPARE(now, QStringLiteral("5"));
}

QTEST_MAIN(EditingTest)
#include "tst_editing.moc"

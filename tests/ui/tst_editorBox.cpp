// The editor box as its users know it, whatever blocks it keeps the text in:
// a random walk of edits checked against a plain string after each step,
// clicks that select a word or a line, and what assistive technology reads.

#include "ui/MultiLineTextBox.h"

#include <QAccessible>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

using Edit = ui::MultiLineTextBox::Edit;

namespace {
QString crlf(QString text) {
    return text.replace(u'\n', QLatin1String("\r\n"));
}

QString letters(QRandomGenerator& random, int n) {
    QString out;
    for (int i = 0; i < n; ++i)
        out += QChar(u'a' + random.bounded(26));
    return out;
}

// lines lines ("\n" between them): empty, short, and now and then one of
// up to longest letters.
QString someLines(QRandomGenerator& random, int lines, int longest) {
    QStringList out;
    for (int i = 0; i < lines; ++i) {
        const int kind = random.bounded(20);
        out << letters(random, kind < 5    ? 0
                               : kind < 19 ? random.bounded(1, 12)
                                           : random.bounded(longest / 2, longest));
    }
    return out.join(u'\n');
}

// A short line within a block, a long word and a long line of words.
const QString shortLines = [] {
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines << QStringLiteral("w%1 x").arg(i, 2, 10, QLatin1Char('0'));
    return lines.join(u'\n');
}();
const QString longWord = QStringLiteral("ahovcjqxelszgnubipwdkryfmt").repeated(116).left(3000);
const QString wordsLine = QStringLiteral("alpha beta gamma delta ").repeated(130);
const QString wordBetween = "ab\n" + longWord + "\ncd";

// A box shown with text, the cursor at at.
void show(ui::MultiLineTextBox& box, const QString& text, int at) {
    box.resize(300, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setText(crlf(text));
    box.setCursorPosition(at);
    QApplication::processEvents();
}
} // namespace

class EditorBoxTest : public QObject {
    Q_OBJECT
private slots:
    void randomEdits_data();
    void randomEdits();
    void clicks_data();
    void clicks();
    void accessible_data();
    void accessible();
};

void EditorBoxTest::randomEdits_data() {
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 4u, 5u})
        QTest::addRow("seed %u", seed) << seed;
}

// Each step types, presses a key a few times, replaces a selection, replaces
// a span and puts it back as Undo does, sets a new text or changes the text
// behind the box's back; the model is a plain string with "\n" line breaks.
void EditorBoxTest::randomEdits() {
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    ui::MultiLineTextBox box;
    QString text = someLines(random, 300, 6000);
    int anchor = 0, cursor = 0, changes = 0, expectedChanges = 1;
    Edit expected{0, QString(), text};
    box.Change = [&] { ++changes; };
    box.setText(crlf(text));
    const auto boxPosition = [&](int p) { return p + int(text.left(p).count(u'\n')); };
    const auto edit = [&](int from, int to, const QString& added) {
        if (from == to && added.isEmpty())
            return;
        expected = Edit{from, text.mid(from, to - from), added};
        text.replace(from, to - from, added);
        anchor = cursor = from + int(added.size());
        ++expectedChanges;
    };
    const auto press = [&](Qt::Key key) {
        QTest::keyClick(&box, key);
        const int size = int(text.size());
        if (key == Qt::Key_Return)
            edit(cursor, cursor, "\n");
        else if (key == Qt::Key_Backspace)
            edit(qMax(0, cursor - 1), cursor, {});
        else if (key == Qt::Key_Delete)
            edit(cursor, qMin(cursor + 1, size), {});
        else
            anchor = cursor = qBound(0, cursor + (key == Qt::Key_Right ? 1 : -1), size);
    };
    // Where the document's blocks meet, in the text's positions: half of the
    // positions the walk picks are at one or near one.
    QList<int> edges{0};
    const auto edgeAfter = [&](int from) {
        const qsizetype i = std::lower_bound(edges.begin(), edges.end(), from) - edges.begin();
        return edges[qMin(i + random.bounded(4), edges.size() - 1)] + random.bounded(-1, 3);
    };
    for (int step = 0; step < 300; ++step) {
        const int size = int(text.size()), somewhere = random.bounded(size + 1);
        const int at = qBound(0, random.bounded(2) ? edgeAfter(somewhere) : somewhere, size);
        const int to = random.bounded(2) ? edgeAfter(at) : at + random.bounded(3000);
        const int span = qBound(at, to, qMin(size, at + 3000)) - at, run = random.bounded(1, 40);
        anchor = cursor = at;
        box.select(boxPosition(at), boxPosition(at + span) - boxPosition(at));
        switch (random.bounded(8)) {
        case 0: // letters
            box.setSelStart(boxPosition(at));
            for (QChar c : letters(random, run)) {
                QTest::keyClick(&box, c.toLatin1());
                edit(cursor, cursor, c);
            }
            break;
        case 1: { // a key a few times
            const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete,
                                    Qt::Key_Right, Qt::Key_Left};
            const Qt::Key key = keys[random.bounded(5)];
            box.setSelStart(boxPosition(at));
            for (int i = key == Qt::Key_Return ? run / 10 : run; i >= 0; --i)
                press(key);
            break;
        }
        case 2: {
            const QString added = someLines(random, random.bounded(1, 6), 1500);
            box.setSelText(crlf(added));
            edit(at, at + span, added);
            break;
        }
        case 3: {
            const QString added = someLines(random, random.bounded(1, 4), 800);
            box.replace(at, span, added);
            edit(at, at + span, added);
            QCOMPARE(box.cursorPosition(), cursor);
            const Edit undo = expected;
            box.replace(undo.position, int(undo.added.size()), undo.removed);
            edit(undo.position, undo.position + int(undo.added.size()), undo.removed);
            break;
        }
        case 4:
            if (random.bounded(3) == 0) {
                const QString added = someLines(random, 200, 6000);
                box.setText(crlf(added));
                edit(0, size, added);
                anchor = cursor = 0;
            } else { // changes behind the box's back: a letter, a format
                box.setCursorPosition(size);
                QTextCursor(box.document()).insertText(QStringLiteral("q"));
                text.prepend(u'q');
                anchor = cursor = size + 1;
                QTextCursor all(box.document());
                all.select(QTextCursor::Document);
                all.setCharFormat(QTextCharFormat());
                expected = Edit{-1, QString(), QString()};
                expectedChanges += 2; // the letter, the format
            }
            break;
        default: // only the selection
            cursor = at + span;
        }
        QCOMPARE(box.Text(), crlf(text));
        QCOMPARE(box.SelStart(), boxPosition(qMin(anchor, cursor)));
        QCOMPARE(box.SelText(), crlf(text.mid(qMin(anchor, cursor), qAbs(anchor - cursor))));
        QCOMPARE(box.cursorPosition(), cursor);
        QCOMPARE(changes, expectedChanges);
        const Edit& last = box.lastEdit();
        QCOMPARE(std::tuple(last.position, last.removed, last.added),
                 std::tuple(expected.position, expected.removed, expected.added));
        // A keystroke lays out one block: a few hundred characters at most.
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
            QVERIFY2(block.length() <= 512, qPrintable(QString::number(block.length())));
        // The document breaks a row only at a line break of the text, or within
        // a line between two of its characters.
        const QString raw = box.document()->toRawText();
        const auto isBreak = [&raw](qsizetype i) {
            return raw.at(i) == QChar::ParagraphSeparator || raw.at(i) == QChar::LineSeparator;
        };
        QString unwrapped;
        edges = {0};
        for (qsizetype i = 0; i < raw.size(); ++i) {
            const qsizetype t = unwrapped.size();
            if (raw.at(i) == QChar::ParagraphSeparator)
                edges << int(t);
            if (isBreak(i) && (t == text.size() || text.at(t) != u'\n'))
                QVERIFY(i > 0 && i + 1 < raw.size() && !isBreak(i - 1) && !isBreak(i + 1));
            else
                unwrapped += isBreak(i) ? QChar(u'\n') : raw.at(i);
        }
        QCOMPARE(unwrapped, text);
    }
    // Many lines pasted are packed into blocks, not one block a line.
    const int blocks = box.document()->blockCount();
    const QString pasted = QStringLiteral("word\n").repeated(10000);
    box.setSelText(crlf(pasted));
    edit(qMin(anchor, cursor), qMax(anchor, cursor), pasted);
    QCOMPARE(box.Text(), crlf(text));
    QVERIFY(box.document()->blockCount() - blocks < 1000);
}

// The box is shown with text; the pointer clicks at positions in turn (2: a
// double click, 3: a triple click), each soon after the one before; then what
// is selected is read by the user and by assistive technology, and a key typed.
void EditorBoxTest::clicks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("clicks"); // position, clicks, position, clicks...
    QTest::addColumn<int>("start");         // of what is selected
    QTest::addColumn<int>("length");
    const auto row = [](const char* name, const QString& text, QList<int> clicks, int start,
                        int length) { QTest::newRow(name) << text << clicks << start << length; };
    const int w05 = int(shortLines.indexOf(QLatin1String("w05")));
    // The line of words is cut into pieces of 249 or 250 characters, one at 1495, where
    // "alpha" begins; without its first 10 characters, one at 1490, where "alpha" ends.
    const int gamma = int(wordsLine.indexOf(QLatin1String("gamma"), 1500)); // within a piece
    row("triple click: a short line within a block", shortLines, {w05 + 1, 3}, w05, 5);
    row("triple click: a line of words", "ab\n" + wordsLine, {1500, 3}, 3, 2990);
    row("double click: a word in a short line", shortLines, {w05 + 1, 2}, w05, 3);
    row("double click: a long word, across soft breaks", wordBetween, {1500, 2}, 3, 3000);
    row("double click: a word that ends a piece", wordsLine.mid(10), {1487, 2}, 1485, 5);
    row("double click: a word that begins a piece", wordsLine, {1497, 2}, 1495, 5);
    row("double click, a click elsewhere", wordsLine, {gamma + 2, 2, gamma + 14, 1}, gamma + 14, 0);
    row("double click, a click elsewhere, a click back", wordsLine,
        {gamma + 2, 2, gamma + 14, 1, gamma + 2, 1}, gamma + 2, 0);
}

void EditorBoxTest::clicks() {
    QFETCH(QString, text);
    QFETCH(QList<int>, clicks);
    QFETCH(int, start);
    QFETCH(int, length);
    ui::MultiLineTextBox box;
    show(box, text, clicks.first());
    QList<QPoint> points; // all in view with the first
    for (qsizetype i = clicks.size() - 2; i >= 0; i -= 2) {
        box.setCursorPosition(clicks[i]);
        points.prepend(box.cursorRect().center());
    }
    QWidget* view = box.viewport();
    for (qsizetype i = 0; i < clicks.size(); i += 2)
        for (int n = 1; n <= clicks[i + 1]; ++n) {
            QTest::mousePress(view, Qt::LeftButton, {}, points[i / 2]);
            if (n == 2) // the system follows the second press with a double click
                QTest::mouseDClick(view, Qt::LeftButton, {}, points[i / 2]);
            QTest::mouseRelease(view, Qt::LeftButton, {}, points[i / 2]);
        }
    QCOMPARE(box.SelText(), crlf(text.mid(start, length)));
    QAccessibleTextInterface* read = QAccessible::queryAccessibleInterface(&box)->textInterface();
    int first = -1, end = -1;
    read->selection(0, &first, &end);
    QCOMPARE(QList({first, end, read->cursorPosition()}),
             QList({length ? start : 0, length ? start + length : 0, start + length}));
    QTest::keyClick(&box, 'Z');
    QCOMPARE(box.Text(), crlf(text.replace(start, length, QStringLiteral("Z"))));
}

// What assistive technology reads after a key typed at a position (none: no
// key), asked about the line at offset.
void EditorBoxTest::accessible_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("line");
    const int w07 = int(shortLines.indexOf(QLatin1String("w07")));
    const int w08 = int(shortLines.indexOf(QLatin1String("w08")));
    QTest::newRow("a short line within a block") << shortLines << "" << 0 << w07 + 2 << "w07 x";
    QTest::newRow("an empty line") << "a\n\nb" << QString() << 0 << 2 << QString();
    QTest::newRow("a long line, across soft breaks") << wordBetween << "" << 0 << 1500 << longWord;
    QTest::newRow("a letter typed within the long line")
        << wordBetween << "z" << 1500 << 2000 << QString(longWord).insert(1497, u'z');
    QTest::newRow("Enter splits the long line")
        << wordBetween << "Return" << 1500 << 2000 << longWord.mid(1497);
    QTest::newRow("Backspace joins two short lines")
        << shortLines << "Backspace" << w08 << w07 << "w07 xw08 x";
}

void EditorBoxTest::accessible() {
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(int, at);
    QFETCH(int, offset);
    QFETCH(QString, line);
    ui::MultiLineTextBox box;
    show(box, text, at);
    const QKeySequence keys(key);
    for (int i = 0; i < keys.count(); ++i)
        QTest::keyClick(&box, keys[i].key());
    box.setCursorPosition(offset);
    QApplication::processEvents();

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&box);
    QVERIFY(iface && iface->role() == QAccessible::EditableText && iface->textInterface());
    QAccessibleTextInterface* read = iface->textInterface();
    const QString shown = box.Text().replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QCOMPARE(read->characterCount(), shown.size());
    QCOMPARE(read->text(0, read->characterCount()), shown);
    QCOMPARE(iface->text(QAccessible::Value), shown);
    QCOMPARE(read->cursorPosition(), offset);

    // The line at offset, and the lines before and after it.
    const QStringList lines = shown.split(u'\n');
    const int index = int(shown.left(offset).count(u'\n'));
    int start = -1, end = -1;
    QCOMPARE(read->textAtOffset(offset, QAccessible::LineBoundary, &start, &end), line);
    QCOMPARE(shown.mid(start, end - start), lines.value(index));
    QCOMPARE(read->textBeforeOffset(offset, QAccessible::LineBoundary, &start, &end),
             lines.value(index - 1));
    QCOMPARE(read->textAfterOffset(offset, QAccessible::LineBoundary, &start, &end),
             lines.value(index + 1));
    QCOMPARE(read->textAtOffset(offset, QAccessible::CharBoundary, &start, &end),
             shown.mid(offset, 1));

    // Where a character is shown, and which character is shown there.
    if (shown.mid(offset, 1) != u'\n')
        QCOMPARE(read->offsetAtPoint(read->characterRect(offset).center()), offset);
}

QTEST_MAIN(EditorBoxTest)
#include "tst_editorBox.moc"

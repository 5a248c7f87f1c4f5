#include "ui/MultiLineTextBox.h"

#include "ui/keyCodes.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace ui {

namespace {
// A block of the document holds at most this many lines. A block costs the
// document much more than a character does, and a change relays out its
// whole block: a few dozen lines are cheap either way.
constexpr int kLinesPerBlock = 32;

bool isBreak(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n';
}

// Document text (either separator, or "\n") with each line break as CR LF.
QString toBoxText(const QString& documentText) {
    QString out;
    out.reserve(documentText.size() + documentText.size() / 8);
    qsizetype from = 0;
    for (qsizetype i = 0; i < documentText.size(); ++i) {
        if (isBreak(documentText.at(i))) {
            out.append(QStringView(documentText).mid(from, i - from)).append(u"\r\n");
            from = i + 1;
        }
    }
    return out.append(QStringView(documentText).mid(from));
}

// Document text with each line break as "\n".
QString withNewlines(QString documentText) {
    for (QChar& c : documentText)
        if (isBreak(c))
            c = u'\n';
    return documentText;
}

// Box text (CR LF, CR or LF) as the document keeps it: a line separator
// between the lines of a block, a paragraph break ("\n") after every
// kLinesPerBlock lines.
QString toDocumentText(const QString& boxText) {
    QString out;
    out.reserve(boxText.size());
    int lines = 0;
    for (qsizetype i = 0; i < boxText.size(); ++i) {
        const QChar c = boxText.at(i);
        if (c != u'\r' && c != u'\n') {
            out.append(c);
            continue;
        }
        if (c == u'\r' && i + 1 < boxText.size() && boxText.at(i + 1) == u'\n')
            ++i;
        out.append(++lines % kLinesPerBlock ? QChar(QChar::LineSeparator) : QChar(u'\n'));
    }
    return out;
}
} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : FilteredBox<QPlainTextEdit>(parent) {
    setUndoRedoEnabled(false);
    viewport()->setAcceptDrops(false);
    setTabChangesFocus(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Every change of the text goes through edit() or setText(); what else the
    // document reports is layout (text being composed in an input method). A
    // change from elsewhere is reported as one whose content is not known.
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (inOwnEdit_ || composing_ || (removed == 0 && added == 0))
            return;
        lastEdit_ = Edit{-1, QString(), QString()};
        notifyChange();
    });
}

void MultiLineTextBox::edit(QTextCursor cursor, const QString& text) {
    Edit change{cursor.selectionStart(), withNewlines(cursor.selectedText()), text};
    if (change.removed.isEmpty() && change.added.isEmpty())
        return;
    {
        const QScopedValueRollback<bool> own(inOwnEdit_, true);
        cursor.beginEditBlock();
        cursor.insertText(text); // in place of the selection
        cursor.endEditBlock();
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    lastEdit_ = std::move(change);
    notifyChange();
}

QString MultiLineTextBox::Text() const {
    return toBoxText(document()->toRawText());
}

void MultiLineTextBox::setText(const QString& text) {
    const QString documentText = toDocumentText(text);
    const QString old = withNewlines(document()->toRawText());
    const QString added = withNewlines(documentText);
    if (old == added)
        return;
    const QScopedValueRollback<bool> setting(settingText_, true);
    {
        const QScopedValueRollback<bool> own(inOwnEdit_, true);
        setPlainText(documentText);
    }
    // Until it is laid out a block counts as one line: tell the scroll bar
    // how many lines each holds.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        block.setLineCount(int(block.text().count(QChar::LineSeparator)) + 1);
    lastEdit_ = Edit{0, old, added};
    notifyChange();
}

int MultiLineTextBox::toDocumentPosition(int position) const {
    // Each line break is one character here and two in the box.
    const QString text = document()->toRawText();
    qsizetype box = 0;
    qsizetype i = 0;
    for (; i < text.size() && box < position; ++i)
        box += isBreak(text.at(i)) ? 2 : 1;
    return int(i);
}

int MultiLineTextBox::SelStart() const {
    const int position = textCursor().selectionStart();
    const QString text = document()->toRawText();
    int breaks = 0;
    for (int i = 0; i < position; ++i)
        breaks += isBreak(text.at(i));
    return position + breaks;
}

void MultiLineTextBox::setCursorPosition(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, position, document()->characterCount() - 1));
    setTextCursor(cursor);
}

void MultiLineTextBox::setSelStart(int position) {
    setCursorPosition(toDocumentPosition(position));
}

void MultiLineTextBox::select(int start, int length) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(start));
    cursor.setPosition(toDocumentPosition(start + length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString MultiLineTextBox::SelText() const {
    return toBoxText(textCursor().selectedText());
}

void MultiLineTextBox::setSelText(const QString& text) {
    edit(textCursor(), withNewlines(toDocumentText(text)));
}

void MultiLineTextBox::replace(int position, int length, const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    edit(cursor, text);
}

void MultiLineTextBox::Refresh() {
    repaint();
    viewport()->repaint();
}

void MultiLineTextBox::typeCodes(const QList<int>& codes) {
    for (int code : codes) {
        QTextCursor cursor = textCursor();
        if (code == kKeyBackspace) {
            if (!cursor.hasSelection())
                cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
            edit(cursor, QString());
        } else if (code == kKeyEnter || code == kKeyLineFeed) {
            edit(cursor, QStringLiteral("\n"));
        } else if (code >= kKeySpace && code != kKeyCtrlBackspace && code <= kLastCode) {
            edit(cursor, QString(charOfCode(code)));
        }
        // Other control codes type nothing.
    }
}

void MultiLineTextBox::keyPressEvent(QKeyEvent* e) {
    // Delete and Ctrl+Delete delete as the toolkit would, but through edit().
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Delete && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) {
        QTextCursor cursor = textCursor();
        if (!cursor.hasSelection())
            cursor.movePosition(mods == Qt::ControlModifier ? QTextCursor::NextWord
                                                            : QTextCursor::NextCharacter,
                                QTextCursor::KeepAnchor);
        edit(cursor, QString());
        e->accept();
        return;
    }
    FilteredBox<QPlainTextEdit>::keyPressEvent(e);
}

bool MultiLineTextBox::canInsertFromMimeData(const QMimeData*) const {
    return false;
}

void MultiLineTextBox::insertFromMimeData(const QMimeData*) {}

} // namespace ui

#include "ui/MultiLineTextBox.h"

#include "ui/keyCodes.h"

#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace ui {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// The document keeps a paragraph separator where the box shows a line break.
QString toBoxText(QString documentText) {
    documentText.replace(QChar::ParagraphSeparator, kCrLf);
    return documentText;
}

QString toDocumentText(QString boxText) {
    boxText.replace(kCrLf, QStringLiteral("\n"));
    boxText.replace(u'\r', u'\n');
    return boxText;
}
} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : FilteredBox<QPlainTextEdit>(parent) {
    setUndoRedoEnabled(false);
    viewport()->setAcceptDrops(false);
    setTabChangesFocus(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The document also reports changes of layout alone (text being composed
    // in an input method): compare the text itself.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        QString now = toBoxText(document()->toRawText());
        if (now == text_)
            return;
        text_ = std::move(now);
        if (inOwnEdit_)
            changedInOwnEdit_ = true;
        else
            notifyChange();
    });
}

template <class Edit> void MultiLineTextBox::ownEdit(Edit edit) {
    inOwnEdit_ = true;
    changedInOwnEdit_ = false;
    edit();
    inOwnEdit_ = false;
    if (changedInOwnEdit_)
        notifyChange();
}

QString MultiLineTextBox::Text() const {
    return text_;
}

void MultiLineTextBox::setText(const QString& text) {
    if (text == Text())
        return;
    const QScopedValueRollback<bool> setting(settingText_, true);
    ownEdit([&] { setPlainText(toDocumentText(text)); });
}

int MultiLineTextBox::SelStart() const {
    const int position = textCursor().selectionStart();
    return position + document()->findBlock(position).blockNumber();
}

int MultiLineTextBox::toDocumentPosition(int position) const {
    if (position <= 0)
        return 0;
    // Block k starts at document position p and box position p + k: find the
    // last block that starts at or before position.
    const QTextDocument* doc = document();
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= position)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const int offset = position - (block.position() + low);
    // Inside the CR LF pair, or past the end: the end of the line.
    return block.position() + qMin(offset, block.length() - 1);
}

void MultiLineTextBox::setSelStart(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(position));
    setTextCursor(cursor);
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
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() && text.isEmpty())
        return;
    ownEdit([&] {
        cursor.beginEditBlock();
        cursor.insertText(toDocumentText(text));
        cursor.endEditBlock();
        setTextCursor(cursor);
    });
    ensureCursorVisible();
}

void MultiLineTextBox::Refresh() {
    repaint();
    viewport()->repaint();
}

void MultiLineTextBox::typeCodes(const QList<int>& codes) {
    if (codes.isEmpty())
        return;
    ownEdit([&] {
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        for (int code : codes) {
            if (code == kKeyBackspace) {
                if (cursor.hasSelection())
                    cursor.removeSelectedText();
                else
                    cursor.deletePreviousChar();
            } else if (code == kKeyEnter || code == kKeyLineFeed) {
                cursor.insertBlock();
            } else if (code >= kKeySpace && code != kKeyCtrlBackspace && code <= kLastCode) {
                cursor.insertText(QString(charOfCode(code)));
            }
            // Other control codes type nothing.
        }
        cursor.endEditBlock();
        setTextCursor(cursor);
    });
    ensureCursorVisible();
}

bool MultiLineTextBox::canInsertFromMimeData(const QMimeData*) const {
    return false;
}

void MultiLineTextBox::insertFromMimeData(const QMimeData*) {}

} // namespace ui

#include "ui/MultiLineTextBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
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

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setTabChangesFocus(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed == 0 && added == 0)
            return;
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

QString MultiLineTextBox::Text() const { return toBoxText(document()->toRawText()); }

void MultiLineTextBox::setText(const QString& text) {
    if (text == Text())
        return;
    ownEdit([&] { setPlainText(toDocumentText(text)); });
}

int MultiLineTextBox::SelStart() const {
    const int position = textCursor().selectionStart();
    return position + document()->findBlock(position).blockNumber();
}

int MultiLineTextBox::toDocumentPosition(int position) const {
    if (position <= 0)
        return 0;
    // Block k starts at document position p and box position p + k.
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        const int boxStart = block.position() + block.blockNumber();
        const int boxEnd = boxStart + block.length() - 1; // before the line break
        if (position <= boxEnd)
            return block.position() + (position - boxStart);
        if (position < boxEnd + 2) // inside the CR LF pair
            return block.position() + block.length() - 1;
    }
    return document()->characterCount() - 1;
}

void MultiLineTextBox::setSelStart(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(position));
    setTextCursor(cursor);
}

void MultiLineTextBox::Select(int start, int length) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(start));
    cursor.setPosition(toDocumentPosition(start + length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString MultiLineTextBox::SelText() const { return toBoxText(textCursor().selectedText()); }

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
            if (code == 8) {
                if (cursor.hasSelection())
                    cursor.removeSelectedText();
                else
                    cursor.deletePreviousChar();
            } else if (code == 13 || code == 10) {
                cursor.insertBlock();
            } else if (code >= 32 && code != 127 && code <= 255) {
                cursor.insertText(QString(CharOfCode(code)));
            }
            // Other control codes type nothing.
        }
        cursor.endEditBlock();
        setTextCursor(cursor);
    });
    ensureCursorVisible();
}

bool MultiLineTextBox::event(QEvent* e) {
    if (LeaveShortcutToMenus(e))
        return true;
    return QPlainTextEdit::event(e);
}

void MultiLineTextBox::keyPressEvent(QKeyEvent* e) {
    bool handled = false;
    const QList<int> codes = filterKey(*e, handled);
    if (handled) {
        typeCodes(codes);
        e->accept();
        return;
    }
    if (IsToolkitEditKey(*e)) { // Shift+Insert, Ctrl+Insert, Shift+Delete, Alt+Backspace
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e); // navigation, Delete
}

void MultiLineTextBox::inputMethodEvent(QInputMethodEvent* e) {
    const QString commit = e->commitString();
    if (commit.isEmpty() && e->replacementLength() == 0) {
        QPlainTextEdit::inputMethodEvent(e); // composing: shown, not yet typed
        return;
    }
    QInputMethodEvent composingOnly(e->preeditString(), e->attributes());
    QPlainTextEdit::inputMethodEvent(&composingOnly);
    typeCodes(filterText(commit));
    e->accept();
}

void MultiLineTextBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(e);
}

void MultiLineTextBox::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) { // X11 selection paste
        e->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(e);
}

bool MultiLineTextBox::canInsertFromMimeData(const QMimeData*) const { return false; }

void MultiLineTextBox::insertFromMimeData(const QMimeData*) {}

} // namespace ui

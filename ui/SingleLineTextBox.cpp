#include "ui/SingleLineTextBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

SingleLineTextBox::SingleLineTextBox(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
    connect(this, &QLineEdit::textChanged, this, [this] { notifyChange(); });
}

int SingleLineTextBox::SelStart() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void SingleLineTextBox::setSelStart(int position) {
    deselect();
    setCursorPosition(position);
}

void SingleLineTextBox::setSelText(const QString& text) {
    if (!hasSelectedText() && text.isEmpty())
        return;
    insert(text);
}

void SingleLineTextBox::typeCodes(const QList<int>& codes) {
    for (int code : codes) {
        if (code == 8)
            backspace();
        else if (code >= 32 && code != 127 && code <= 255)
            insert(QString(CharOfCode(code)));
        // Enter and other control codes type nothing in a one-line box.
    }
}

bool SingleLineTextBox::event(QEvent* e) {
    if (LeaveShortcutToMenus(e))
        return true;
    return QLineEdit::event(e);
}

void SingleLineTextBox::keyPressEvent(QKeyEvent* e) {
    bool handled = false;
    const QList<int> codes = filterKey(*e, handled);
    if (handled) {
        typeCodes(codes);
        e->accept();
        return;
    }
    if (IsToolkitEditKey(*e)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void SingleLineTextBox::inputMethodEvent(QInputMethodEvent* e) {
    const QString commit = e->commitString();
    if (commit.isEmpty() && e->replacementLength() == 0) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    QInputMethodEvent composingOnly(e->preeditString(), e->attributes());
    QLineEdit::inputMethodEvent(&composingOnly);
    typeCodes(filterText(commit));
    e->accept();
}

void SingleLineTextBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QLineEdit::mousePressEvent(e);
}

void SingleLineTextBox::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

} // namespace ui

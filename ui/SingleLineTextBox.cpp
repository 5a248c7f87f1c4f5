#include "ui/SingleLineTextBox.h"

#include <QScopedValueRollback>

#include "ui/keyCodes.h"

namespace ui {

SingleLineTextBox::SingleLineTextBox(QWidget* parent) : FilteredBox<QLineEdit>(parent) {
    setDragEnabled(false);
    connect(this, &QLineEdit::textChanged, this, [this] { notifyChange(); });
}

void SingleLineTextBox::setText(const QString& text) {
    const QScopedValueRollback<bool> setting(settingText_, true);
    QLineEdit::setText(text);
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
        if (code == kKeyBackspace)
            backspace();
        else if (code >= kKeySpace && code != kKeyCtrlBackspace && code <= kLastCode)
            insert(QString(charOfCode(code)));
        // Enter and other control codes type nothing in a one-line box.
    }
}

} // namespace ui

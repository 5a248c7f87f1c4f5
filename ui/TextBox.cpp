#include "ui/TextBox.h"

#include "store/textFile.h"

#include <QKeyEvent>

namespace ui {

QList<int> TextBox::filterText(const QString& text) {
    QList<int> codes;
    for (QChar c : text) {
        if (c.unicode() < 32 || c.unicode() == 127)
            continue; // control characters only come from keys, see WindowsKeyCodes
        int code = CodeOfChar(c);
        if (KeyPress)
            KeyPress(code);
        if (code != 0)
            codes.append(code);
    }
    return codes;
}

QList<int> TextBox::filterKey(const QKeyEvent& event, bool& handled) {
    const QList<int> typed = WindowsKeyCodes(event);
    handled = !typed.isEmpty();
    QList<int> codes;
    for (int code : typed) {
        if (KeyPress)
            KeyPress(code);
        if (code != 0)
            codes.append(code);
    }
    return codes;
}

QList<int> WindowsKeyCodes(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);
    const int key = event.key();

    if (alt && !ctrl)
        return {}; // menu access keys and Alt+Backspace type nothing

    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {ctrl ? 10 : 13};
    case Qt::Key_Backspace:
        return {ctrl ? 127 : 8};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {9};
    case Qt::Key_Escape:
        return {27};
    case Qt::Key_Delete:
        return {};
    default:
        break;
    }

    if (ctrl && !alt) {
        // Control codes come from the key, not from the event's text: X11
        // sends "\x03" for Ctrl+C, a synthetic event sends "c".
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return {key - Qt::Key_A + 1};
        switch (key) {
        case Qt::Key_BracketLeft:
            return {27};
        case Qt::Key_Backslash:
            return {28};
        case Qt::Key_BracketRight:
            return {29};
        case Qt::Key_Space:
            return {32};
        default:
            return {};
        }
    }

    QList<int> codes;
    for (QChar c : event.text()) {
        if (c.unicode() >= 32 && c.unicode() != 127)
            codes.append(CodeOfChar(c));
    }
    return codes;
}

bool IsToolkitEditKey(const QKeyEvent& event) {
    for (auto key : {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Copy,
                     QKeySequence::Paste})
        if (event.matches(key))
            return true;
    return false;
}

bool LeaveShortcutToMenus(QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    key->ignore(); // the toolkit's text boxes would claim Ctrl+C, Ctrl+V, ...
    return true;
}

QChar CharOfCode(int code) {
    const QString decoded = store::decodeText(QByteArray(1, char(code & 0xFF)));
    return decoded.isEmpty() ? QChar(u'?') : decoded.at(0);
}

int CodeOfChar(QChar c) {
    if (c.unicode() < 128)
        return c.unicode();
    const QByteArray bytes = store::encodeText(QString(c));
    return bytes.size() == 1 ? static_cast<unsigned char>(bytes.at(0)) : 63;
}

} // namespace ui

#include "ui/TextBox.h"

#include "store/textFile.h"
#include "ui/keyCodes.h"

#include <QKeyEvent>

namespace ui {

QList<int> TextBox::filterText(const QString& text) {
    QList<int> codes;
    for (QChar c : text) {
        if (c.unicode() < kKeySpace || c.unicode() == kKeyCtrlBackspace)
            continue; // control characters only come from keys, see windowsKeyCodes
        int code = codeOfChar(c);
        if (KeyPress)
            KeyPress(code);
        if (code != 0)
            codes.append(code);
    }
    return codes;
}

QList<int> TextBox::filterKey(const QKeyEvent& event, bool& handled) {
    const QList<int> typed = windowsKeyCodes(event);
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

QList<int> windowsKeyCodes(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);
    const int key = event.key();

    if (alt && !ctrl)
        return {}; // menu access keys and Alt+Backspace type nothing

    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {ctrl ? kKeyLineFeed : kKeyEnter};
    case Qt::Key_Backspace:
        return {ctrl ? kKeyCtrlBackspace : kKeyBackspace};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {kKeyTab};
    case Qt::Key_Escape:
        return {kKeyEscape};
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
            return {kKeyEscape};
        case Qt::Key_Backslash:
            return {28};
        case Qt::Key_BracketRight:
            return {29};
        case Qt::Key_Space:
            return {kKeySpace};
        default:
            return {};
        }
    }

    QList<int> codes;
    for (QChar c : event.text()) {
        if (c.unicode() >= kKeySpace && c.unicode() != kKeyCtrlBackspace)
            codes.append(codeOfChar(c));
    }
    return codes;
}

bool isToolkitEditKey(const QKeyEvent& event) {
    for (auto key : {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Copy,
                     QKeySequence::Paste})
        if (event.matches(key))
            return true;
    return false;
}

bool leaveShortcutToMenus(QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    key->ignore(); // the toolkit's text boxes would claim Ctrl+C, Ctrl+V, ...
    return true;
}

QChar charOfCode(int code) {
    const QString decoded = store::decodeText(QByteArray(1, char(code & 0xFF)));
    return decoded.isEmpty() ? QChar(u'?') : decoded.at(0);
}

int codeOfChar(QChar c) {
    if (c.unicode() < 128)
        return c.unicode();
    const QByteArray bytes = store::encodeText(QString(c));
    return bytes.size() == 1 ? static_cast<unsigned char>(bytes.at(0)) : 63;
}

} // namespace ui

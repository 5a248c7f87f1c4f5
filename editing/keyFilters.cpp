#include "editing/keyFilters.h"

#include "editing/rejection.h"
#include "ui/TextBox.h"

namespace editing {

namespace {
bool isCapital(int code) {
    return code >= 'A' && code <= 'Z';
}
bool isSmall(int code) {
    return code >= 'a' && code <= 'z';
}
} // namespace

EditorKey FilterEditorKey(int& keyCode) {
    switch (keyCode) {
    case 3:
        return EditorKey::Copy;
    case 22:
        return EditorKey::Paste;
    case 24:
        return EditorKey::Cut;
    case ' ':
        keyCode = 0;
        return EditorKey::Refused;
    default:
        break;
    }
    if (isCapital(keyCode)) {
        keyCode += 'a' - 'A';
        return EditorKey::Typed;
    }
    if (isSmall(keyCode) || keyCode == 10 || keyCode == 13 || keyCode == 8)
        return EditorKey::Typed;
    keyCode = 0;
    return EditorKey::Refused;
}

NameKey FilterNameKey(int& keyCode, int lengthBefore) {
    if (keyCode == 13)
        return NameKey::Enter;
    if (keyCode == 8)
        return NameKey::Typed;
    if ((isCapital(keyCode) || isSmall(keyCode) || keyCode == ' ') && lengthBefore < kMaxNameLength)
        return NameKey::Typed;
    keyCode = 0;
    return NameKey::Refused;
}

void NameBoxKeyPress(ui::TextBox& box, int& keyCode, const std::function<void()>& ok) {
    switch (FilterNameKey(keyCode, int(box.Text().size()))) {
    case NameKey::Enter:
        ok();
        break;
    case NameKey::Refused:
        globals::SignalRejection(box);
        break;
    case NameKey::Typed:
        break;
    }
}

} // namespace editing

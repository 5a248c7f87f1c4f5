#include "editing/keyFilters.h"

#include "editing/rejection.h"
#include "ui/TextBox.h"
#include "ui/keyCodes.h"

namespace editing {

using ui::kKeyBackspace;
using ui::kKeyCtrlC;
using ui::kKeyCtrlV;
using ui::kKeyCtrlX;
using ui::kKeyEnter;
using ui::kKeyLineFeed;
using ui::kKeySpace;

namespace {
bool isCapital(int code) {
    return code >= 'A' && code <= 'Z';
}
bool isSmall(int code) {
    return code >= 'a' && code <= 'z';
}
} // namespace

EditorKey filterEditorKey(int& keyCode) {
    switch (keyCode) {
    case kKeyCtrlC:
        return EditorKey::Copy;
    case kKeyCtrlV:
        return EditorKey::Paste;
    case kKeyCtrlX:
        return EditorKey::Cut;
    case kKeySpace:
        keyCode = 0;
        return EditorKey::Refused;
    default:
        break;
    }
    if (isCapital(keyCode)) {
        keyCode += 'a' - 'A';
        return EditorKey::Typed;
    }
    if (isSmall(keyCode) || keyCode == kKeyLineFeed || keyCode == kKeyEnter ||
        keyCode == kKeyBackspace)
        return EditorKey::Typed;
    keyCode = 0;
    return EditorKey::Refused;
}

NameKey filterNameKey(int& keyCode, int lengthBefore) {
    if (keyCode == kKeyEnter)
        return NameKey::Enter;
    if (keyCode == kKeyBackspace)
        return NameKey::Typed;
    if ((isCapital(keyCode) || isSmall(keyCode) || keyCode == kKeySpace) &&
        lengthBefore < kMaxNameLength)
        return NameKey::Typed;
    keyCode = 0;
    return NameKey::Refused;
}

void nameBoxKeyPress(ui::TextBox& box, int& keyCode, const std::function<void()>& ok) {
    switch (filterNameKey(keyCode, int(box.Text().size()))) {
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

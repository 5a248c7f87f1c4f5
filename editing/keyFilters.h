#pragma once
// What may be typed: into the editor, small letters and line breaks; into a
// list-name box, letters and spaces up to 15 characters. Key codes are
// Windows-1252 codes as the text boxes deliver them (see ui/TextBox.h).

#include <functional>

namespace ui {
class TextBox;
}

namespace editing {

enum class EditorKey {
    Copy,   // Ctrl+C: runs Copy; the Changed flag stays
    Paste,  // Ctrl+V: runs Paste; the list is changed
    Cut,    // Ctrl+X: runs Cut; the list is changed
    Typed,  // let through (capitals made small); the list is changed
    Refused // dropped (the code is now 0); answered by the rejection signal
};

// The editor's filter: decides a key, and may rewrite its code.
EditorKey filterEditorKey(int& keyCode);

constexpr int kMaxNameLength = 15;
constexpr int kMinNameLength = 2;

enum class NameKey {
    Enter,  // runs the dialog's OK
    Typed,  // let through unchanged
    Refused // dropped; answered by the rejection signal
};

// The list-name filter. The length is the box's text before the key, whether
// or not part of it is selected.
NameKey filterNameKey(int& keyCode, int lengthBefore);

// The key handler of a list-name box: Enter runs ok, a refused key is dropped
// with the rejection signal on the box.
void nameBoxKeyPress(ui::TextBox& box, int& keyCode, const std::function<void()>& ok);

} // namespace editing

#pragma once
// The Windows-1252 codes that the text boxes hand to their KeyPress handler
// for keys that are not a printable character.

namespace ui {

constexpr int kKeyCtrlC = 3;
constexpr int kKeyBackspace = 8;
constexpr int kKeyTab = 9;
constexpr int kKeyLineFeed = 10; // Ctrl+Enter
constexpr int kKeyEnter = 13;
constexpr int kKeyCtrlV = 22;
constexpr int kKeyCtrlX = 24;
constexpr int kKeyEscape = 27; // also Ctrl+[
constexpr int kKeySpace = 32;
constexpr int kKeyCtrlBackspace = 127;
constexpr int kLastCode = 255; // codes above are not Windows-1252 characters

} // namespace ui

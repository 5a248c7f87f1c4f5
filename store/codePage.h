#pragma once
// The code page of the data files, Windows-1252, as the system offers it:
// what each of its 256 bytes stands for. ICU has it where Qt is built with
// ICU (Linux); on Windows the system itself has it.

#include <array>

namespace store {

// Every byte round-trips: a byte that Windows-1252 leaves undefined stands
// for the code point of the same number.
const std::array<char16_t, 256>& windows1252();

} // namespace store

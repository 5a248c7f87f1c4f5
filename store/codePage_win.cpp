// Qt offers no Windows-1252 converter without ICU, which its Windows build
// leaves out: the system's own tables do it.
#include "store/codePage.h"

#include <windows.h>

namespace store {

const std::array<char16_t, 256>& windows1252() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const char byte = char(i);
            wchar_t wide = 0;
            t[std::size_t(i)] = MultiByteToWideChar(1252, 0, &byte, 1, &wide, 1) == 1
                                    ? char16_t(wide)
                                    : char16_t(i);
        }
        return t;
    }();
    return table;
}

} // namespace store

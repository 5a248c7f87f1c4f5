#include "store/codePage.h"

#include <QByteArray>
#include <QStringDecoder>

namespace store {

const std::array<char16_t, 256>& windows1252() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString decoded = QStringDecoder("windows-1252").decode(all);
        for (int i = 0; i < 256; ++i)
            t[std::size_t(i)] = decoded.size() == 256 ? decoded.at(i).unicode() : char16_t(i);
        return t;
    }();
    return table;
}

} // namespace store

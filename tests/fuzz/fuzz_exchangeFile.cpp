// Fuzzes the exchange file reader: each input is the bytes of an exchange file.
// What the reader makes of it must follow the format, and the sections of a
// file it accepts must come back unchanged when written out and read again.

#include "exchange/exchangeFile.h"

#include <cstdint>
#include <cstdlib>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const exchange::ExchangeFile file = exchange::readExchangeFile(bytes);
    // Unreadable only when empty; accepted only when the first line is a header.
    const bool accepted = file.status == exchange::ReadStatus::Ok;
    require((file.status == exchange::ReadStatus::Unreadable) == (size == 0));
    require(accepted == bytes.startsWith("***") && accepted != file.sections.isEmpty());
    for (const exchange::Section& section : file.sections) {
        // A name that the safety test passes stays one file name in the list folder.
        const QString& name = section.name;
        require(exchange::isUnsafeListName(name) ||
                !(name.contains(u'/') || name.contains(u'\\') || name == QLatin1String("..")));
        // Word lines: one line each, not empty, not a header, in small letters.
        for (const QString& word : section.words)
            require(!word.isEmpty() && !word.contains(u'\r') && !word.contains(u'\n') &&
                    !exchange::isHeader(word) && word.toLower() == word);
    }
    const QByteArray written = exchange::writeExchangeFile(file.sections);
    require(exchange::readExchangeFile(written).sections == file.sections);
    return 0;
}

// Fuzzes the exchange file reader: each input is the bytes of an exchange file.
// What the reader makes of it must follow the format, and the sections of a
// file it accepts must come back unchanged when written out and read again.

#include "require.h"
#include "store/exchangeFile.h"
#include "store/textFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const store::ExchangeFile file = store::readExchangeFile(bytes);
    // Unreadable only when empty; accepted only when the first line is a header
    // (after the byte-order mark of a UTF-8 file).
    const QByteArray text = store::codePageBytes(bytes);
    const bool accepted = file.status == store::ExchangeStatus::Ok;
    require((file.status == store::ExchangeStatus::Unreadable) == text.isEmpty());
    require(accepted == text.startsWith("***") && accepted != file.sections.isEmpty());
    for (const store::Section& section : file.sections) {
        // A name that the safety test passes stays one file name in the list folder.
        const QString& name = section.name;
        require(store::isUnsafeListName(name) ||
                !(name.contains(u'/') || name.contains(u'\\') || name == QLatin1String("..")));
        // Word lines: one line each, not empty, not a header, in small letters.
        for (const QString& word : section.words)
            require(!word.isEmpty() && !word.contains(u'\r') && !word.contains(u'\n') &&
                    !store::isHeader(word) && word.toLower() == word);
    }
    const QByteArray written = store::writeExchangeFile(file.sections);
    require(store::readExchangeFile(written).sections == file.sections);
    return 0;
}

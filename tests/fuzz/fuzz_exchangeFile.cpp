// Fuzzes the exchange file reader: each input is the bytes of an exchange
// file. What the reader gives back is checked against the format, and a file
// it accepts must survive being written out and read again unchanged.

#include "exchange/exchangeFile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "exchange reader: %s\n", what);
        std::abort();
    }
}

bool holdsLineEnd(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const exchange::ExchangeFile file = exchange::readExchangeFile(bytes);

    switch (file.status) {
    case exchange::ReadStatus::Unreadable:
        check(size == 0, "a file with bytes was unreadable");
        check(file.sections.isEmpty(), "sections from an unreadable file");
        return 0;
    case exchange::ReadStatus::NoHeader:
        check(!bytes.startsWith("***"), "a file starting with a header was refused");
        check(file.sections.isEmpty(), "sections from a refused file");
        return 0;
    case exchange::ReadStatus::Ok:
        check(bytes.startsWith("***"), "a file without a first header was accepted");
        check(!file.sections.isEmpty(), "an accepted file without sections");
        break;
    }

    qsizetype lines = 0;
    for (const exchange::Section& section : file.sections) {
        check(!holdsLineEnd(section.name), "a line end in a name");
        // Whatever the name, the safety test answers; a name it passes stays
        // one file name inside the list folder.
        if (!exchange::isUnsafeListName(section.name)) {
            check(!section.name.contains(u'/') && !section.name.contains(u'\\') &&
                      section.name != QLatin1String("..") && section.name != QLatin1String("."),
                  "a path passed as a safe name");
        }
        for (const QString& word : section.words) {
            check(!word.isEmpty(), "an empty word line was kept");
            check(!holdsLineEnd(word), "a line end in a word");
            check(!word.startsWith(QLatin1String("***")), "a header read as a word");
            check(word.toLower() == word, "a word not in small letters");
        }
        lines += 1 + section.words.size();
    }
    check(std::size_t(lines) <= size, "more lines than bytes");

    // Written out and read back, the sections are the same.
    const QByteArray written = exchange::writeExchangeFile(file.sections);
    const exchange::ExchangeFile again = exchange::readExchangeFile(written);
    check(again.status == exchange::ReadStatus::Ok, "a written file was refused");
    check(again.sections == file.sections, "the sections changed on the way round");
    return 0;
}

#include "store/textFile.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace store {

namespace {
constexpr const char* kCodePage = "windows-1252";

// What each of the code page's 256 bytes stands for, as the code page's
// decoder says, once: decoding is then a look-up a byte.
const std::array<char16_t, 256>& codePage() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString decoded = QStringDecoder(kCodePage).decode(all);
        for (int i = 0; i < 256; ++i)
            t[std::size_t(i)] = decoded.size() == 256 ? decoded.at(i).unicode() : char16_t(i);
        return t;
    }();
    return table;
}
} // namespace

QString decodeText(const QByteArray& bytes) {
    const std::array<char16_t, 256>& table = codePage();
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes)
        *out++ = table[static_cast<unsigned char>(c)];
    return text;
}

QByteArray encodeText(const QString& text) {
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        return text.toLatin1();
    QStringEncoder encoder(kCodePage);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    // Rare: a character from outside the code page. Encode one at a time so
    // each such character becomes a single '?'.
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder one(kCodePage);
        QByteArray b = one.encode(QStringView(text).mid(i, n));
        out += one.hasError() ? QByteArray("?") : b;
        i += n - 1;
    }
    return out;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList readLines(const QByteArray& bytes) {
    return splitLines(decodeText(bytes));
}

QByteArray joinLines(const QStringList& lines) {
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return encodeText(text);
}

QByteArray withCrLfLineEnds(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    appendWithCrLfLineEnds(out, bytes);
    return out;
}

void appendWithCrLfLineEnds(QByteArray& out, const QByteArray& bytes) {
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        out.append(bytes.constData() + start, i - start);
        out.append("\r\n", 2);
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n) {
        out.append(bytes.constData() + start, n - start);
        out.append("\r\n", 2);
    }
}

} // namespace store

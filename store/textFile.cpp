#include "store/textFile.h"

#include "store/codePage.h"

#include <QStringDecoder>

#include <array>
#include <memory>

namespace store {

namespace {
// The byte of each code point that the code page has; 0 for the others (and
// for U+0000, whose byte is 0 too).
const std::array<unsigned char, 0x10000>& bytesOfCodePoints() {
    static const std::unique_ptr<std::array<unsigned char, 0x10000>> bytes = [] {
        auto b = std::make_unique<std::array<unsigned char, 0x10000>>();
        b->fill(0);
        const std::array<char16_t, 256>& table = windows1252();
        for (int i = 255; i > 0; --i)
            (*b)[table[std::size_t(i)]] = static_cast<unsigned char>(i);
        return b;
    }();
    return *bytes;
}
} // namespace

QString decodeText(const QByteArray& bytes) {
    const std::array<char16_t, 256>& table = windows1252();
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes)
        *out++ = table[static_cast<unsigned char>(c)];
    return text;
}

QByteArray codePageBytes(const QByteArray& file) {
    static const QByteArray mark = QByteArrayLiteral("\xEF\xBB\xBF");
    if (!file.startsWith(mark))
        return file;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(file).sliced(mark.size()));
    return utf8.hasError() ? file.mid(mark.size()) : encodeText(text);
}

QByteArray encodeText(const QString& text) {
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        return text.toLatin1();
    // A character from outside the code page (a pair of surrogates is one)
    // becomes a single '?'.
    const std::array<unsigned char, 0x10000>& byteOf = bytesOfCodePoints();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out.append(c == 0 ? '\0' : byteOf[c] != 0 ? char(byteOf[c]) : '?');
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

#include "exchange/exchangeFile.h"

#include "store/textFile.h"

#include <QFile>

namespace exchange {

namespace {
const QString kListExtension = QStringLiteral(".txt");

// The longest file name the list folder's file system holds.
constexpr qsizetype kMaxFileNameLength = 255;

#ifdef _WIN32
// Device names that Windows reserves, with any extension.
bool isReservedDeviceName(const QString& name) {
    static const QStringList reserved{
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    return reserved.contains(name, Qt::CaseInsensitive);
}
#endif

// Whether the file system can hold a file of this name.
bool fitsFileSystem(const QString& fileName) {
#ifdef _WIN32
    return fileName.size() <= kMaxFileNameLength;
#else
    const QByteArray encoded = QFile::encodeName(fileName);
    return encoded.size() <= kMaxFileNameLength && QFile::decodeName(encoded) == fileName;
#endif
}
} // namespace

bool isHeader(const QString& line) {
    return line.startsWith(kHeaderMark);
}

ExchangeFile readExchangeFile(const QByteArray& bytes) {
    ExchangeFile file;
    const QStringList lines = store::readLines(bytes);
    if (lines.isEmpty())
        return file; // Unreadable
    if (!isHeader(lines.constFirst())) {
        file.status = ReadStatus::NoHeader;
        return file;
    }
    file.status = ReadStatus::Ok;
    for (const QString& line : lines) {
        if (isHeader(line)) {
            file.sections.append(Section{line.mid(kHeaderMark.size()), {}});
        } else if (!line.isEmpty()) {
            file.sections.last().words.append(line.toLower());
        }
    }
    return file;
}

QByteArray writeSection(const QString& name, const QStringList& lines) {
    QStringList all;
    all.reserve(lines.size() + 1);
    all.append(kHeaderMark + name);
    all.append(lines);
    return store::joinLines(all);
}

QByteArray writeExchangeFile(const QList<Section>& sections) {
    QByteArray bytes;
    for (const Section& section : sections)
        bytes += writeSection(section.name, section.words);
    return bytes;
}

QByteArray writeSectionOfFile(const QString& name, const QByteArray& listFile) {
    QByteArray out;
    appendSectionOfFile(out, name, listFile);
    return out;
}

void appendSectionOfFile(QByteArray& out, const QString& name, const QByteArray& listFile) {
    static const QByteArray mark = kHeaderMark.toLatin1();
    out += mark;
    out += store::encodeText(name);
    out += "\r\n";
    store::appendWithCrLfLineEnds(out, listFile);
}

bool isUnsafeListName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return true;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || c.isSurrogate())
            return true;
        switch (c.unicode()) {
        case u'/':
        case u'\\':
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'|':
        case u'?':
        case u'*':
            return true;
        default:
            break;
        }
    }
#ifdef _WIN32
    if (isReservedDeviceName(name))
        return true;
#endif
    return !fitsFileSystem(name + kListExtension);
}

} // namespace exchange

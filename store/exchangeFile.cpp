#include "store/exchangeFile.h"

#include "store/files.h"
#include "store/textFile.h"

namespace store {

bool isHeader(const QString& line) {
    return line.startsWith(kHeaderMark);
}

ExchangeFile readExchangeFile(const QByteArray& bytes) {
    ExchangeFile file;
    const QStringList lines = readLines(codePageBytes(bytes));
    if (lines.isEmpty())
        return file; // Unreadable
    if (!isHeader(lines.constFirst())) {
        file.status = ExchangeStatus::NoHeader;
        return file;
    }
    file.status = ExchangeStatus::Ok;
    for (const QString& line : lines) {
        if (isHeader(line)) {
            file.sections.append(Section{line.mid(kHeaderMark.size()), {}});
        } else if (!line.isEmpty()) {
            file.sections.last().words.append(line.toLower());
        }
    }
    return file;
}

Result loadExchangeFile(const QString& path, ExchangeFile& file) {
    const ReadResult read = readFile(path, kMaxExchangeFileBytes);
    file = read.status == FileStatus::Ok ? readExchangeFile(read.bytes) : ExchangeFile();
    switch (file.status) {
    case ExchangeStatus::Ok:
        return Result();
    case ExchangeStatus::NoHeader:
        return Result{Outcome::ImportFileDamaged, FileStatus::Ok, path};
    case ExchangeStatus::Unreadable:
        break;
    }
    return Result{Outcome::ImportFileNotRead,
                  read.status == FileStatus::Ok ? FileStatus::Failed : read.status, path,
                  kMaxExchangeFileBytes};
}

QByteArray writeExchangeFile(const QList<Section>& sections) {
    QStringList lines;
    for (const Section& section : sections) {
        lines.append(kHeaderMark + section.name);
        lines.append(section.words);
    }
    return joinLines(lines);
}

void appendSectionOfFile(QByteArray& out, const QString& name, const QByteArray& listFile) {
    static const QByteArray mark = kHeaderMark.toLatin1();
    out += mark;
    out += encodeText(name);
    out += "\r\n";
    appendWithCrLfLineEnds(out, codePageBytes(listFile));
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
    return !fitsFileSystem(name + QStringLiteral(".txt"));
}

} // namespace store

#pragma once
// Exchange files (.kte): the lists of one installation carried to another. A
// file is a sequence of sections, each a header line "***" + the list's name
// followed by the list's word lines; every line is written with CR LF after
// it, in Windows-1252. The reader and the writer work on bytes only.

#include "store/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace store {

// The three characters that begin a header line.
inline const QString kHeaderMark = QStringLiteral("***");

struct Section {
    QString name;      // everything after "***", as it stands
    QStringList words; // the word lines in file order: lower-cased, no empty lines

    bool operator==(const Section& other) const {
        return name == other.name && words == other.words;
    }
};

enum class ExchangeStatus {
    Unreadable, // no line could be read at all (an empty file)
    NoHeader,   // the first line is not a header: the file is refused as a whole
    Ok,
};

struct ExchangeFile {
    ExchangeStatus status = ExchangeStatus::Unreadable;
    QList<Section> sections; // empty unless status is Ok
};

// True for a line whose first three characters are "***".
bool isHeader(const QString& line);

// Reads a whole exchange file. Lines end at CR LF, a lone CR or a lone LF; a
// last line without an ending counts. Any line that begins with "***" starts a
// new section wherever it stands. Windows-1252, or UTF-8 after a byte-order
// mark (codePageBytes), as an export edited in some editors comes back.
ExchangeFile readExchangeFile(const QByteArray& bytes);

// Reads the exchange file at path whole (at most kMaxExchangeFileBytes) into
// file: ImportFileNotRead when it cannot be read or is empty,
// ImportFileDamaged when it does not begin with a header.
Result loadExchangeFile(const QString& path, ExchangeFile& file);

// One section as the writer puts it in the file: the header "***" + name, then
// the lines unchanged, each followed by CR LF. The sections of a file simply
// follow each other; a file of no sections has 0 bytes.
QByteArray writeExchangeFile(const QList<Section>& sections);
// A section from a list file's bytes, its lines copied unchanged (a UTF-8
// file's in Windows-1252, codePageBytes), added to out.
void appendSectionOfFile(QByteArray& out, const QString& name, const QByteArray& listFile);

// True when a header's name cannot safely name a list file in the list
// folder: empty, "." or "..", holding a path separator, a control character
// or one of < > : " | ? *, or too long (or not representable) as a file name
// once ".txt" is added.
bool isUnsafeListName(const QString& name);

} // namespace store

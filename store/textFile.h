#pragma once
// The data files' text: Windows-1252 bytes, one item per line. Lines are read
// up to CR, CR LF or a lone LF (a last line without an ending counts) and
// written with CR LF after every line.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace store {

QString decodeText(const QByteArray& bytes);
// A data file's bytes as read, in Windows-1252. A file that begins with
// UTF-8's byte-order mark, as some editors save text, comes without the mark;
// when the rest is UTF-8, each character as its byte ('?' where it has none).
QByteArray codePageBytes(const QByteArray& file);
// Characters without a Windows-1252 byte become '?'.
QByteArray encodeText(const QString& text);

// The lines of a file's text, without their endings.
QStringList splitLines(const QString& text);
QStringList readLines(const QByteArray& bytes);
// Each line encoded and followed by CR LF.
QByteArray joinLines(const QStringList& lines);
// The same lines with CR LF after each, straight from the bytes: what
// joinLines(readLines(bytes)) gives, without decoding.
QByteArray withCrLfLineEnds(const QByteArray& bytes);
void appendWithCrLfLineEnds(QByteArray& out, const QByteArray& bytes);

} // namespace store

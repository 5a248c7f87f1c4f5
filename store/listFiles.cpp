#include "store/listFiles.h"

#include "core/globals.h"
#include "store/files.h"
#include "store/textFile.h"

namespace store {

QString indexFilePath() {
    return globals::KestrelFolder + pathSeparator() + QStringLiteral("VocabularyLists.txt");
}

QString listFolderPath() {
    return globals::KestrelFolder + pathSeparator() + QStringLiteral("Vocab Categories") +
           pathSeparator();
}

QString listFilePath(const QString& name) {
    return listFolderPath() + name + QStringLiteral(".txt");
}

QString indexLockPath() {
    return globals::KestrelFolder + pathSeparator() + QStringLiteral(".quillbox.lock");
}

QString editorText(const QByteArray& listFile) {
    return decodeText(withCrLfLineEnds(codePageBytes(listFile))).toLower();
}

QByteArray listFileBytes(const QString& editorText) {
    QByteArray out;
    out.reserve(editorText.size() + 2);
    const qsizetype n = editorText.size();
    qsizetype start = 0;
    auto writeLine = [&](qsizetype from, qsizetype to) {
        bool ascii = true;
        for (qsizetype i = from; i < to && ascii; ++i)
            ascii = editorText.at(i).unicode() < 0x80;
        if (ascii) {
            for (qsizetype i = from; i < to; ++i) {
                const char c = char(editorText.at(i).unicode());
                out.append(c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c);
            }
        } else {
            out.append(encodeText(editorText.mid(from, to - from).toLower()));
        }
        out.append("\r\n", 2);
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = editorText.at(i);
        if (c == u'\n') {
            start = i + 1;
        } else if (c == u'\r') {
            if (start < i)
                writeLine(start, i);
            start = i + 1;
        }
    }
    if (start < n)
        writeLine(start, n);
    return out;
}

} // namespace store

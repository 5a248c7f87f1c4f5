// The exchange file format: what the reader makes of a file's bytes, what the
// writer makes of the sections read, and which header names may name a list file.

#include "store/exchangeFile.h"

#include <QTest>

using ReadStatus = store::ExchangeStatus;

Q_DECLARE_METATYPE(ReadStatus)

namespace {
QByteArray sectionOfFile(const QString& name, const QByteArray& listFile) {
    QByteArray out;
    store::appendSectionOfFile(out, name, listFile);
    return out;
}

// "name:word|word;name:" for the sections; "!" marks a name that cannot name a
// list file, as Import finds it.
QString summary(const QList<store::Section>& sections) {
    QStringList out;
    for (const store::Section& s : sections)
        out << (store::isUnsafeListName(s.name) ? "!" : "") + s.name + u':' + s.words.join(u'|');
    return out.join(u';');
}
} // namespace

class ExchangeFileTest : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void writer();
};

void ExchangeFileTest::read_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReadStatus>("status");
    QTest::addColumn<QString>("sections");

    const auto ok = ReadStatus::Ok, refused = ReadStatus::NoHeader;
    QTest::newRow("every line end; empty lines skipped")
        << QByteArray("***a\rcat\n\ndog\r\n***b\n\rred") << ok << "a:cat|dog;b:red";
    QTest::newRow("words in small letters, names as they stand, the same one twice")
        << QByteArray("***Big Cats \r\nCAT\r\nDoG\r\n***big cats \r\nx") << ok
        << "Big Cats :cat|dog;big cats :x";
    QTest::newRow("other characters kept in words")
        << QByteArray("***a\r\n  two words \r\nx***\r\n**y\r\n") << ok << "a:  two words |x***|**y";
    QTest::newRow("empty sections and names, everything after the asterisks")
        << QByteArray("***a\r\n***\r\n****stars\r\n*** B/C!") << ok << "a:;!:;!*stars:;! B/C!:";
    QTest::newRow("headers that can name a list file")
        << QByteArray("***Big Cats\n*** c \n***M\xFCller\n***a..b\n***...\n***a-b (c) #'1'") << ok
        << "Big Cats:; c :;Müller:;a..b:;...:;a-b (c) #'1':";
    QTest::newRow("headers that cannot name a list file")
        << QByteArray("***.\n***..\n***a/b\n***..\\x\n***a\tb\n***a\x7f\n***a\x81\n***a<b\n"
                      "***a>b\n***a:b\n***a\"b\n***a|b\n***a?b\n***a*b")
        << ok
        << "!.:;!..:;!a/b:;!..\\x:;!a\tb:;!a\x7f:;!a\u0081:;!a<b:;"
           "!a>b:;!a:b:;!a\"b:;!a|b:;!a?b:;!a*b:";
    // The file system counts bytes, ".txt" included (two for each é).
    QTest::newRow("the longest names")
        << "***" + QByteArray(251, 'a') + "\n***" + QByteArray(252, 'a') << ok
        << QString(251, u'a') + ":;!" + QString(252, u'a') + ':';
#ifndef _WIN32
    QTest::newRow("the longest names in two-byte letters")
        << "***" + QByteArray(125, '\xE9') + "\n***" + QByteArray(126, '\xE9') << ok
        << QString(125, u'é') + ":;!" + QString(126, u'é') + ':';
#endif
    QTest::newRow("UTF-8 after a byte-order mark")
        << QByteArray("\xEF\xBB\xBF***Caf\xC3\xA9\r\nCR\xC3\x88ME") << ok << "Café:crème";
    QTest::newRow("0-byte file") << QByteArray() << ReadStatus::Unreadable << "";
    QTest::newRow("starts with a word") << QByteArray("cat\r\n***animals\r\n") << refused << "";
    QTest::newRow("starts with an empty line") << QByteArray("\r\n***animals\r\n") << refused << "";
    QTest::newRow("two asterisks") << QByteArray("**animals\r\ncat\r\n") << refused << "";
    QTest::newRow("space before the asterisks") << QByteArray(" ***animals\r\n") << refused << "";
}

void ExchangeFileTest::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(ReadStatus, status);
    QFETCH(QString, sections);

    const store::ExchangeFile file = store::readExchangeFile(bytes);
    QCOMPARE(file.status, status);
    QCOMPARE(summary(file.sections), sections);
    // Written out and read back, the sections are the same.
    const QByteArray written = store::writeExchangeFile(file.sections);
    QCOMPARE(summary(store::readExchangeFile(written).sections), sections);
}

// Export writes its header lines and copies a list file's lines as they are
// (line ends made CR LF); Import lower-cases them: every byte but the line ends
// comes back as it went in, or as its small letter in Windows-1252.
void ExchangeFileTest::writer() {
    QCOMPARE(store::writeExchangeFile({}), QByteArray());
    QCOMPARE(store::writeExchangeFile({{"a", {"x", "y"}}, {"", {}}, {"b", {"z"}}}),
             QByteArray("***a\r\nx\r\ny\r\n***\r\n***b\r\nz\r\n"));
    QCOMPARE(sectionOfFile("Big Cats", "Cat\n\n  dog \rx"),
             QByteArray("***Big Cats\r\nCat\r\n\r\n  dog \r\nx\r\n"));
    QCOMPARE(store::writeExchangeFile({{QStringLiteral("Ж"), {QStringLiteral("a中b")}}}),
             QByteArray("***?\r\na?b\r\n")); // outside the code page
    QByteArray line, small;
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        line.append(char(b));
        const bool capital = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7);
        const bool caron = b == 0x8A || b == 0x8C || b == 0x8E; // S, OE, Z with caron or ligature
        small.append(char(capital ? b + 32 : caron ? b + 16 : b == 0x9F ? 0xFF : b));
    }
    const QByteArray section = sectionOfFile("n", line);
    QCOMPARE(section, "***n\r\n" + line + "\r\n");
    const store::ExchangeFile file = store::readExchangeFile(section);
    QCOMPARE(store::writeExchangeFile(file.sections), "***n\r\n" + small + "\r\n");
}

QTEST_GUILESS_MAIN(ExchangeFileTest)
#include "tst_exchangeFile.moc"

// The exchange file format: what the reader makes of a file's bytes, the
// bytes the writer produces, the two together, and which header names may
// name a list file.

#include "exchange/exchangeFile.h"
#include "store/textFile.h"

#include <QTest>

using exchange::ExchangeFile;
using exchange::ReadStatus;
using exchange::Section;

Q_DECLARE_METATYPE(exchange::Section)
Q_DECLARE_METATYPE(exchange::ReadStatus)

namespace {
// The sections of a good file, written compactly for the tables.
QList<Section> sections(std::initializer_list<Section> list) {
    return QList<Section>(list);
}

void compareSections(const QList<Section>& actual, const QList<Section>& expected) {
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual[i].name, expected[i].name);
        QCOMPARE(actual[i].words, expected[i].words);
    }
}
} // namespace

class ExchangeFileTest : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void roundTrip_data();
    void roundTrip();
    void everyByteSurvives();
    void unsafeListName_data();
    void unsafeListName();
};

void ExchangeFileTest::read_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReadStatus>("status");
    QTest::addColumn<QList<Section>>("expected");

    const auto ok = ReadStatus::Ok;
    const QList<Section> animalsAndColors =
        sections({{"animals", {"cat", "dog"}}, {"colors", {"red"}}});

    // Line ends.
    QTest::newRow("CR LF") << QByteArray("***animals\r\ncat\r\ndog\r\n***colors\r\nred\r\n") << ok
                           << animalsAndColors;
    QTest::newRow("lone CR") << QByteArray("***animals\rcat\rdog\r***colors\rred\r") << ok
                             << animalsAndColors;
    QTest::newRow("lone LF") << QByteArray("***animals\ncat\ndog\n***colors\nred\n") << ok
                             << animalsAndColors;
    QTest::newRow("mixed, LF CR is two ends")
        << QByteArray("***animals\rcat\ndog\r\n***colors\n\rred") << ok << animalsAndColors;
    QTest::newRow("last line without an ending")
        << QByteArray("***animals\r\ncat\r\ndog\r\n***colors\r\nred") << ok << animalsAndColors;

    // Word lines.
    QTest::newRow("empty lines skipped")
        << QByteArray("***animals\r\n\r\ncat\r\n\r\n\r\ndog\r\n***colors\r\n\r\nred\r\n\r\n") << ok
        << animalsAndColors;
    QTest::newRow("capitals lower-cased, name kept")
        << QByteArray("***Animals\r\nCAT\r\nDoG\r\n") << ok
        << sections({{"Animals", {"cat", "dog"}}});
    QTest::newRow("Windows-1252 capitals") << QByteArray("***Caf\xC9s\r\n\xC9T\xC9\r\n") << ok
                                           << sections({{"Caf\u00C9s", {"\u00E9t\u00E9"}}});
    QTest::newRow("other characters kept")
        << QByteArray("***a\r\n  two words \r\nx***\r\n**y\r\n") << ok
        << sections({{"a", {"  two words ", "x***", "**y"}}});

    // Headers.
    QTest::newRow("header alone") << QByteArray("***animals\r\n") << ok
                                  << sections({{"animals", {}}});
    QTest::newRow("one header without a line end")
        << QByteArray("***animals") << ok << sections({{"animals", {}}});
    QTest::newRow("three asterisks alone, empty name")
        << QByteArray("***\r\ncat\r\n") << ok << sections({{"", {"cat"}}});
    QTest::newRow("trailing spaces kept")
        << QByteArray("***animals  \r\ncat\r\n") << ok << sections({{"animals  ", {"cat"}}});
    QTest::newRow("everything after the asterisks")
        << QByteArray("*** Big/Cats!\r\n****stars\r\n") << ok
        << sections({{" Big/Cats!", {}}, {"*stars", {}}});
    QTest::newRow("header lines in a row, empty sections")
        << QByteArray("***a\r\n***b\r\n***c\r\nx\r\n") << ok
        << sections({{"a", {}}, {"b", {}}, {"c", {"x"}}});
    QTest::newRow("the same name twice stays two sections")
        << QByteArray("***a\r\nx\r\n***A\r\ny\r\n") << ok << sections({{"a", {"x"}}, {"A", {"y"}}});

    // Files that are refused.
    QTest::newRow("0-byte file") << QByteArray() << ReadStatus::Unreadable << QList<Section>();
    QTest::newRow("starts with a word")
        << QByteArray("cat\r\n***animals\r\ndog\r\n") << ReadStatus::NoHeader << QList<Section>();
    QTest::newRow("starts with an empty line")
        << QByteArray("\r\n***animals\r\ncat\r\n") << ReadStatus::NoHeader << QList<Section>();
    QTest::newRow("starts with a lone LF")
        << QByteArray("\n***animals\n") << ReadStatus::NoHeader << QList<Section>();
    QTest::newRow("only a line end")
        << QByteArray("\r\n") << ReadStatus::NoHeader << QList<Section>();
    QTest::newRow("two asterisks")
        << QByteArray("**animals\r\ncat\r\n") << ReadStatus::NoHeader << QList<Section>();
    QTest::newRow("space before the asterisks")
        << QByteArray(" ***animals\r\n") << ReadStatus::NoHeader << QList<Section>();
}

void ExchangeFileTest::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(ReadStatus, status);
    QFETCH(QList<Section>, expected);

    const ExchangeFile file = exchange::readExchangeFile(bytes);
    QCOMPARE(file.status, status);
    compareSections(file.sections, expected);
}

void ExchangeFileTest::write_data() {
    QTest::addColumn<QList<Section>>("input");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("no sections, 0 bytes") << QList<Section>() << QByteArray();
    QTest::newRow("two lists") << sections({{"animals", {"cat", "dog"}}, {"colors", {"red"}}})
                               << QByteArray("***animals\r\ncat\r\ndog\r\n***colors\r\nred\r\n");
    QTest::newRow("empty list, next header follows directly")
        << sections({{"a", {}}, {"b", {"x"}}}) << QByteArray("***a\r\n***b\r\nx\r\n");
    QTest::newRow("lines copied unchanged")
        << sections({{"a", {"Cat", "", "  dog "}}}) << QByteArray("***a\r\nCat\r\n\r\n  dog \r\n");
    QTest::newRow("name as given")
        << sections({{"Big Cats ", {}}}) << QByteArray("***Big Cats \r\n");
    QTest::newRow("empty name") << sections({{"", {"x"}}}) << QByteArray("***\r\nx\r\n");
    QTest::newRow("Windows-1252") << sections({{"M\u00FCller", {"stra\u00DFe"}}})
                                  << QByteArray("***M\xFCller\r\nstra\xDF"
                                                "e\r\n");
    QTest::newRow("outside the code page")
        << sections({{"\u0416", {"a\u4E2Db"}}}) << QByteArray("***?\r\na?b\r\n");
}

void ExchangeFileTest::write() {
    QFETCH(QList<Section>, input);
    QFETCH(QByteArray, bytes);

    QCOMPARE(exchange::writeExchangeFile(input), bytes);
    QByteArray bySection;
    for (const Section& s : input)
        bySection += exchange::writeSection(s.name, s.words);
    QCOMPARE(bySection, bytes);
}

void ExchangeFileTest::roundTrip_data() {
    QTest::addColumn<QList<Section>>("written");
    QTest::addColumn<QList<Section>>("read");

    QTest::newRow("lists as Save writes them")
        << sections({{"animals", {"cat", "dog"}}, {"colors", {"red"}}, {"empty", {}}})
        << sections({{"animals", {"cat", "dog"}}, {"colors", {"red"}}, {"empty", {}}});
    QTest::newRow("edited outside: capitals and empty lines")
        << sections({{"Animals", {"", "CAT", "", "Dog", ""}}})
        << sections({{"Animals", {"cat", "dog"}}});
    QTest::newRow("odd names") << sections({{"", {"x"}}, {" a b ", {}}, {"*", {"y"}}})
                               << sections({{"", {"x"}}, {" a b ", {}}, {"*", {"y"}}});
    QTest::newRow("a word that looks like a header becomes one")
        << sections({{"a", {"x", "***b", "y"}}}) << sections({{"a", {"x"}}, {"b", {"y"}}});
}

void ExchangeFileTest::roundTrip() {
    QFETCH(QList<Section>, written);
    QFETCH(QList<Section>, read);

    const ExchangeFile file = exchange::readExchangeFile(exchange::writeExchangeFile(written));
    QCOMPARE(file.status, ReadStatus::Ok);
    compareSections(file.sections, read);
}

// Export copies a list file's lines through the store's decoding and the
// writer's encoding, and Import lower-cases them: every byte but the line ends
// must come out as it went in, or as its small letter in Windows-1252.
void ExchangeFileTest::everyByteSurvives() {
    QByteArray line;
    QByteArray small;
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        line.append(char(b));
        // The code page's capitals and their small letters.
        const bool capital = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7);
        int lower = capital ? b + 32 : b;
        if (b == 0x8A || b == 0x8C || b == 0x8E)
            lower = b + 16; // S, OE, Z with caron or ligature
        if (b == 0x9F)
            lower = 0xFF; // Y with diaeresis
        small.append(char(lower));
    }
    const QByteArray original = "***name\r\n" + line + "\r\n";
    QCOMPARE(exchange::writeSection("name", {store::decodeText(line)}), original);

    const ExchangeFile file = exchange::readExchangeFile(original);
    QCOMPARE(file.status, ReadStatus::Ok);
    QCOMPARE(file.sections.size(), 1);
    QCOMPARE(file.sections[0].words.size(), 1);
    QCOMPARE(exchange::writeSection("name", file.sections[0].words),
             "***name\r\n" + small + "\r\n");
}

void ExchangeFileTest::unsafeListName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("unsafe");

    // Unusual but harmless.
    QTest::newRow("letters") << "animals" << false;
    QTest::newRow("capitals and spaces") << "Big Cats" << false;
    QTest::newRow("digits, more than 15 characters") << "lesson 12 of the spring term" << false;
    QTest::newRow("Windows-1252 letters") << "M\u00FCller" << false;
    QTest::newRow("leading and trailing spaces") << " cats " << false;
    QTest::newRow("dots inside") << "a..b" << false;
    QTest::newRow("three dots") << "..." << false;
    QTest::newRow("other punctuation") << "a-b_c (d) #1 'e' !" << false;
    QTest::newRow("251 characters: 255 bytes with .txt") << QString(251, u'a') << false;

    // Names that must not become a file name.
    QTest::newRow("empty") << "" << true;
    QTest::newRow("dot") << "." << true;
    QTest::newRow("dot dot") << ".." << true;
    QTest::newRow("slash") << "a/b" << true;
    QTest::newRow("parent folder") << "../VocabularyLists" << true;
    QTest::newRow("absolute path") << "/etc/passwd" << true;
    QTest::newRow("backslash") << "..\\x" << true;
    QTest::newRow("tab") << "a\tb" << true;
    QTest::newRow("NUL") << QString::fromLatin1("a\0b", 3) << true;
    QTest::newRow("line end") << "a\r" << true;
    QTest::newRow("DEL") << "a\x7f" << true;
    QTest::newRow("C1 control") << "a\u0081" << true;
    for (const char* c : {"<", ">", ":", "\"", "|", "?", "*"})
        QTest::addRow("forbidden %s", c) << QStringLiteral("a%1b").arg(QLatin1String(c)) << true;
    QTest::newRow("252 characters: 256 bytes with .txt") << QString(252, u'a') << true;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << true;
#ifndef _WIN32
    // The file system counts bytes: two for each of these letters.
    QTest::newRow("125 two-byte letters fit") << QString(125, u'\u00E9') << false;
    QTest::newRow("126 two-byte letters do not") << QString(126, u'\u00E9') << true;
#endif
}

void ExchangeFileTest::unsafeListName() {
    QFETCH(QString, name);
    QFETCH(bool, unsafe);
    QCOMPARE(exchange::isUnsafeListName(name), unsafe);
}

QTEST_GUILESS_MAIN(ExchangeFileTest)
#include "tst_exchangeFile.moc"

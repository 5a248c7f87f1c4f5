// The data files' text: Windows-1252 both ways, line ends on reading, CR LF
// on writing, and a file replaced whole or not at all.

#include "store/textFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TextFileTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteSurvives();
    void lines_data();
    void lines();
    void atomicFileKeepsTheOldFileUntilCommit();
};

void TextFileTest::everyByteSurvives() {
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QCOMPARE(store::encodeText(store::decodeText(all)), all);
    QCOMPARE(store::decodeText("\x80\x9c\xe9"), QStringLiteral("€œé"));
    QCOMPARE(store::encodeText(QStringLiteral("aāb")), QByteArray("a?b")); // outside the code page
}

void TextFileTest::lines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("last line without an end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\na\r\n") << QStringList{"", "", "a"};
    QTest::newRow("nothing") << QByteArray() << QStringList{};
    QTest::newRow("only an end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("code page") << QByteArray("caf\xe9\r\n") << QStringList{QStringLiteral("café")};
}

void TextFileTest::lines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(store::readLines(bytes), lines);
    // Written back, every line ends with CR LF; the byte-level copy agrees.
    QCOMPARE(store::withCrLfLineEnds(bytes), store::joinLines(lines));
    QCOMPARE(store::readLines(store::joinLines(lines)), lines);
}

void TextFileTest::atomicFileKeepsTheOldFileUntilCommit() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    QVERIFY(store::writeFileAtomically(path, "old\r\n"));
    {
        store::AtomicFile file(path);
        QVERIFY(file.open());
        QVERIFY(file.write("new\r\n"));
        // Not committed: dropped when it goes out of scope.
    }
    QFile read(path);
    QVERIFY(read.open(QIODevice::ReadOnly));
    QCOMPARE(read.readAll(), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.txt"});
    // A file in a folder that does not exist cannot be opened.
    store::AtomicFile nowhere(dir.filePath(QStringLiteral("missing/list.txt")));
    QVERIFY(!nowhere.open());
}

QTEST_GUILESS_MAIN(TextFileTest)
#include "tst_textFile.moc"

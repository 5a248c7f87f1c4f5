// Matching list names to their files without regard to letter case: the
// exact spelling wins, several files that differ only in case resolve the
// same way every time, and a name with no file keeps its own spelling.

#include "KestrelFixture.h"
#include "store/listFiles.h"

#include <QDir>
#include <QTest>

class ListFolderTest : public QObject {
    Q_OBJECT
private slots:
    void resolve_data();
    void resolve();
    void addedFilesAreFound();
};

void ListFolderTest::resolve_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file"); // "" when no file matches

    const QStringList twins{"cats.txt", "Cats.txt"};
    QTest::newRow("exact spelling") << twins << "cats"
                                    << "cats.txt";
    QTest::newRow("exact spelling, capital") << twins << "Cats"
                                             << "Cats.txt";
    QTest::newRow("no exact: first in code-point order") << twins << "CATS"
                                                         << "Cats.txt";
    QTest::newRow("one file, other case") << QStringList{"cats.txt"} << "CaTs"
                                          << "cats.txt";
    QTest::newRow("extension in capitals") << QStringList{"DOGS.TXT"} << "dogs"
                                           << "DOGS.TXT";
    QTest::newRow("not a list file") << QStringList{"dogs.doc", "dogs"} << "dogs"
                                     << "";
    QTest::newRow("accented name") << QStringList{QStringLiteral("Café.txt")}
                                   << QStringLiteral("CAFÉ") << QStringLiteral("Café.txt");
    QTest::newRow("name with spaces") << QStringList{"big cats.txt"} << "Big Cats"
                                      << "big cats.txt";
    QTest::newRow("empty name and .txt") << QStringList{".txt"} << ""
                                         << ".txt";
    QTest::newRow("no file") << QStringList{"cats.txt"} << "birds"
                             << "";
}

void ListFolderTest::resolve() {
    QFETCH(QStringList, files);
    QFETCH(QString, name);
    QFETCH(QString, file);

    KestrelFixture fx;
    fx.makeFolders();
    fx.useKestrelFolder();
    for (const QString& f : files)
        KestrelFixture::writeFile(fx.listFolder() + u'/' + f, "x\r\n");
    QDir(fx.listFolder()).mkdir(QStringLiteral("folder.txt"));

    const store::ListFolder folder;
    const QString expected = file.isEmpty() ? QString() : fx.listFolder() + u'/' + file;
    QCOMPARE(folder.find(name), expected);
    QCOMPARE(folder.contains(name), !file.isEmpty());
    QCOMPARE(store::resolveListFile(name), file.isEmpty() ? store::listFilePath(name) : expected);
    QCOMPARE(folder.contains("folder"), false);
}

void ListFolderTest::addedFilesAreFound() {
    KestrelFixture fx;
    fx.makeFolders();
    fx.useKestrelFolder();
    store::ListFolder folder;
    QVERIFY(!folder.contains("Birds"));
    folder.add("Birds");
    folder.add("fish");
    QCOMPARE(folder.resolve("birds"), store::listFilePath("Birds"));
    QCOMPARE(folder.resolve("FISH"), store::listFilePath("fish"));
    QCOMPARE(folder.resolve("owls"), store::listFilePath("owls"));
}

QTEST_MAIN(ListFolderTest)
#include "tst_listFolder.moc"

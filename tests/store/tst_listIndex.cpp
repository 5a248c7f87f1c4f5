// The list index: reading VocabularyLists.txt against the list folder, the
// lookup, and the reload's failure paths.

#include "KestrelFixture.h"
#include "core/globals.h"
#include "store/listIndex.h"

#include <QDir>
#include <QFile>
#include <QTest>

using globals::FindListName;
using globals::ListCount;
using globals::ListNames;
using globals::LoadListIndex;

namespace {
QStringList heldNames() {
    QStringList names;
    for (int i = 1; i <= ListCount; ++i)
        names << ListNames[i];
    return names;
}
} // namespace

class ListIndexTest : public QObject {
    Q_OBJECT
private slots:
    void reload_data();
    void reload();
    void lookup_data();
    void lookup();
    void missingIndexKeepsWhatWasHeld();
    void missingIndexAndFolderCreatesFolder();
    void missingKestrelFolderEndsWithPermissionMessage();
    void listFolderThatIsAFileEndsWithPermissionMessage();
    void trailingSeparatorInKestrelFolder();
    void tenThousandNamesLoad();
    void tenThousandAndFirstNameEndsProgram();
    void fileDeletedOutsideIsDroppedAtNextReload();
};

void ListIndexTest::reload_data() {
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("capital kept, file in small letters")
        << QByteArray("Cats\r\n") << QStringList{"cats.txt"} << QStringList{"Cats"};
    QTest::newRow("names without a file are skipped")
        << QByteArray("birds\r\nfish\r\nfrogs\r\n") << QStringList{"fish.txt"}
        << QStringList{"fish"};
    QTest::newRow("last line without CR LF")
        << QByteArray("ants\r\nbees") << QStringList{"ants.txt", "bees.txt"}
        << QStringList{"ants", "bees"};
    QTest::newRow("lone LF line ends")
        << QByteArray("ants\nbees\n") << QStringList{"ants.txt", "bees.txt"}
        << QStringList{"ants", "bees"};
    QTest::newRow("lone CR line ends")
        << QByteArray("ants\rbees\r") << QStringList{"ants.txt", "bees.txt"}
        << QStringList{"ants", "bees"};
    QTest::newRow("empty line dropped")
        << QByteArray("ants\r\n\r\nbees\r\n") << QStringList{"ants.txt", "bees.txt"}
        << QStringList{"ants", "bees"};
    QTest::newRow("empty line kept when .txt exists")
        << QByteArray("ants\r\n\r\n") << QStringList{"ants.txt", ".txt"} << QStringList{"ants", ""};
    QTest::newRow("duplicates held twice")
        << QByteArray("ants\r\nANTS\r\nants\r\n") << QStringList{"ants.txt"}
        << QStringList{"ants", "ANTS", "ants"};
    QTest::newRow("spaces kept as read")
        << QByteArray("big cats\r\n") << QStringList{"Big Cats.txt"} << QStringList{"big cats"};
    QTest::newRow("Windows-1252 name")
        << QByteArray("caf\xe9\r\n") << QStringList{QStringLiteral("café.txt")}
        << QStringList{QStringLiteral("café")};
    QTest::newRow("empty file") << QByteArray() << QStringList{"ants.txt"} << QStringList{};
    QTest::newRow("path outside the folder is not a list")
        << QByteArray("../VocabularyLists\r\nants\r\n") << QStringList{"ants.txt"}
        << QStringList{"ants"};
}

void ListIndexTest::reload() {
    QFETCH(QByteArray, index);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);

    KestrelFixture fx;
    fx.makeFolders();
    fx.useKestrelFolder();
    KestrelFixture::writeFile(fx.indexPath(), index);
    for (const QString& file : files)
        KestrelFixture::writeFile(fx.listFolder() + u'/' + file, "word\r\n");
    QDir(fx.listFolder()).mkdir(QStringLiteral("dir.txt")); // a folder is not a list file

    LoadListIndex();
    QCOMPARE(heldNames(), expected);
    QVERIFY(fx.platform().messages.isEmpty());
}

void ListIndexTest::lookup_data() {
    QTest::addColumn<QStringList>("held");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("position");

    const QStringList held{"ants", "Cats", "dogs", "cats"};
    QTest::newRow("same case") << held << "Cats" << 2;
    QTest::newRow("small letters") << held << "cats" << 2;
    QTest::newRow("capitals") << held << "CATS" << 2;
    QTest::newRow("first entry") << held << "ANTS" << 1;
    QTest::newRow("absent") << held << "cat" << 0;
    QTest::newRow("no entries") << QStringList{} << "ants" << 0;
}

void ListIndexTest::lookup() {
    QFETCH(QStringList, held);
    QFETCH(QString, name);
    QFETCH(int, position);

    KestrelFixture fx;
    for (int i = 0; i < held.size(); ++i)
        ListNames[i + 1] = held[i];
    ListCount = qint16(held.size());
    ListNames[held.size() + 1] = name; // beyond the count: never looked at
    QCOMPARE(FindListName(name, ListNames, ListCount), position);
}

void ListIndexTest::missingIndexKeepsWhatWasHeld() {
    KestrelFixture fx;
    fx.writeIndex({"ants"});
    fx.writeList("ants", {"red"});
    fx.useKestrelFolder();
    LoadListIndex();
    QCOMPARE(heldNames(), QStringList{"ants"});

    QFile::remove(fx.indexPath());
    LoadListIndex();
    QCOMPARE(heldNames(), QStringList{"ants"});
    QVERIFY(fx.platform().messages.isEmpty());
}

void ListIndexTest::missingIndexAndFolderCreatesFolder() {
    KestrelFixture fx;
    QDir().mkpath(fx.kestrelFolder());
    fx.useKestrelFolder();
    LoadListIndex();
    QCOMPARE(ListCount, qint16(0));
    QVERIFY(QFileInfo(fx.listFolder()).isDir());
    QVERIFY(fx.platform().messages.isEmpty());
    QVERIFY(!QFile::exists(fx.indexPath())); // the first Save makes it
}

void ListIndexTest::missingKestrelFolderEndsWithPermissionMessage() {
    KestrelFixture fx;
    fx.useKestrelFolder(); // never created
    QCOMPARE(endsProgram([] { LoadListIndex(); }), std::optional<int>(1));
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text,
             QStringLiteral(
                 "Don't have permission to run this program.  Contact your system administrator."));
    QCOMPARE(fx.platform().messages[0].style, 16);
    QVERIFY(fx.platform().messages[0].title.isEmpty());
}

void ListIndexTest::listFolderThatIsAFileEndsWithPermissionMessage() {
    KestrelFixture fx;
    QDir().mkpath(fx.kestrelFolder());
    KestrelFixture::writeFile(fx.listFolder(), "not a folder");
    fx.useKestrelFolder();
    QCOMPARE(endsProgram([] { LoadListIndex(); }), std::optional<int>(1));
    QCOMPARE(fx.platform().messages.size(), 1);
    QVERIFY(fx.platform().messages[0].text.startsWith("Don't have permission"));
}

void ListIndexTest::trailingSeparatorInKestrelFolder() {
    KestrelFixture fx;
    fx.writeIndex({"ants"});
    fx.writeList("ants", {"red"});
    globals::KestrelFolder = fx.kestrelFolder() + u'/';
    LoadListIndex();
    QCOMPARE(heldNames(), QStringList{"ants"});
}

void ListIndexTest::tenThousandNamesLoad() {
    KestrelFixture fx;
    QStringList names;
    for (int i = 0; i < 10000; ++i)
        names << QStringLiteral("list%1").arg(i);
    fx.writeIndex(names + QStringList{"nofile"});
    for (const QString& name : names)
        KestrelFixture::writeFile(fx.listPath(name), QByteArray());
    fx.useKestrelFolder();
    LoadListIndex();
    QCOMPARE(ListCount, qint16(10000));
    QCOMPARE(ListNames[10000], QStringLiteral("list9999"));
    QVERIFY(fx.platform().messages.isEmpty());
}

void ListIndexTest::tenThousandAndFirstNameEndsProgram() {
    KestrelFixture fx;
    QStringList names;
    for (int i = 0; i < 10001; ++i)
        names << QStringLiteral("list%1").arg(i);
    fx.writeIndex(names + QStringList{"more", "lines"});
    for (const QString& name : names)
        KestrelFixture::writeFile(fx.listPath(name), QByteArray());
    fx.useKestrelFolder();
    QCOMPARE(endsProgram([] { LoadListIndex(); }), std::optional<int>(1));
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text,
             QStringLiteral("exceed maximum number of vocabularly lists ( > 10000)"));
    QCOMPARE(fx.platform().messages[0].style, 16);
}

void ListIndexTest::fileDeletedOutsideIsDroppedAtNextReload() {
    KestrelFixture fx;
    fx.writeIndex({"ants", "bees", "cats"});
    for (const char* name : {"ants", "bees", "cats"})
        fx.writeList(name, {"x"});
    fx.useKestrelFolder();
    LoadListIndex();
    QCOMPARE(ListCount, qint16(3));
    QFile::remove(fx.listPath("bees"));
    LoadListIndex();
    QCOMPARE(heldNames(), (QStringList{"ants", "cats"}));
}

QTEST_MAIN(ListIndexTest)
#include "tst_listIndex.moc"

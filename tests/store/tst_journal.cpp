// The recovery journal's files: what it writes and what it leaves alone,
// what it reads back, and when it tells that it cannot keep the words.

#include "KestrelFixture.h"
#include "store/RecoveryJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h> // mkfifo

namespace {
const QString kFolder = QStringLiteral("/home/teacher/Kestrel");

// What lies at a path: "file:<bytes>", "link:<target>", "folder", "pipe" or "none".
QString whatIs(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink())
        return "link:" + info.symLinkTarget();
    if (info.isDir())
        return QStringLiteral("folder");
    if (info.isFile())
        return "file:" + QString::fromLatin1(KestrelFixture::readFile(path));
    return info.exists() ? QStringLiteral("pipe") : QStringLiteral("none");
}

// A journal written for list, as a copy that then ended leaves it.
QString leave(const QString& list, const QString& words, const QString& folder = kFolder) {
    store::RecoveryJournal journal;
    journal.setText(words);
    journal.follow(folder, list, true);
    journal.flush(10000);
    return journal.path();
}

// The list and words of each journal offered for the folder: "list:words;...".
QString offered(const QString& folder = kFolder) {
    QStringList out;
    for (const store::LeftJournal& left : store::RecoveryJournal::leftBehind(folder))
        out << left.listName + u':' + QString(left.text).replace(QLatin1String("\r\n"), "|");
    return out.join(u';');
}
} // namespace

class JournalTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
private slots:
    void init();
    void takesAnotherName_data();
    void takesAnotherName();
    void readBack_data();
    void readBack();
    void changes_data();
    void changes();
    void toldOnce();
    void replacedMeanwhile();
    void adoptedNotWrittenAgain();
};

void JournalTest::init() {
    // Qt's folders for tests, the program's folder in them emptied for each test.
    QStandardPaths::setTestModeEnabled(true);
    QDir(QFileInfo(store::journalFolder()).path()).removeRecursively();
}

void JournalTest::takesAnotherName_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("meanwhile"); // put there after the journal was first written
    QTest::newRow("a journal left by a copy that ended") << "left" << false;
#ifndef _WIN32 // links and pipes
    QTest::newRow("a link to a list file") << "link" << false;
    QTest::newRow("a pipe") << "pipe" << false;
    QTest::newRow("a link as the lock") << "lock" << false;
    QTest::newRow("a link to a list file, meanwhile") << "link" << true;
    QTest::newRow("a pipe, meanwhile") << "pipe" << true;
#endif
}

// Whatever lies at a journal's name, but a journal of this copy's own, is
// left as it is: the words go to another name, and only that one goes when
// they are saved.
void JournalTest::takesAnotherName() {
    QFETCH(QString, what);
    QFETCH(bool, meanwhile);
    const QString fruit = dir.filePath(QStringLiteral("fruit.txt"));
    KestrelFixture::writeFile(fruit, "apple\r\n");
    store::RecoveryJournal journal;
    const auto start = [&journal] {
        journal.setText(QStringLiteral("red\nblue"));
        journal.follow(kFolder, QStringLiteral("Colors"), true);
        QVERIFY(journal.flush(10000));
    };
    QString first;
    if (meanwhile) {
        start();
        first = journal.path();
    } else {
        first = leave(QStringLiteral("colors"), QStringLiteral("red\ntan"));
    }
    if (what != "left")
        QVERIFY(QFile::remove(first));
    if (what == "link")
        QVERIFY(QFile::link(fruit, first));
#ifndef _WIN32
    if (what == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(first).constData(), 0600), 0);
#endif
    if (what == "lock")
        QVERIFY(QFile::link(fruit, first + QStringLiteral(".lock")));
    const QString before = whatIs(first);
    if (!meanwhile)
        start();

    journal.edit(8, 0, QStringLiteral("\nsky"));
    QVERIFY(journal.flush(10000));
    const QString mine = journal.path();
    QVERIFY(!mine.isEmpty() && mine != first);
    store::LeftJournal read;
    QVERIFY(store::RecoveryJournal::read(mine, read));
    QCOMPARE(read.text, QStringLiteral("red\r\nblue\r\nsky"));
    QCOMPARE(whatIs(first), before);
    QCOMPARE(whatIs(fruit), QStringLiteral("file:apple\r\n"));

    journal.follow(kFolder, QStringLiteral("colors"), false); // saved
    QVERIFY(journal.flush(10000));
    QCOMPARE(whatIs(mine), QStringLiteral("none"));
    QCOMPARE(whatIs(first), before);
    if (what == "left")
        QCOMPARE(offered(), QStringLiteral("colors:red|tan"));
}

void JournalTest::readBack_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("words");
    // Bytes cut from the end; -1: a byte of the words changed, -2: one of the last change.
    QTest::addColumn<int>("cut");
    QTest::addColumn<QString>("offered");
    QTest::newRow("words as a list file brings them")
        << "colors"
        << "ice cream\n7up\n\u00e9t\u00e9" << 0 << "colors:ice cream|7up|\u00e9t\u00e9|tansky";
    QTest::newRow("a name that leaves the list folder") << "../../escape"
                                                        << "word" << 0 << "";
    QTest::newRow("capitals, which the editor never holds") << "colors"
                                                            << "Red" << 0 << "";
    QTest::newRow("capitals beyond ASCII") << "colors"
                                           << "r\u00c9d" << 0 << "";
    QTest::newRow("a control character")
        << "colors" << QStringLiteral("x%1y").arg(QChar(0)) << 0 << "";
    QTest::newRow("the words damaged") << "colors"
                                       << "red" << -1 << "";
    QTest::newRow("the last change torn: the ones before it count")
        << "colors"
        << "red" << 3 << "colors:red|tan";
    QTest::newRow("a letter of the last change damaged") << "colors"
                                                         << "red" << -2 << "colors:red|tan";
}

// A journal read back is input from outside: a name that Import would not
// take, words that the editor could not hold, or damaged words are passed
// over and left where they are.
void JournalTest::readBack() {
    QFETCH(QString, list);
    QFETCH(QString, words);
    QFETCH(int, cut);
    QFETCH(QString, offered);
    QString path;
    {
        store::RecoveryJournal journal; // of a copy that then ends
        journal.setText(words);
        journal.follow(kFolder, list, true);
        QVERIFY(journal.flush(10000));
        journal.edit(int(words.size()), 0, QStringLiteral("\ntan"));
        QVERIFY(journal.flush(10000));
        journal.edit(int(words.size()) + 4, 0, QStringLiteral("sky"));
        QVERIFY(journal.flush(10000));
        path = journal.path();
    }
    QByteArray bytes = KestrelFixture::readFile(path);
    const qsizetype start = bytes.indexOf("\n\n") + 2;
    const qsizetype at = cut == -2 ? bytes.size() - 1 : start; // the last change's, or the words'
    if (cut < 0)
        bytes[at] = char(bytes[at] ^ 1);
    else
        bytes.chop(qMin<qsizetype>(cut, bytes.size() - start + 1));
    KestrelFixture::writeFile(path, bytes);
    QCOMPARE(::offered(), offered);
    QCOMPARE(KestrelFixture::readFile(path), bytes); // left as it was
}

void JournalTest::changes_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("flushEvery");
    QTest::newRow("seed 1, written after each change") << 1u << 1;
    QTest::newRow("seed 2, written after a few") << 2u << 7;
    QTest::newRow("seed 3, with long pastes") << 3u << 3;
}

// Random changes, some of them long: what is read back is the text, whether
// the changes were added at the journal's end or the journal written whole.
void JournalTest::changes() {
    QFETCH(quint32, seed);
    QFETCH(int, flushEvery);
    QRandomGenerator random(seed);
    QString text = QStringLiteral("red\nblue");
    QString path;
    {
        store::RecoveryJournal journal;
        journal.setText(text);
        journal.follow(kFolder, QStringLiteral("colors"), true);
        for (int step = 1; step <= 300; ++step) {
            const int position = int(random.bounded(text.size() + 1));
            const int removed =
                int(random.bounded(qMin<qsizetype>(text.size() - position, 20) + 1));
            QString added;
            const int length = seed == 3 && step % 50 == 0 ? 100000 : int(random.bounded(6));
            for (int i = 0; i < length; ++i)
                added += i % 9 == 8 ? u'\n' : QChar(u'a' + int(random.bounded(26)));
            text.replace(position, removed, added);
            journal.edit(position, removed, added);
            if (step % flushEvery == 0)
                QVERIFY(journal.flush(10000));
        }
        QVERIFY(journal.flush(10000));
        path = journal.path();
    }
    store::LeftJournal read;
    QVERIFY(store::RecoveryJournal::read(path, read));
    QVERIFY(read.text == QString(text).replace(u'\n', QLatin1String("\r\n")));
}

// When no journal can be kept, that is told once, and again only after one
// could be kept meanwhile.
void JournalTest::toldOnce() {
    const QString data = QFileInfo(store::journalFolder()).path();
    QDir().mkpath(QFileInfo(data).path());
    KestrelFixture::writeFile(data, "a file where the program's data folder should be");
    QList<bool> told;
    store::RecoveryJournal journal;
    journal.onKept([&told](bool kept) { told << kept; });
    journal.setText(QStringLiteral("red"));
    journal.follow(kFolder, QStringLiteral("colors"), true);
    QVERIFY(!journal.flush(10000));
    journal.edit(3, 0, QStringLiteral("\ntan"));
    QVERIFY(!journal.flush(10000));
    QCOMPARE(told, QList<bool>{false});
    QVERIFY(QFile::remove(data));
    journal.edit(7, 0, QStringLiteral("\nsky"));
    QVERIFY(journal.flush(10000));
    QCOMPARE(told, (QList<bool>{false, true}));
    store::LeftJournal read;
    QVERIFY(store::RecoveryJournal::read(journal.path(), read));
    QCOMPARE(read.text, QStringLiteral("red\r\ntan\r\nsky"));
}

// Words taken over from a journal left behind are not written again until
// they change; saved, they go.
void JournalTest::adoptedNotWrittenAgain() {
    const QString path = leave(QStringLiteral("colors"), QStringLiteral("red\ntan"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000),
                                 QFileDevice::FileModificationTime));
    }
    std::vector<store::LeftJournal> left = store::RecoveryJournal::leftBehind(kFolder);
    QCOMPARE(left.size(), std::size_t(1));
    store::RecoveryJournal journal;
    journal.setText(left[0].text);
    journal.adopt(std::move(left[0]));
    QVERIFY(journal.flush(10000));
    QCOMPARE(QFileInfo(path).lastModified().toSecsSinceEpoch(), 1000000000);
    journal.edit(7, 0, QStringLiteral("\nsky"));
    QVERIFY(journal.flush(10000));
    QCOMPARE(journal.path(), path);
    store::LeftJournal read;
    QVERIFY(store::RecoveryJournal::read(path, read));
    QCOMPARE(read.text, QStringLiteral("red\r\ntan\r\nsky"));
    journal.follow(kFolder, QStringLiteral("colors"), false);
    QVERIFY(journal.flush(10000));
    QCOMPARE(whatIs(path), QStringLiteral("none"));
}

// A file put at the journal's name by hand meanwhile is left as it is: the
// words go to another name, never only to the file that was taken away.
void JournalTest::replacedMeanwhile() {
#ifdef _WIN32
    QSKIP("Windows removes no file that is open");
#endif
    store::RecoveryJournal journal;
    journal.setText(QStringLiteral("red"));
    journal.follow(kFolder, QStringLiteral("colors"), true);
    QVERIFY(journal.flush(10000));
    const QString first = journal.path();
    QVERIFY(QFile::remove(first));
    KestrelFixture::writeFile(first, "a note");
    journal.edit(3, 0, QStringLiteral("\ntan"));
    QVERIFY(journal.flush(10000));
    store::LeftJournal read;
    QVERIFY(store::RecoveryJournal::read(journal.path(), read));
    QCOMPARE(read.text, QStringLiteral("red\r\ntan"));
    QCOMPARE(KestrelFixture::readFile(first), "a note");
}

QTEST_GUILESS_MAIN(JournalTest)
#include "tst_journal.moc"

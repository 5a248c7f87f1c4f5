// The list store: the index reload and lookup, list files found whatever the
// letter case of their names, and the save, delete and import workflows, each
// checked on the files it leaves in the Kestrel folder.

#include "KestrelFixture.h"
#include "core/globals.h"
#include "store/ListImport.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/listWorkflows.h"
#include "store/textFile.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

namespace {
// An index file, and an empty file for each list.
Files installed(const QString& index, const QString& lists) {
    Files out{{QStringLiteral("index"), lines(index)}};
    for (const QString& name : lists.split(u'|'))
        out[name] = QByteArray();
    return out;
}

// One step of a row; what it says, if anything.
QString run(KestrelFixture& fx, const QStringList& a) {
    static const char* const saved[] = {"saved", "busy", "index full", "index failed",
                                        "list failed"};
    static const char* const written[] = {"written", "index full", "not regular", "failed"};
    static const char* const loaded[] = {"",          "unreadable",      "not regular",
                                         "too large", "folder not made", "too many"};
    const QString arg = a.value(1);
    if (a[0] == "slash") { // the Kestrel folder read with a trailing separator
        globals::KestrelFolder += u'/';
    } else if (a[0] == "load") { // as at start-up
        return loaded[int(globals::LoadListIndex())];
    } else if (a[0] == "drop") { // a file or folder, behind the program's back
        QFile::remove(fx.path(arg));
        QDir(fx.path(arg)).removeRecursively();
    } else if (a[0] == "wait") { // long enough for the file system's clock to move on
        QThread::msleep(50);
    } else if (a[0] == "write") { // a file written by another program
        fx.write({{arg, lines(a.value(2))}});
    } else if (a[0] == "touch") { // an empty file in the Kestrel folder
        KestrelFixture::writeFile(fx.kestrelFolder() + u'/' + arg, QByteArray());
    } else if (a[0] == "link") { // the list file moved beside the index, a link in its place
        QFile::rename(fx.path(arg), fx.kestrelFolder() + "/linked " + arg);
        QFile::link(fx.kestrelFolder() + "/linked " + arg, fx.path(arg));
    } else if (a[0] == "private") {
        QFile::setPermissions(fx.path(arg), QFile::ReadOwner | QFile::WriteOwner);
    } else if (a[0] == "mode") {
        return QFileInfo(fx.path(arg)).permission(QFile::ReadOther) ? "public" : "private";
    } else if (a[0] == "abandon") { // a replacement written but not committed
        store::AtomicFile file(fx.path(arg));
        return file.open() == store::FileStatus::Ok && file.write("new")
                   ? fx.readFile(fx.path(arg)).trimmed()
                   : "failed";
    } else if (a[0] == "find") {
        return QString::number(globals::FindListName(arg, globals::ListNames, globals::ListCount));
    } else if (a[0] == "read") {
        const store::ListFileRead read = store::readListFile(store::resolveListFile(arg));
        return read.status == store::FileStatus::Ok ? store::readLines(read.bytes).join(u'|')
                                                    : "unread";
    } else if (a[0] == "save") {
        return saved[int(store::saveList(arg, lines(a.value(2))).status)];
    } else if (a[0] == "delete") {
        QFile::setPermissions(fx.path(arg.toLower()), QFile::ReadOwner); // deleted all the same
        return store::deleteList(arg).status == store::DeleteStatus::Deleted ? "deleted" : "failed";
    } else if (a[0] == "import") {
        store::ListImport import(a.size() / 2);
        QStringList said;
        for (int i = 1; i + 1 < a.size(); i += 2) // holds() asked before write()
            said << (import.holds(a[i]) ? "held" : "new")
                 << written[int(import.write(a[i], a[i + 1].split(u'|')).status)];
        return said.join(u' ') +
               (import.finish() == store::ListImport::Finish::Done ? " finished" : " index failed");
    } else {
        return "no step " + a[0];
    }
    return QString();
}
} // namespace

class StoreTest : public QObject {
    Q_OBJECT
private slots:
    void store_data();
    void store();
};

void StoreTest::store_data() {
    QTest::addColumn<Files>("before");
    QTest::addColumn<QString>("steps"); // "step;step", each step "verb,argument,..."
    QTest::addColumn<Files>("changes");
    QTest::addColumn<QString>("outcome"); // what the steps said, then [the list index]
    auto row = [](const char* name, const Files& before, const QString& steps, const Files& changes,
                  const QString& outcome) {
        QTest::newRow(name) << before << steps << changes << outcome;
    };
    const Files zoo = files({"index", "Ab|c|c|gone", "ab", "x", "c", "y"});
    QString tenThousand = QStringLiteral("list0");
    for (int i = 1; i < globals::kMaxLists; ++i)
        tenThousand += QStringLiteral("|list%1").arg(i);

    // The reload.
    row("line ends CR LF, LF, CR and none; no file or empty: skipped",
        installed("=a\r\n\r\nb\nc\rgone\r\nd", "a|b|c|d"), "load", {}, "[a|b|c|d]");
    row("names as read: capitals, duplicates, Windows-1252; .txt for an empty line",
        installed("Ab|A B|é|ab|", "ab|a b|é|"), "load", {}, "[Ab|A B|é|ab|]");
    row("only .txt files of the list folder, in any case",
        installed("a|b|../VocabularyLists",
                  "kestrel/Vocab Categories/A.TXT|kestrel/Vocab Categories/b.doc|"
                  "kestrel/Vocab Categories/b"),
        "load;read,a;read,b", {}, "unread [a]");
    row("no index: what was held kept, list folder made; an empty index: nothing held",
        installed("a|b", "a|b"),
        "load;drop,index;drop,kestrel/Vocab Categories;load;find,b;touch,VocabularyLists.txt;load",
        {{"a", kGone}, {"b", kGone}, {"index", ""}}, "unreadable 2 []");
    row("no Kestrel folder: no list folder can be made", {}, "drop,kestrel/;load", {},
        "folder not made [] (no list folder)");
    row("list folder a file: no list folder can be made", {},
        "drop,kestrel/Vocab Categories;touch,Vocab Categories;load",
        {{"kestrel/Vocab Categories", ""}}, "folder not made [] (no list folder)");
    row("10000 names load; save and import refuse a new name, import writes a held one",
        installed(tenThousand, tenThousand), "load;save,new,x;import,new,x,LIST7,y",
        files({"list7", "y"}),
        "index full new index full held written finished [" + tenThousand + "]");
    row("a 10001st name: the first 10000 held, whatever follows",
        installed(tenThousand + "|list10000|more", tenThousand + "|list10000"), "load", {},
        "too many [" + tenThousand + "]");
    row("trailing separator in the Kestrel folder", installed("a", "a"), "slash;load;save,b,x",
        files({"index", "a|b", "b", "x"}), "saved [a|b]");

    row("what another program changes is seen, also after the program's own save",
        installed("a|b|c", "a|b|c"),
        "load;wait;drop,b;load;wait;write,index,a|c|d;write,d,x;load;wait;save,e,y;wait;"
        "write,index,e|a;wait;load",
        files({"index", "e|a", "b", "=<gone>", "d", "x", "e", "y"}), "saved [e|a]");
    row("a change within the clock's tick of the program's own save is seen",
        installed("a|b", "a|b"), "load;wait;save,c,x;drop,b;load",
        files({"index", "a|b|c", "b", "=<gone>", "c", "x"}), "saved [a|c]");

    // The lookup and the list files.
    row("lookup: case ignored, first match, none, none beyond the count",
        installed("a|Bc|d|bc|e", "a|bc|d|e"),
        "load;drop,e;load;find,BC;find,bc;find,A;find,b;find,e", {{"e", kGone}},
        "2 2 1 0 0 [a|Bc|d|bc]");
    row("files differing in case: exact spelling, else first in code-point order; line ends",
        {{"ab", "small"}, {"Ab", "capital"}, {"c", "caf\xe9\n\rb\r\nc\rd"}},
        "read,ab;read,Ab;read,AB;read,aB;read,c", {},
        "small capital capital capital café||b|c|d []");

    // The workflows.
    row("save: a held name's file in any case, a link kept, permissions too; a new name appended "
        "in small letters, twice; a replacement not committed leaves the file",
        zoo, "link,c;private,ab;load;save,AB,a|B;save,De,d;save,De,d;abandon,De;save,c,z;mode,ab",
        files({"index", "Ab|c|c|de", "ab", "a|B", "De", "d", "c", "=<link>kestrel/linked c",
               "kestrel/linked c", "z"}),
        "saved saved saved d saved private [Ab|c|c|de]");
    row("delete: every copy goes, the others in small letters, read-only file too",
        installed("Ab|c|C|De", "ab|c|de"), "load;delete,C",
        {{"index", lines("ab|de")}, {"c", kGone}}, "deleted [ab|de]");
    row("import: new names at the end as spelled, held ones found in any case", zoo,
        "load;import,De,d|e,AB,a,de,f", files({"index", "Ab|c|c|De", "ab", "a", "De", "f"}),
        "new written held written held written finished [Ab|c|c|De]");
}

void StoreTest::store() {
    QFETCH(Files, before);
    QFETCH(QString, steps);
    QFETCH(Files, changes);
    QFETCH(QString, outcome);

    KestrelFixture fx;
    fx.useKestrelFolder();
    QDir().mkpath(fx.listFolder());
    fx.write(before);
    QStringList said;
    for (const QString& step : steps.split(u';'))
        said << run(fx, step.split(u','));
    said << u'[' + store::currentListNames().join(u'|') + u']';
    if (!QFileInfo(fx.listFolder()).isDir())
        said << QStringLiteral("(no list folder)");
    said.removeAll(QString());
    QCOMPARE(said.join(u' '), outcome);
    QVERIFY(fx.files() == fx.after(before, changes));
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"

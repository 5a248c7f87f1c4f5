// The list store: the index reload and lookup, list files found whatever the
// letter case of their names, the save, delete and import workflows, the
// index's lock and the temporary files, each checked on the files it leaves
// in the Kestrel folder.

#include "KestrelFixture.h"
#include "core/globals.h"
#include "store/ListStore.h"
#include "store/RecoveryJournal.h"
#include "store/files.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>
#include <QThread>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// An index file, and an empty file for each list.
Files installed(const QString& index, const QString& lists) {
    Files out{{QStringLiteral("index"), lines(index)}};
    for (const QString& name : lists.split(u'|'))
        out[name] = QByteArray();
    return out;
}

// What a command of the store said: okWord when it was done.
QString said(const store::Result& r, const QString& okWord) {
    // In the order of store::Outcome.
    static const QStringList words =
        QStringLiteral(",not read,folder not made,too many,busy,refused,index full,too large,"
                       "index failed,list failed,not deleted,list not read,export list not read,"
                       "exchange failed,import file not read,import file damaged,"
                       "import list failed,import index failed")
            .split(u',');
    return r.ok() ? okWord : words[int(r.outcome)];
}

// Why a row cannot be played on this system: Windows has no links and pipes of
// this kind, no POSIX permissions, and no two files whose names differ only in
// case; the program leaves no temporary files there for start-up to remove.
QString notHere(const Files& before, const QString& steps) {
#ifdef _WIN32
    const QString row = steps + u'\n' + before.keys().join(u'\n') + u'\n' +
                        QString::fromLatin1(before.values().join('\n'));
    for (const char* posix : {"link", "<pipe>", "chmod", "mode", "immutable", "{inode}", "start"})
        if (row.contains(QLatin1String(posix)))
            return QStringLiteral("Windows has nothing of that kind: ") + posix;
    QSet<QString> folded;
    for (const QString& name : before.keys())
        folded.insert(name.toLower());
    if (folded.size() != before.size())
        return QStringLiteral("Windows keeps no two files whose names differ only in case");
#else
    Q_UNUSED(before);
    Q_UNUSED(steps);
#endif
    return QString();
}

// One step of a row; what it says, if anything.
QString run(KestrelFixture& fx, const QStringList& a) {
    store::ListStore& store = store::ListStore::instance();
    const QString arg = a.value(1);
    if (a[0] == "slash") { // the Kestrel folder read with a trailing separator
        globals::KestrelFolder += u'/';
    } else if (a[0] == "load") { // as at start-up
        return said(globals::LoadListIndex(), QString());
    } else if (a[0] == "drop") { // a file or folder, behind the program's back
        QFile::remove(fx.path(arg));
        QDir(fx.path(arg)).removeRecursively();
    } else if (a[0] == "wait") { // long enough for the file system's clock to move on
        QThread::msleep(50);
    } else if (a[0] == "write") { // a file written by another program
        fx.write({{arg, lines(a.value(2))}});
    } else if (a[0] == "touch") { // an empty file in the Kestrel folder
        KestrelFixture::writeFile(fx.kestrelFolder() + u'/' + arg, QByteArray());
    } else if (a[0] == "mkdir") {
        QDir().mkpath(fx.path(arg));
    } else if (a[0] == "link") { // the list file moved beside the index, a link in its place
        QFile::rename(fx.path(arg), fx.kestrelFolder() + "/linked " + arg);
        QFile::link(fx.kestrelFolder() + "/linked " + arg, fx.path(arg));
#ifndef _WIN32
    } else if (a[0] == "umask") { // modes in octal
        ::umask(arg.toUInt(nullptr, 8));
    } else if (a[0] == "chmod") {
        ::chmod(QFile::encodeName(fx.path(arg)).constData(), a.value(2).toUInt(nullptr, 8));
    } else if (a[0] == "mode") { // a file's, or that of a new recovery journal of a list
        store::RecoveryJournal journal;
        if (arg == "journal") {
            journal.follow(globals::KestrelFolder, a.value(2), true);
            journal.flush(10000);
        }
        struct stat st;
        const QByteArray path = QFile::encodeName(arg == "journal" ? journal.path() : fx.path(arg));
        return ::stat(path.constData(), &st) ? "none" : QString::number(st.st_mode & 0777, 8);
#endif
    } else if (a[0] == "old") { // a file last changed an hour ago
        QFile file(fx.path(arg));
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                         QFileDevice::FileModificationTime);
    } else if (a[0] == "lockfile") { // the index's lock, as a copy of the program leaves it
        const QString pid =
            arg == "self" ? QString::number(QCoreApplication::applicationPid()) : arg;
        fx.write({{"kestrel/.quillbox.lock", lines(pid + "|tst_store|")}});
    } else if (a[0] == "immutable" || a[0] == "mutable") { // chattr +i, -i
        const QString why = setImmutable(fx.path(arg), a[0] == "immutable");
        return why.isEmpty() ? QString() : why;
    } else if (a[0] == "start") { // start-up's clean-up
        store::removeLeftoverTemporaryFiles(globals::KestrelFolder);
        store::removeLeftoverTemporaryFiles(store::listFolderPath());
    } else if (a[0] == "unnamed") { // temporary files without names, "on" or "off"
        store::setUnnamedTemporaries(arg == "on");
    } else if (a[0] == "abandon") { // a replacement written but not committed
        store::AtomicFile file(fx.path(arg));
        return file.open() == store::FileStatus::Ok && file.write("new")
                   ? fx.readFile(fx.path(arg)).trimmed()
                   : "failed";
    } else if (a[0] == "names") { // the list index as it stands
        return u'[' + store::ListStore::instance().names().join(u'|') + u']';
    } else if (a[0] == "find") {
        return QString::number(globals::FindListName(arg, globals::ListNames, globals::ListCount));
    } else if (a[0] == "read") {
        QByteArray bytes;
        return store.readList(arg, bytes).ok() ? store::readLines(bytes).join(u'|') : "unread";
    } else if (a[0] == "save") { // words, or "<n> bytes" of letters
        const qint64 size =
            a.value(2).endsWith(" bytes") ? a.value(2).split(u' ')[0].toLongLong() : -1;
        return said(store.save(arg, size < 0 ? lines(a.value(2)) : QByteArray(size, 'a')), "saved");
    } else if (a[0] == "delete") {
        QFile::setPermissions(fx.path(arg.toLower()), QFile::ReadOwner); // deleted all the same
        return said(store.remove(arg), "deleted");
    } else if (a[0] == "export") { // to a file, the lists named
        return said(store.exportLists(a.value(2).split(u'|'), fx.path(arg)), "exported");
    } else if (a[0] == "import") { // pairs of name and words; "+" and a name: another copy adds it
        store::ListImport import(store, a.size() / 2);
        const store::Result started = import.start();
        if (!started.ok())
            return said(started, QString());
        QStringList told;
        for (int i = 1; i + 1 < a.size(); i += 2) {
            if (a[i] == "+") {
                fx.write({{a[i + 1], ""}});
                KestrelFixture::writeFile(fx.path("index"), fx.readFile(fx.path("index")) +
                                                                a[i + 1].toLatin1() + "\r\n");
                continue;
            }
            told << (import.holds(a[i]) ? "held" : "new") // holds() asked before write()
                 << said(import.write(a[i], a[i + 1].split(u'|')), "written");
        }
        return told.join(u' ') + u' ' + said(import.finish(), "finished");
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
    // An index as people leave it: a byte-order mark, a blank line, a name with a trailing
    // space and one whose file is gone, Windows-1252's letters of 0x80-0x9F, no last CR LF.
    const Files zoo =
        files({"index", "=\u00ef\u00bb\u00bfAb\r\nc\r\n\r\nc \r\n\u0152uf\r\ngone\r\nc", "ab", "x",
               "c", "y", "\u0153uf", "o"});
    // 10,000 names, a file each; on Windows 1,000 files named ten times over (an
    // index may name a list more than once, and each time counts): under Wine a
    // new file's name is first looked for through its whole folder in any letter
    // case, and two rows of 10,000 new files took 100 s.
#ifdef _WIN32
    constexpr int kListFiles = 1000;
#else
    constexpr int kListFiles = globals::kMaxLists;
#endif
    QString tenThousand = QStringLiteral("list0");
    for (int i = 1; i < globals::kMaxLists; ++i)
        tenThousand += QStringLiteral("|list%1").arg(i % kListFiles);
    const QString lock = QStringLiteral("kestrel/.quillbox.lock");

    // The reload.
    row("line ends CR LF, LF, CR and none; no file or empty: skipped, but .txt for an empty line",
        installed("=a\r\n\r\nb\nc\rgone\r\nd", "a|b|c|d"),
        "load;names;touch,Vocab Categories/.txt;load", {{"", ""}}, "[a|b|c|d] [a||b|c|d]");
    row("only .txt files of the list folder, in any case, no folder",
        installed("a|b|c|../VocabularyLists",
                  "kestrel/Vocab Categories/A.TXT|kestrel/Vocab Categories/b.doc|"
                  "kestrel/Vocab Categories/b"),
        "mkdir,kestrel/Vocab Categories/c.txt;load;read,a;read,b", {}, "unread [a]");
    row("no index: what was held kept, list folder made; an empty index: nothing held",
        installed("a|b", "a|b"),
        "load;drop,index;drop,kestrel/Vocab Categories;load;find,b;touch,VocabularyLists.txt;load",
        {{"a", kGone}, {"b", kGone}, {"index", ""}}, "2 []");
    row("no Kestrel folder: no list folder can be made", {}, "drop,kestrel/;load", {},
        "folder not made [] (no list folder)");
    row("list folder a file: no list folder can be made", {},
        "drop,kestrel/Vocab Categories;touch,Vocab Categories;load",
        {{"kestrel/Vocab Categories", ""}}, "folder not made [] (no list folder)");
    row("10000 names load; save and import refuse a new name, import writes a held one",
        installed(tenThousand, tenThousand), "load;save,new,x;import,new,x,LIST7,y",
        files({"list7", "y"}),
        "index full new index full held written finished [" + tenThousand + "]");
    row("a 10001st name: the first 10000 held, whatever follows; nothing rewritten",
        installed(tenThousand + "|list10000|more", tenThousand + "|list10000"), "load;save,list7,x",
        {}, "too many refused [" + tenThousand + "]");
    row("trailing separator in the Kestrel folder; no last CR LF", installed("=a", "a"),
        "slash;load;save,b,x", files({"index", "a|b", "b", "x"}), "saved [a|b]");

    // An index that could not be read is never rewritten, until it can be read.
    row("an index that is a pipe: every change refused, then saved once it is a file",
        with(installed("a", "a"), files({"index", "=<pipe>"})),
        "load;save,a,x;save,b,x;delete,a;import,c,y;drop,index;write,index,a;save,b,x",
        files({"index", "a|b", "b", "x"}), "not read refused refused refused refused saved [a|b]");
    row("an index larger than any: nothing changed",
        with(installed("a", "a"), files({"index", "=<sparse>"})), "load;save,b,x;delete,a", {},
        "not read refused refused []");
    row("an index the user may not read: nothing changed", installed("a", "a"),
        "chmod,index,000;load;save,b,x;import,b,x;chmod,index,644", {},
        "not read refused refused []");

    // The caches: what another program changes is seen, and the program's own changes.
    row("what another program changes is seen, also after the program's own save",
        installed("a|b|c", "a|b|c"),
        "load;wait;drop,b;load;names;wait;write,index,a|c|d;write,d,x;load;names;wait;save,e,y;"
        "wait;write,index,e|a;wait;load",
        files({"index", "e|a", "b", "=<gone>", "d", "x", "e", "y"}), "[a|c] [a|c|d] saved [e|a]");
    row("a change within the clock's tick of the program's own save is seen",
        installed("a|b", "a|b"), "load;wait;save,c,x;drop,b;load",
        files({"index", "a|b|c", "b", "=<gone>", "c", "x"}), "saved [a|c]");
    row("a list deleted by the program is gone from the listing: saved again as spelled",
        files({"index", "Colors|fruit", "Colors", "red", "fruit", "apple"}),
        "load;wait;delete,colors;wait;save,colors,tan;wait;read,COLORS",
        files({"index", "fruit|colors", "Colors", "=<gone>", "colors", "tan"}),
        "deleted saved tan [fruit|colors]");

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
    row("save: a held name's file in any case, a link kept; a new name appended in small letters, "
        "twice; a replacement not committed leaves the file",
        zoo, "link,c;load;save,AB,a|B;save,De,d;save,De,d;abandon,De;save,c,z;save,\u0152UF,\u0160",
        files({"index", "Ab|c|\u0152uf|c|de", "ab", "a|B", "De", "d", "c",
               "=<link>kestrel/linked c", "kestrel/linked c", "z", "\u0153uf", "\u0160"}),
        "saved saved saved d saved saved [Ab|c|\u0152uf|c|de]");
    // Modes: a new file's as the umask leaves them, a replaced file's kept, a journal private.
    for (const QString mask : {"022", "077"}) {
        const QString made = mask == "022" ? "644" : "600";
        row(qPrintable("umask " + mask + ": new list, index and exchange files " + made +
                       ", a replaced list keeps its mode, a journal 600"),
            files({"a", "x"}),
            "chmod,a,604;umask," + mask +
                ";save,a,y;save,b,z;export,out.kte,b;mode,a;mode,b;mode,index;mode,out.kte;"
                "mode,journal,c",
            files({"index", "a|b", "a", "y", "b", "z", "out.kte", "***b|z", "journal c", ""}),
            QStringLiteral("saved saved exported 604 %1 %1 %1 600 [a|b]").arg(made));
    }
    row("save through temporary files with names, where the system has none without",
        installed("a", "a"), "unnamed,off;load;save,b,x;abandon,b;save,a,y;unnamed,on",
        files({"index", "a|b", "b", "x", "a", "y"}), "saved x saved [a|b]");
    row("save: a list file of 16 MB at most; nothing written for a larger one", installed("a", "a"),
        "save,b,16777217 bytes;save,a,16777217 bytes;save,a,16777216 bytes",
        {{"a", QByteArray(store::kMaxListFileBytes, 'a')}}, "too large too large saved [a]");
    row("a new list whose file cannot be made: its name taken back out of the index; an old "
        "one written in place, shorter",
        files({"index", "a", "a", "many|long|words"}),
        "immutable,kestrel/Vocab Categories;load;save,b,x;save,a,y;"
        "mutable,kestrel/Vocab Categories",
        files({"a", "y"}), "list failed saved [a]");
    row("a new list's file cannot be made where no index was: none is left", files({"a", "x"}),
        "immutable,kestrel/Vocab Categories;load;save,b,x;"
        "mutable,kestrel/Vocab Categories",
        {}, "list failed []");
    row("delete: every copy goes, the others in small letters, read-only file too",
        installed("Ab|c|C|\u0160\u0178|\u00c9a|De", "ab|c|\u0161\u00ff|\u00e9a|de"),
        "load;delete,C", {{"index", lines("ab|\u0161\u00ff|\u00e9a|de")}, {"c", kGone}},
        "deleted [ab|\u0161\u00ff|\u00e9a|de]");
    row("import: new names at the end as spelled, held ones found in any case", zoo,
        "load;import,De,d|e,AB,a,\u0152UF,\u0161,de,f",
        files({"index", "Ab|c|\u0152uf|c|De", "ab", "a", "De", "f", "\u0153uf", "\u0161"}),
        "new written held written held written held written finished [Ab|c|\u0152uf|c|De]");
    row("import: a list another copy adds meanwhile stays in the index", installed("a", "a"),
        "import,b,x,+,zebra,c,y", files({"index", "a|zebra|b|c", "zebra", "", "b", "x", "c", "y"}),
        "new written new written finished [a|zebra|b|c]");

    // The index's lock: never blocks, never spins.
    for (const char* kind : {"=<pipe>", "=<link>/dev/zero", "=<link>nowhere", "=<sparse>"})
        QTest::newRow(
            qPrintable(QStringLiteral("a lock path that is %1: saved, left alone").arg(kind + 1)))
            << with(installed("a", "a"), {{lock, lines(kind)}}) << "save,b,x"
            << files({"index", "a|b", "b", "x"}) << "saved [a|b]";
    row("a lock path that is a folder: saved, left alone", installed("a", "a"),
        "mkdir,kestrel/.quillbox.lock;save,b,x", files({"index", "a|b", "b", "x"}), "saved [a|b]");
    row("a lock left by a copy that has gone: taken over", installed("a", "a"),
        "lockfile,2147483646;save,b,x", files({"index", "a|b", "b", "x"}), "saved [a|b]");
    row("a lock older than any rewrite: taken over", installed("a", "a"),
        "lockfile,self;old,kestrel/.quillbox.lock;save,b,x", files({"index", "a|b", "b", "x"}),
        "saved [a|b]");
    row("a lock left in a folder that takes no new file: the rewrite goes on without it",
        with(installed("a", "a"), {{lock, lines("2147483646|tst_store|")}}),
        "immutable,kestrel/;save,a,x;mutable,kestrel/", files({"a", "x"}), "saved [a]");

    // Temporary files.
    row("start-up removes the program's leftovers only, not the user's files", installed("a", "a"),
        "write,kestrel/.quillbox-{inode},x;write,kestrel/Vocab Categories/.quillbox-{inode},y;"
        "write,kestrel/.quillbox-backup,x;"
        "write,kestrel/.quillbox-Notes1,y;write,kestrel/Vocab Categories/.quillbox-1,z;start",
        files({"kestrel/.quillbox-backup", "x", "kestrel/.quillbox-Notes1", "y",
               "kestrel/Vocab Categories/.quillbox-1", "z"}),
        "[]");
}

void StoreTest::store() {
    QFETCH(Files, before);
    QFETCH(QString, steps);
    QFETCH(Files, changes);
    QFETCH(QString, outcome);

    if (const QString why = notHere(before, steps); !why.isEmpty())
        QSKIP(qPrintable(why));
    KestrelFixture fx;
    fx.useKestrelFolder();
    QDir().mkpath(fx.listFolder());
    fx.write(before);
    if (steps.contains("immutable,")) {
        const QString why = setImmutable(fx.kestrelFolder(), true);
        setImmutable(fx.kestrelFolder(), false);
        if (!why.isEmpty())
            QSKIP(qPrintable("needs chattr +i: " + why));
    }
#ifndef _WIN32
    ::umask(022); // a row may set another
    if (steps.contains(QLatin1String(",000;")) && ::geteuid() == 0)
        QSKIP("root reads a file that its owner may not (mode 000): this row needs an ordinary "
              "user, as scripts/test.sh runs it");
#endif
    QStringList told;
    for (const QString& step : steps.split(u';')) // a row that blocks or spins fails after 30 s
        told << run(fx, step.split(u','));
    told << u'[' + store::ListStore::instance().names().join(u'|') + u']';
    if (!QFileInfo(fx.listFolder()).isDir())
        told << QStringLiteral("(no list folder)");
    told.removeAll(QString());
    QCOMPARE(told.join(u' '), outcome);
    QVERIFY(fx.files() == fx.after(before, changes));
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"

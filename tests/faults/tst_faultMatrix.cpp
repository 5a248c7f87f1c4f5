// The crash and fault matrix. Each writer of the program runs again and again in a driver (this
// program, started again with --driver) under the fault shim, on a fresh copy of an installation:
// killed before and after each counted call, and with the Nth open, write, sync, rename or unlink
// failing, once or from then on (a disk that stays full). After each run the files are the old
// ones with the first few changes landed in the program's order, each byte for byte, and beside
// them only the temporary files of an unfinished replacement (and the index's lock file after a
// kill); a failure shows the critical message for the file it hit and the program goes on (a
// failure the program may ignore, the sync of a folder, a second sync or the index's lock file,
// leaves the write done); and the next start-up removes the temporary files and loads the index
// the files say. Besides, the ends from outside: each signal that asks the program to end does,
// at once or, while a save waits on a disk that does not answer, 2.8 s after it.

#include "KestrelFixture.h"
#include "Program.h"
#include "app/endSignals.h"
#include "app/frmMain.h"
#include "store/ListStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The index's lock file, which a writer may leave behind when it is killed, and whose failures
// the program may ignore (it then writes without it).
bool isLock(const QString& path) {
    return path.endsWith("/.quillbox.lock");
}

// The files before and the changed ones, in the order they must land: "name=lines, ..." with a
// name as KestrelFixture names files ("!" before it: read-only), lines as lines() takes them (BIG:
// a long list of words) or <gone>; "name->file" makes name a symbolic link to file. The messages:
// on success; the critical one for the index|for another file (%1: its path). A failure at the
// file putBack names puts every change before it back.
struct Scenario {
    QString script, old, changed, success, failures, putBack;
};

struct Call { // a counted call, as the shim reports it
    long any, nth;
    QString kind, ino, flags, path;
};

struct Run {
    int exit = -1;    // killed, crashed or hung
    QString out, err; // what the driver printed (MESSAGE, INDEX, END, DONE lines); stderr
    QList<Call> calls;
};

// Starts this program as the driver of script on the installation at root, under the shim with
// fault (none: without the shim) for the files under faultRoot.
void startDriver(QProcess& p, const QString& root, const QString& script, const QString& fault,
                 const QString& faultRoot) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LD_PRELOAD", fault.isEmpty() ? QString() : QB_FAULT_SHIM);
    env.insert("QB_FAULT_ROOT", faultRoot);
    env.insert("QB_FAULT", fault);
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {"--driver", root, script});
}

struct Matrix {
    KestrelFixture& fx;
    const Scenario& s;
    QByteArray big;
    Files oldFiles, newFiles, start;
    QStringList order, paths, problems;   // paths: the changed files' (a link's target's)
    QMap<QString, QString> links, fileOf; // link -> target; inode -> the file it became
    QString readOnly, where;
    Run clean;
    int leftovers = 0;

    Matrix(KestrelFixture& fx, const Scenario& s) : fx(fx), s(s) {
        for (int i = 0; i < 3000; ++i) // about 30 KB of distinct words: many writes
            big += QByteArray("word") + char('a' + i % 26) + char('a' + i / 26 % 26) +
                   char('a' + i / 676) + "\r\n";
        parse(s.old, oldFiles, order);
        parse(s.changed, newFiles, order = {});
        restore();
        start = fx.files();
        for (const QString& name : order)
            paths << links.value(fx.path(name), fx.path(name));
    }
    void parse(const QString& given, Files& files, QStringList& names) {
        for (const QString& entry : given.split(", ")) {
            const QString name = entry.section('=', 0, 0).remove('!'), to = name.section("->", 1);
            readOnly = entry.startsWith('!') ? name : readOnly;
            if (!to.isEmpty()) {
                links[fx.path(name.section("->", 0, 0))] = fx.path(to);
                continue;
            }
            names << name;
            files[name] = entry.endsWith(kGone)
                              ? kGone
                              : lines(entry.section('=', 1)).replace("BIG\r\n", big);
        }
    }
    // The old files, and no others.
    void restore() {
        for (const QString& top : QDir(fx.root()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (!top.contains("config"))
                QDir(fx.root() + '/' + top).removeRecursively();
        fx.write(oldFiles);
        for (auto it = links.cbegin(); it != links.cend(); ++it)
            QFile::link(it.value(), it.key());
        QFile::setPermissions(fx.path(readOnly), QFile::ReadOwner);
    }
    // The old files with the first k changes landed.
    Files state(qsizetype k) const {
        Files landed;
        for (const QString& name : order.mid(0, k))
            landed[name] = newFiles[name];
        return fx.after(start, landed);
    }
    void problem(const QString& what) { problems << where + what; }
    // A temporary file of a replacement, beside a changed file.
    bool isTemporary(const QString& name) const {
        static const QRegularExpression temporary("/\\.quillbox-[a-z0-9]+$");
        const QFileInfo file(fx.path(name));
        return temporary.match(file.filePath()).hasMatch() &&
               std::any_of(paths.begin(), paths.end(), [&](const QString& path) {
                   return QFileInfo(path).path() == file.path();
               });
    }

    // The run without faults does what the command does, and durably: a file put in place was
    // synced after its last write, and its folder after that (or after an unlink).
    bool cleanRun() {
        check("none");
        QString seen;
        for (const Call& c : clean.calls) {
            if (isLock(c.path))
                continue;
            seen += c.kind + ' ';
            if (c.flags != "-" || !paths.contains(c.path))
                continue;
            fileOf[c.ino] = order[paths.indexOf(c.path)];
            QString last;
            bool synced = false;
            for (const Call& d : clean.calls)
                if (d.any < c.any && d.ino == c.ino && (d.kind == "write" || d.kind == "sync"))
                    last = d.kind;
                else
                    synced |=
                        d.any > c.any && d.flags == "dir" && d.path == QFileInfo(c.path).path();
            if ((c.kind != "unlink" && last != "sync") || !synced)
                problem(c.path + ": not durable");
        }
        if (seen.count("open") * seen.count("write") * seen.count("sync") * seen.count("rename") ==
                0 ||
            seen.contains("unlink") != newFiles.values().contains(kGone))
            problem("the calls seen were " + seen);
        return problems.isEmpty();
    }

    // The program made a failed rename or unlink again, and it worked: the same call on the same
    // file and path (a file number alone may have been given to a new file meanwhile). (A failed
    // write or sync is never made good: the bytes the kernel dropped are gone.)
    static bool madeGood(const Run& r, const Call& c) {
        return c.kind != "write" && c.kind != "sync" &&
               std::any_of(r.calls.begin(), r.calls.end(), [&](const Call& d) {
                   return d.any > c.any && d.kind == c.kind && d.ino == c.ino && d.path == c.path &&
                          d.flags == "-";
               });
    }

    // One run: without faults ("none"), killed before or after call n (kind any), or with call n
    // of a kind failing, once or from then on. Killed, the program leaves the files as they were
    // with some first changes landed. Else the first injected failure that it may not ignore and
    // did not make good decides: with none, it is done with the success message and every change
    // landed; with one, it shows the critical message for the file that the failed call wrote (in
    // the run without faults) and goes on, with the changes before that file landed (none, when
    // the file is the scenario's putBack: a deletion, or a new list's file, that failed puts the
    // index back).
    void check(const QString& mode, const QString& kind = "any", long n = 0, bool sticky = false) {
        where = QString("%1 %2 #%3%4: ").arg(mode, kind).arg(n).arg(sticky ? " and on" : "");
        const Run r = run(QString("%1 %2 %3 %4").arg(mode, kind).arg(n).arg(sticky));
        clean = mode == "none" ? r : clean;
        const Call* failed = nullptr;
        for (const Call& c : r.calls)
            if (!failed && c.flags == "-,failed,injected" && !madeGood(r, c) && !isLock(c.path))
                failed = &c;
        const bool killed = mode.startsWith("kill");
        // The failed call is the one of its kind and number in the run without faults: the runs
        // agree on those until the failure (a failure of the lock file stops only its calls).
        QString hit;
        for (const Call& c : clean.calls)
            hit = failed && c.kind == failed->kind && c.nth == failed->nth ? fileOf.value(c.ino)
                                                                           : hit;
        QString message = s.failures.section('|', hit != "index", hit != "index");
        message = failed ? "MESSAGE X " +
                               message.replace("%1", links.key(fx.path(hit), fx.path(hit))) +
                               "\nDONE\n"
                         : (s.success.isEmpty() ? "" : "MESSAGE " + s.success + "\n") + "DONE\n";
        const Call last = r.calls.value(r.calls.size() - 1);
        if (killed ? r.exit != -1 || last.any != n || !last.flags.endsWith(mode) ||
                         r.out.contains("MESSAGE")
                   : r.exit == -1 || (mode == "fail" && !r.err.contains(",injected")))
            return problem("not killed there, crashed, or no fault injected: " + r.out);
        if (!killed && (r.out != message || r.exit != 0))
            problem("ended wrongly: " + r.out);
        // The temporary files of a replacement (".quillbox-XXXXXX" beside it) and the lock file
        // (left by a kill, or a failed unlink) aside, the files are a state.
        Files now = fx.files();
        int temporary = 0;
        for (const QString& name : now.keys()) {
            const QFileInfo file(fx.path(name));
            temporary += isTemporary(name) && now.remove(name);
            if (isLock(file.filePath()))
                now.remove(name);
        }
        qsizetype k = killed             ? 0
                      : !failed          ? order.size()
                      : hit == s.putBack ? 0 // all put back
                                         : order.indexOf(hit);
        while (killed && k < order.size() && now != state(k))
            ++k;
        // Where the changes are put back, a disk that stays full may keep them from it.
        if (failed && hit == s.putBack && sticky && now != state(k))
            k = order.indexOf(hit);
        if (now != state(k))
            problem(QString("the files are not the old ones with %1 changes landed: ").arg(k) +
                    QStringList(now.keys()).join(' '));
        leftovers += temporary;
        if (killed || temporary > 0)
            reload(now);
    }

    // The next start-up loads the index as the files on disk say: the names of the index file
    // whose list files exist.
    void reload(const Files& now) {
        const Run r = run({});
        for (const QString& name : fx.files().keys())
            if (isTemporary(name) && name.startsWith("kestrel/"))
                problem("the next start left " + name);
        const QStringList present = QStringList(now.keys()).join('\n').toLower().split('\n');
        QString expected;
        for (const QString& name : QString::fromLatin1(now.value("index")).split("\r\n"))
            expected += present.contains(name.toLower()) ? "INDEX " + name + "\n" : "";
        if (r.exit != 0 || r.out != expected + "DONE\n")
            problem("the next start: " + r.out + ", the files: " + expected);
    }

    // Runs the script under the shim with fault (QB_FAULT) on the old files; without a fault,
    // runs "check" on the files as they are.
    Run run(const QString& fault) {
        if (!fault.isEmpty())
            restore();
        QProcess p;
        startDriver(p, fx.root(), fault.isEmpty() ? "check" : s.script, fault, fx.root());
        Run r;
        r.exit =
            p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        for (const QString& line : r.err.split('\n')) {
            const QStringList f = line.split(' ');
            if (f.size() >= 7 && f[0] == "CALL")
                r.calls << Call{f[1].toLong(), f[3].toLong(), f[2], f[4], f[5], f.mid(6).join(' ')};
        }
        return r;
    }
};

// Run as "--driver <case folder> <script>" (the test's environment names the folder's registry
// file): the program started on the case folder plays the script; what the user sees is printed
// (MESSAGE, END), then DONE. "check" prints the list index that start-up loaded (INDEX <name>).
[[noreturn]] void driver(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0); // a message shown before a kill is not lost
    Program program(QString::fromLocal8Bit(argv[2]));
    program.platform.endsProcess = true;
    program.start();
    app::onEndFromOutside(&program.main(), [&program] { program.main().sessionEnds(); });
    if (QByteArray(argv[3]) == "check")
        for (const QString& name : store::ListStore::instance().names())
            std::printf("INDEX %s\n", qPrintable(name));
    else
        program.run(QString::fromLocal8Bit(argv[3]));
    std::printf("DONE\n");
    _exit(0);
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class FaultMatrixTest : public QObject {
    Q_OBJECT
private slots:
    void matrix_data() {
        QTest::addColumn<Scenario>("s");
        const QString saved = "[Success] Word list was saved.",
                      edit = "Open,animals; text,input/words.txt; ";
        const QString indexFailed = "could not write VocabularyLists.txt.  Do you have permission?";
        const QString saveFailed = indexFailed + "|could not write %1.  Do you have permissions?";
        // The index loses a name whose file has gone; the list gets a long list of words.
        QTest::newRow("save") << Scenario{
            edit + "Save",
            "index=animals|colors|ghost, animals=cat|dog, colors=red, input/words.txt=BIG",
            "index=animals|colors, animals=BIG",
            saved,
            saveFailed,
            ""};
        // The list file is a link to a file elsewhere: that file is replaced, the link stays.
        QTest::newRow("save via a link") << Scenario{
            edit + "Save",
            "index=animals|colors, animals->shared/animals.txt, shared/animals.txt=cat|dog, "
            "colors=red, input/words.txt=cow|hen",
            "index=animals|colors, shared/animals.txt=cow|hen",
            saved,
            saveFailed,
            ""};
        // A new name whose file exists in another letter case: the name joins the index, that
        // one file is replaced, no second one made.
        QTest::newRow("save as") << Scenario{edit + "SaveAs,Birds",
                                             "index=animals|colors, animals=cat|dog, colors=red, "
                                             "birds=old, input/words.txt=robin|wren",
                                             "index=animals|colors|birds, birds=robin|wren",
                                             "",
                                             saveFailed,
                                             "birds"};
        // One list replaced (its clash answered Replace), two new, one of them long; the index
        // last.
        QTest::newRow("import") << Scenario{
            "Import,@input/in.kte,replace",
            "index=animals|colors, animals=cat|dog, colors=red, "
            "input/in.kte=***Animals|LION||tiger|***birds|BIG|***fish|cod",
            "animals=lion|tiger, birds=BIG, fish=cod, index=animals|colors|birds|fish",
            "",
            "could not update %1.  Do you have proper permissions?|could not open %1 for writing.  "
            "Do you have proper permissions?",
            ""};
        // A read-only list named twice in the index, in two letter cases; the names that stay are
        // written in small letters.
        QTest::newRow("delete") << Scenario{
            "Delete,Colors",
            "index=Animals|Colors|fruit|colors, animals=cat|dog, !colors=red, fruit=apple",
            "index=animals|fruit, colors=<gone>",
            "",
            indexFailed + "|could not delete %1.  Do you have permissions?",
            "colors"};
        // Two lists, one long, over an earlier exchange file.
        QTest::newRow("export") << Scenario{
            "Export,animals+fruit,@exchange/out.kte",
            "index=animals|colors|fruit, animals=BIG, colors=red, fruit=apple, "
            "exchange/out.kte=***old|word",
            "exchange/out.kte=***animals|BIG|***fruit|apple",
            "",
            "|Error attempting to create %1. Do you have proper permission?",
            ""};
    }

    void matrix() {
        QFETCH(Scenario, s);
        KestrelFixture fixture;
        fixture.registerBoth();
        Matrix m(fixture, s);
        QVERIFY2(m.cleanRun(), qPrintable(m.problems.join('\n')));
        for (const Call& c : m.clean.calls) {
            for (const char* mode : {"kill-before", "kill-after"})
                m.check(mode, "any", c.any);
            for (bool sticky : {true, false})
                m.check("fail", c.kind, c.nth, sticky);
        }
        qInfo("%lld calls counted, %d leftover temporary files", m.clean.calls.size(), m.leftovers);
        QVERIFY2(m.problems.isEmpty(), qPrintable(m.problems.mid(0, 40).join('\n')));
        // The matrix proves nothing unless a kill fell inside a replacement, between its
        // temporary file and the rename, and the next start-up ignored the temporary file.
        QVERIFY2(m.leftovers > 0, "no kill fell between a temporary file and its rename");
    }

    // SIGTERM, SIGHUP and SIGINT each end the program, the unsaved words in the journal; while
    // a save waits on a disk that stalls, the end comes 2.8 s after the signal, exit status 128 +
    // its number; a second signal ends it at once, 128 + the second's number.
    void ends_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<int>("status");
        const QString serve = "Open,colors; type,tan; serve", stall = "Open,colors; type,tan; Save";
        for (int s : {SIGTERM, SIGHUP, SIGINT}) {
            QTest::addRow("SIG%s", sigabbrev_np(s)) << serve << QList<int>{s} << 0;
            QTest::addRow("SIG%s, the disk stalled", sigabbrev_np(s))
                << stall << QList<int>{s} << 128 + s;
        }
        QTest::newRow("SIGTERM, then SIGINT, the disk stalled")
            << stall << QList<int>{SIGTERM, SIGINT} << 128 + SIGINT;
    }

    void ends() {
        QFETCH(QString, script);
        QFETCH(QList<int>, sent);
        QFETCH(int, status);
        KestrelFixture fx;
        fx.registerBoth();
        fx.write(files({"index", "colors", "colors", "red"}));
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        // The journals are elsewhere: only the Kestrel folder's syncs stall.
        startDriver(p, fx.root(), script, "stall sync 1 1", fx.kestrelFolder());
        QByteArray out; // the signals come once it serves events, or waits on the disk
        while (!out.contains("SERVING") && !out.contains(",stall") && p.waitForReadyRead(20000))
            out += p.readAll();
        QElapsedTimer sinceLast;
        for (int signal : sent) {
            QThread::msleep(200); // one after the other
            ::kill(pid_t(p.processId()), signal);
            sinceLast.start();
        }
        QVERIFY2(p.waitForFinished(20000), "still running after 20 s");
        // A second signal ends it at once, not when the 2.8 s of the first are up.
        QVERIFY(sent.size() == 1 || sinceLast.elapsed() < 2000);
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), status);
        if (status == 0)
            QCOMPARE(fx.files().value("journal colors"), "red\r\ntan");
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && QByteArray(argv[1]) == "--driver")
        driver(argc, argv);
    QCoreApplication app(argc, argv);
    FaultMatrixTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faultMatrix.moc"

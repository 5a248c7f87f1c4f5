// The crash and fault matrix. Every writer of the program (Save, Save As,
// Import, Delete a List, Export) runs in the writer driver, with the fault
// shim preloaded, on a fresh copy of an installation, once per point of
// failure:
//  - killed (SIGKILL) before and after each counted call of the write;
//  - with the Nth open, write, sync, rename or unlink failing, once or from
//    then on (a disk that stays full).
// After each run every data file must be byte for byte its old or its new
// version, the files must have landed in the program's order, only the
// temporary files of an unfinished replacement may be left beside them, and
// the next start of the program must load the index as the files say. A
// failure must end the program with the critical message for the file it
// hit; a failure the program may rightly ignore (the sync of a folder after
// a rename, a second sync with nothing new to sync) must leave the write done.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

using Bytes = std::optional<QByteArray>; // nullopt: the file does not exist

QByteArray crlf(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += line.toLatin1() + "\r\n";
    return out;
}

// n distinct words of letters, enough bytes for several write calls.
QStringList manyWords(int n, const QString& stem) {
    QStringList words;
    for (int i = 0; i < n; ++i) {
        QString w = stem;
        for (int k = i; k > 0 || w.size() == stem.size(); k /= 26)
            w += QChar(u'a' + k % 26);
        words << w;
    }
    return words;
}

const QString kIndex = QStringLiteral("kestrel/VocabularyLists.txt");
QString listFile(const QString& name) {
    return QStringLiteral("kestrel/Vocab Categories/") + name + QStringLiteral(".txt");
}

struct Scenario {
    QString name;
    QMap<QString, QByteArray> old;           // data files before, by path in the case folder
    QMap<QString, QFile::Permissions> modes; // special permission bits of old files
    QMap<QString, QString> links;     // symbolic links: link -> target, both in the case folder
    QMap<QString, QByteArray> inputs; // files the command reads, outside the data folders
    QMap<QString, Bytes> changed;     // data files the command changes, and how
    QStringList order;                // the changed files, in the order they must land
    QStringList args;                 // driver arguments; %R is the case folder
    QStringList successMessages;      // "<style> <title>|<text>" on success
    // The critical message for a failure that hit the data file at path.
    std::function<QString(const QString& root, const QString& path)> failureMessage;
};

// The absolute path of a data file as the program spells it.
QString abs(const QString& root, const QString& path) {
    return root + u'/' + path;
}

std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;
    const QByteArray animals = crlf({"cat", "dog"});
    const QByteArray colors = crlf({"red"});
    const QByteArray fruit = crlf({"apple"});
    const QStringList big = manyWords(3000, QStringLiteral("word")); // about 30 KB

    auto saveMessage = [](const QString& root, const QString& path) {
        if (path == kIndex)
            return QStringLiteral("could not write VocabularyLists.txt.  Do you have permission?");
        return QStringLiteral("could not write ") + abs(root, path) +
               QStringLiteral(".  Do you have permissions?");
    };

    {
        // Save of an open list: the index loses a name whose file has gone,
        // the list file gets a long list of words.
        Scenario s;
        s.name = QStringLiteral("save");
        s.old = {{kIndex, crlf({"animals", "colors", "ghost"})},
                 {listFile("animals"), animals},
                 {listFile("colors"), colors}};
        s.inputs = {{QStringLiteral("input/words.txt"), big.join(u'\n').toLatin1() + '\n'}};
        s.changed = {{kIndex, crlf({"animals", "colors"})}, {listFile("animals"), crlf(big)}};
        s.order = {kIndex, listFile("animals")};
        s.args = {"save", "animals", "%R/input/words.txt"};
        s.successMessages = {QStringLiteral("0 Success|Word list was saved.")};
        s.failureMessage = saveMessage;
        all.push_back(s);
    }
    {
        // Save of a list whose file is a symbolic link to a file elsewhere:
        // the file it points to is replaced, the link stays a link.
        Scenario s;
        s.name = QStringLiteral("save via link");
        const QString shared = QStringLiteral("shared/animals.txt");
        s.old = {
            {kIndex, crlf({"animals", "colors"})}, {shared, animals}, {listFile("colors"), colors}};
        s.links = {{listFile("animals"), shared}};
        s.inputs = {{QStringLiteral("input/words.txt"), "cow\nhen\n"}};
        s.changed = {{kIndex, crlf({"animals", "colors"})}, {shared, crlf({"cow", "hen"})}};
        s.order = {kIndex, shared};
        s.args = {"save", "animals", "%R/input/words.txt"};
        s.successMessages = {QStringLiteral("0 Success|Word list was saved.")};
        s.failureMessage = saveMessage;
        all.push_back(s);
    }
    {
        // Save As a new name whose file exists in another letter case: the
        // name joins the index, that one file is replaced, no second is made.
        Scenario s;
        s.name = QStringLiteral("save as");
        s.old = {{kIndex, crlf({"animals", "colors"})},
                 {listFile("animals"), animals},
                 {listFile("colors"), colors},
                 {listFile("birds"), crlf({"old"})}};
        s.inputs = {{QStringLiteral("input/words.txt"), "robin\nwren\n"}};
        s.changed = {{kIndex, crlf({"animals", "colors", "birds"})},
                     {listFile("birds"), crlf({"robin", "wren"})}};
        s.order = {kIndex, listFile("birds")};
        s.args = {"saveas", "animals", "Birds", "%R/input/words.txt"};
        s.failureMessage = saveMessage;
        all.push_back(s);
    }
    {
        // Import: one list replaced (a clash answered Replace), two new,
        // one of them long; the index rewritten last.
        Scenario s;
        s.name = QStringLiteral("import");
        s.old = {{kIndex, crlf({"animals", "colors"})},
                 {listFile("animals"), animals},
                 {listFile("colors"), colors}};
        s.inputs = {
            {QStringLiteral("input/in.kte"),
             "***Animals\r\nLION\r\n\r\ntiger\r\n***birds\r\n" + crlf(big) + "***fish\r\ncod\r\n"}};
        s.changed = {{listFile("animals"), crlf({"lion", "tiger"})},
                     {listFile("birds"), crlf(big)},
                     {listFile("fish"), crlf({"cod"})},
                     {kIndex, crlf({"animals", "colors", "birds", "fish"})}};
        s.order = {listFile("animals"), listFile("birds"), listFile("fish"), kIndex};
        s.args = {"import", "%R/input/in.kte"};
        s.failureMessage = [](const QString& root, const QString& path) {
            if (path == kIndex)
                return QStringLiteral("could not update ") + abs(root, kIndex) +
                       QStringLiteral(".  Do you have proper permissions?");
            return QStringLiteral("could not open ") + abs(root, path) +
                   QStringLiteral(" for writing.  Do you have proper permissions?");
        };
        all.push_back(s);
    }
    {
        // Delete a List: a read-only list named twice in the index, in two
        // letter cases; the other names are written in small letters.
        Scenario s;
        s.name = QStringLiteral("delete");
        s.old = {{kIndex, crlf({"Animals", "Colors", "fruit", "colors"})},
                 {listFile("animals"), animals},
                 {listFile("colors"), colors},
                 {listFile("fruit"), fruit}};
        s.modes = {{listFile("colors"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther}};
        s.changed = {{kIndex, crlf({"animals", "fruit"})}, {listFile("colors"), std::nullopt}};
        s.order = {kIndex, listFile("colors")};
        s.args = {"delete", "Colors"};
        s.failureMessage = [](const QString& root, const QString& path) {
            if (path == kIndex)
                return QStringLiteral(
                    "could not write VocabularyLists.txt.  Do you have permission?");
            return QStringLiteral("could not delete ") + abs(root, path) +
                   QStringLiteral(".  Do you have permissions?");
        };
        all.push_back(s);
    }
    {
        // Export of two lists, one long, over an earlier exchange file.
        Scenario s;
        s.name = QStringLiteral("export");
        const QString out = QStringLiteral("exchange/out.kte");
        s.old = {{kIndex, crlf({"animals", "colors", "fruit"})},
                 {listFile("animals"), crlf(big)},
                 {listFile("colors"), colors},
                 {listFile("fruit"), fruit},
                 {out, "***old\r\nword\r\n"}};
        s.changed = {{out, "***animals\r\n" + crlf(big) + "***fruit\r\napple\r\n"}};
        s.order = {out};
        s.args = {"export", "%R/exchange/out.kte", "animals", "fruit"};
        s.failureMessage = [](const QString& root, const QString& path) {
            return QStringLiteral("Error attempting to create ") + abs(root, path) +
                   QStringLiteral(". Do you have proper permission?");
        };
        all.push_back(s);
    }
    return all;
}

// One counted call, as the shim reports it.
struct Call {
    long any = 0;
    QString kind;
    long nth = 0;
    unsigned long ino = 0;
    QStringList flags;
    QString path;
    bool injected = false; // a FAULT fail line named it
};

struct Run {
    bool finished = false; // did not hang
    bool killed = false;   // ended by a signal
    int exitCode = -1;
    QStringList messages; // "<style> <title>|<text>"
    QStringList index;    // check: the list index
    QStringList out;      // every line of stdout
    QList<Call> calls;
    QStringList faults; // FAULT lines
    QString stderrText;
};

Run parseRun(QProcess& p, bool finished) {
    Run r;
    r.finished = finished;
    r.killed = p.exitStatus() == QProcess::CrashExit;
    r.exitCode = r.killed ? -1 : p.exitCode();
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    r.out = out.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : r.out) {
        if (line.startsWith(QLatin1String("MESSAGE ")))
            r.messages << line.mid(8);
        else if (line.startsWith(QLatin1String("INDEX ")))
            r.index << line.mid(6);
    }
    r.stderrText = QString::fromUtf8(p.readAllStandardError());
    QList<long> injected;
    for (const QString& line : r.stderrText.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("FAULT "))) {
            r.faults << line;
            if (line.startsWith(QLatin1String("FAULT fail ")))
                injected << line.section(u' ', 2, 2).toLong();
        } else if (line.startsWith(QLatin1String("CALL "))) {
            const QStringList f = line.split(u' ');
            if (f.size() < 7)
                continue;
            Call c;
            c.any = f[1].toLong();
            c.kind = f[2];
            c.nth = f[3].toLong();
            c.ino = f[4].mid(4).toULong();
            if (f[5] != QLatin1String("-"))
                c.flags = f[5].split(u',');
            c.path = line.section(u' ', 6);
            c.injected = injected.contains(c.any);
            r.calls << c;
        }
    }
    return r;
}

struct Tally {
    int killCases = 0;
    int failureCases = 0;
    int fileChecks = 0;
    int reloadChecks = 0;
    int leftovers = 0;
    Tally& operator+=(const Tally& t) {
        killCases += t.killCases;
        failureCases += t.failureCases;
        fileChecks += t.fileChecks;
        reloadChecks += t.reloadChecks;
        leftovers += t.leftovers;
        return *this;
    }
};

Tally grandTotal;

class Matrix {
public:
    Matrix(const Scenario& s, const QString& root) : s_(s), root_(root) {
        for (auto it = s_.old.cbegin(); it != s_.old.cend(); ++it)
            dataFiles_ << it.key();
        for (auto it = s_.changed.cbegin(); it != s_.changed.cend(); ++it)
            if (!dataFiles_.contains(it.key()))
                dataFiles_ << it.key();
    }

    QStringList problems;
    Tally tally;

    Bytes oldOf(const QString& path) const {
        return s_.old.contains(path) ? Bytes(s_.old[path]) : std::nullopt;
    }
    Bytes newOf(const QString& path) const {
        return s_.changed.contains(path) ? s_.changed[path] : oldOf(path);
    }

    void restore() {
        for (const char* folder : {"kestrel", "exchange", "shared", "input"}) {
            QDir(abs(root_, QString::fromLatin1(folder))).removeRecursively();
            QDir(root_).mkpath(QString::fromLatin1(folder));
        }
        QDir(root_).mkpath(QStringLiteral("kestrel/Vocab Categories"));
        auto write = [this](const QString& path, const QByteArray& bytes) {
            QFile f(abs(root_, path));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                qFatal("cannot write %s", qPrintable(f.fileName()));
        };
        for (auto it = s_.old.cbegin(); it != s_.old.cend(); ++it)
            write(it.key(), it.value());
        for (auto it = s_.inputs.cbegin(); it != s_.inputs.cend(); ++it)
            write(it.key(), it.value());
        for (auto it = s_.modes.cbegin(); it != s_.modes.cend(); ++it)
            QFile::setPermissions(abs(root_, it.key()), it.value());
        for (auto it = s_.links.cbegin(); it != s_.links.cend(); ++it)
            if (!QFile::link(QDir(QFileInfo(abs(root_, it.key())).path())
                                 .relativeFilePath(abs(root_, it.value())),
                             abs(root_, it.key())))
                qFatal("cannot link %s", qPrintable(it.key()));
    }

    // Runs the driver; env holds the shim's settings (empty: no shim).
    Run run(const QStringList& args, const QMap<QString, QString>& env) {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), abs(root_, QStringLiteral("runtime")));
        e.remove(QStringLiteral("LD_PRELOAD"));
        // In a sanitizer build the shim comes before the sanitizer's runtime,
        // which then has to be told that this is intended. The driver ends
        // with _exit, as the program does, so there is no leak check to run.
        QString asan = e.value(QStringLiteral("ASAN_OPTIONS"));
        asan += QStringLiteral("%1verify_asan_link_order=0:detect_leaks=0")
                    .arg(asan.isEmpty() ? QString() : QStringLiteral(":"));
        e.insert(QStringLiteral("ASAN_OPTIONS"), asan);
        if (!env.isEmpty()) {
            e.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QB_FAULT_SHIM));
            QStringList prefixes;
            for (const char* folder : {"kestrel", "exchange", "shared"})
                prefixes << abs(root_, QString::fromLatin1(folder));
            e.insert(QStringLiteral("QB_FAULT_PREFIXES"), prefixes.join(u':'));
            e.insert(QStringLiteral("QB_SHORT_WRITES"), QStringLiteral("4096"));
            for (auto it = env.cbegin(); it != env.cend(); ++it)
                e.insert(it.key(), it.value());
        }
        p.setProcessEnvironment(e);
        QStringList full{root_};
        for (const QString& a : args)
            full << QString(a).replace(QStringLiteral("%R"), root_);
        p.start(QStringLiteral(QB_WRITER_DRIVER), full);
        bool finished = p.waitForFinished(60000);
        if (!finished) {
            p.kill();
            p.waitForFinished();
        }
        return parseRun(p, finished);
    }

    // The run without faults: it must do exactly what the command does, and
    // its trace gives the calls to fail or kill at.
    bool countRun() {
        restore();
        clean_ = run(s_.args, {{QStringLiteral("QB_FAULT"), QStringLiteral("none")}});
        const QString where = s_.name + QStringLiteral(", without faults: ");
        if (!clean_.finished || clean_.exitCode != 0 || !clean_.out.contains(QLatin1String("DONE")))
            problems << where + QStringLiteral("did not finish: ") + clean_.out.join(u'/') +
                            clean_.stderrText.left(2000);
        if (clean_.messages != s_.successMessages)
            problems << where + QStringLiteral("messages ") + clean_.messages.join(u'/');
        for (const QString& path : dataFiles_)
            if (current(path) != newOf(path))
                problems << where + path + QStringLiteral(" is not as the command writes it");
        checkExtraFiles(where);
        for (const char* kind : {"open", "write", "sync"})
            if (count(QString::fromLatin1(kind)) == 0)
                problems << where + QStringLiteral("no %1 call was seen").arg(kind);
        if (s_.name == QLatin1String("delete") && count(QStringLiteral("unlink")) == 0)
            problems << where + QStringLiteral("no unlink call was seen");
        return problems.isEmpty();
    }

    long count(const QString& kind) const {
        return std::count_if(clean_.calls.cbegin(), clean_.calls.cend(),
                             [&kind](const Call& c) { return c.kind == kind; });
    }
    long countAll() const { return clean_.calls.size(); }
    QString trace() const {
        QStringList lines;
        for (const Call& c : clean_.calls)
            lines << QStringLiteral("%1 %2 %3").arg(c.any).arg(c.kind, subject(c.any));
        return lines.join(u'\n');
    }

    void killCase(const QString& when, long n) {
        restore();
        const Run r = run(s_.args, {{QStringLiteral("QB_FAULT"), when},
                                    {QStringLiteral("QB_FAULT_CALL"), QStringLiteral("any")},
                                    {QStringLiteral("QB_FAULT_AT"), QString::number(n)}});
        ++tally.killCases;
        const QString where =
            QStringLiteral("%1, %2 call %3 (%4): ").arg(s_.name, when).arg(n).arg(subject(n));
        if (!r.killed || r.faults.isEmpty() || !r.faults.last().startsWith("FAULT " + when)) {
            problems << where + QStringLiteral("the program was not killed there: ") +
                            r.out.join(u'/');
            return;
        }
        if (!r.messages.isEmpty())
            problems << where + QStringLiteral("messages before the kill: ") +
                            r.messages.join(u'/');
        checkWhole(where);
        checkOrder(where);
        checkExtraFiles(where);
        checkReload(where);
    }

    void failureCase(const QString& kind, long n, bool sticky) {
        restore();
        const Run r = run(s_.args, {{QStringLiteral("QB_FAULT"), QStringLiteral("fail")},
                                    {QStringLiteral("QB_FAULT_CALL"), kind},
                                    {QStringLiteral("QB_FAULT_AT"), QString::number(n)},
                                    {QStringLiteral("QB_FAULT_STICKY"),
                                     sticky ? QStringLiteral("1") : QStringLiteral("0")}});
        ++tally.failureCases;
        const QString where = QStringLiteral("%1, %2 %3 #%4 failing: ")
                                  .arg(s_.name, kind, sticky ? "from" : "only")
                                  .arg(n);
        if (!r.finished || r.killed) {
            problems << where + QStringLiteral("the program crashed or hung: ") + r.out.join(u'/');
            return;
        }
        // The first failure the program may not ignore decides the outcome.
        const Call* decisive = nullptr;
        for (const Call& c : r.calls) {
            if (!c.injected || c.flags.contains(QLatin1String("dir")) ||
                c.flags.contains(QLatin1String("clean")))
                continue;
            decisive = &c;
            break;
        }
        if (r.faults.isEmpty()) {
            problems << where + QStringLiteral("no fault was injected");
            return;
        }
        if (decisive && !sticky && retriedWell(r, *decisive))
            decisive = nullptr; // the program tried again, and it worked
        if (decisive && !sameCall(*decisive))
            problems << where + QStringLiteral("the run took another road than without faults");

        if (!decisive) {
            if (r.exitCode != 0 || !r.out.contains(QLatin1String("DONE")))
                problems << where + QStringLiteral("an ignorable failure ended the program: ") +
                                r.out.join(u'/');
            if (r.messages != s_.successMessages)
                problems << where + QStringLiteral("messages ") + r.messages.join(u'/');
            for (const QString& path : dataFiles_) {
                ++tally.fileChecks;
                if (current(path) != newOf(path))
                    problems << where + path + QStringLiteral(" is not the new version");
            }
        } else {
            const QString hit = subject(decisive->any);
            // The program names a linked file by its link.
            const QString named = s_.links.key(hit, hit.isEmpty() ? QStringLiteral("?") : hit);
            const QString expected = QStringLiteral("16 |") + s_.failureMessage(root_, named);
            if (hit.isEmpty())
                problems << where + QStringLiteral("cannot tell which file call %1 wrote")
                                        .arg(decisive->any);
            if (r.messages != QStringList{expected})
                problems << where + QStringLiteral("expected the message [%1], saw [%2]")
                                        .arg(expected, r.messages.join(QLatin1String("] [")));
            if (r.exitCode != 1 || !r.out.contains(QLatin1String("END 1")))
                problems << where + QStringLiteral("the program did not end with code 1 (%1)")
                                        .arg(r.exitCode);
            // Files before the one hit have landed; it and those after have not.
            const qsizetype at = s_.order.indexOf(hit);
            for (const QString& path : dataFiles_) {
                ++tally.fileChecks;
                const qsizetype pos = s_.order.indexOf(path);
                const bool landed = pos >= 0 && at >= 0 && pos < at;
                const Bytes want = landed ? newOf(path) : oldOf(path);
                if (current(path) != want)
                    problems << where + path +
                                    (landed ? QStringLiteral(" is not the new version")
                                            : QStringLiteral(" is not the old version")) +
                                    describe(path);
            }
        }
        if (checkExtraFiles(where) > 0)
            checkReload(where);
    }

    QString name() const { return s_.name; }

private:
    const Scenario& s_;
    QString root_;
    QStringList dataFiles_;
    Run clean_;

    Bytes current(const QString& path) const {
        QFile f(abs(root_, path));
        if (!f.exists())
            return std::nullopt;
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray("<unreadable>");
        return f.readAll();
    }

    QString describe(const QString& path) const {
        const Bytes b = current(path);
        if (!b)
            return QStringLiteral(" (missing)");
        return QStringLiteral(" (%1 bytes; old %2, new %3)")
            .arg(b->size())
            .arg(oldOf(path) ? oldOf(path)->size() : -1)
            .arg(newOf(path) ? newOf(path)->size() : -1);
    }

    // The data file that a path names, directly or as the temporary file of
    // its replacement ("<name>.XXXXXX"); empty when none.
    QString dataFileOf(const QString& absolute) const {
        const QString prefix = root_ + u'/';
        if (!absolute.startsWith(prefix))
            return QString();
        const QString rel = absolute.mid(prefix.size());
        if (dataFiles_.contains(rel))
            return rel;
        static const QRegularExpression temp(QStringLiteral("^(.*)\\.[A-Za-z0-9]{6}$"));
        const QRegularExpressionMatch m = temp.match(rel);
        return m.hasMatch() && dataFiles_.contains(m.captured(1)) ? m.captured(1) : QString();
    }

    // The data file that call n of the run without faults worked on: the
    // file or temporary file its path names; for an open, write or sync of
    // an unnamed file, the file that the same inode is later linked to.
    QString subject(long n) const {
        if (n < 1 || n > clean_.calls.size())
            return QString();
        const Call& c = clean_.calls[n - 1];
        if (c.flags.contains(QLatin1String("dir")))
            return QStringLiteral("folder ") + c.path;
        const QString named = dataFileOf(c.path);
        if (!named.isEmpty() || c.kind == QLatin1String("rename") ||
            c.kind == QLatin1String("unlink"))
            return named;
        for (qsizetype i = n - 1; i < clean_.calls.size(); ++i) {
            const Call& d = clean_.calls[i];
            if (d.kind == QLatin1String("rename") && d.ino == c.ino && c.ino != 0)
                return dataFileOf(d.path);
        }
        return QString();
    }

    // The failed call is the same as in the run without faults.
    bool sameCall(const Call& c) const {
        if (c.any < 1 || c.any > clean_.calls.size())
            return false;
        const Call& d = clean_.calls[c.any - 1];
        return d.kind == c.kind && d.nth == c.nth;
    }

    // The program tried the failed step again and it worked: a later link
    // or rename of the same new file, or a later unlink of the same file.
    // (A failed write or sync is never made good by trying again: the bytes
    // the kernel dropped are gone.)
    static bool retriedWell(const Run& r, const Call& failed) {
        if (failed.kind != QLatin1String("rename") && failed.kind != QLatin1String("unlink"))
            return false;
        for (const Call& c : r.calls) {
            if (c.any <= failed.any || c.kind != failed.kind ||
                c.flags.contains(QLatin1String("failed")))
                continue;
            if (failed.kind == QLatin1String("rename") ? c.ino == failed.ino && c.ino != 0
                                                       : c.path == failed.path)
                return true;
        }
        return false;
    }

    void checkWhole(const QString& where) {
        for (const QString& path : dataFiles_) {
            ++tally.fileChecks;
            const Bytes now = current(path);
            if (now != oldOf(path) && now != newOf(path))
                problems << where + path + QStringLiteral(" is neither old nor new") +
                                describe(path);
        }
    }

    // A file that has landed means every file before it has too.
    void checkOrder(const QString& where) {
        bool laterLanded = false;
        for (qsizetype i = s_.order.size() - 1; i >= 0; --i) {
            const QString& path = s_.order[i];
            if (oldOf(path) == newOf(path))
                continue;
            const bool landed = current(path) == newOf(path);
            if (laterLanded && !landed)
                problems << where + path + QStringLiteral(" is old although a later file is new");
            laterLanded = laterLanded || landed;
        }
    }

    // Files other than the data files: only the temporary files of a
    // replacement. Returns how many there are.
    int checkExtraFiles(const QString& where) {
        int extra = 0;
        for (const char* folder : {"kestrel", "exchange", "shared"}) {
            QDirIterator it(abs(root_, QString::fromLatin1(folder)),
                            QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden |
                                QDir::System,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                const QString rel = path.mid(root_.size() + 1);
                if (it.fileInfo().isDir()) {
                    if (rel != QLatin1String("kestrel/Vocab Categories"))
                        problems << where + QStringLiteral("unexpected folder ") + rel;
                    continue;
                }
                if (s_.links.contains(rel)) {
                    if (it.fileInfo().symLinkTarget() != abs(root_, s_.links[rel]))
                        problems << where + rel + QStringLiteral(" is no longer the link it was");
                    continue;
                }
                if (dataFiles_.contains(rel))
                    continue;
                if (dataFileOf(path).isEmpty())
                    problems << where + QStringLiteral("unexpected file ") + rel;
                else
                    ++extra;
            }
        }
        tally.leftovers += extra;
        return extra;
    }

    // The next start of the program loads the index as the files on disk
    // say: the names of the index file whose list files exist.
    void checkReload(const QString& where) {
        ++tally.reloadChecks;
        const Run r = run({QStringLiteral("check")}, {});
        QStringList expected;
        const Bytes index = current(kIndex);
        QStringList present;
        for (const QString& f : QDir(abs(root_, QStringLiteral("kestrel/Vocab Categories")))
                                    .entryList(QDir::Files | QDir::Hidden))
            if (f.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
                present << f.chopped(4).toLower();
        if (index) {
            QString text = QString::fromLatin1(*index);
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
                if (present.contains(line.toLower()))
                    expected << line;
        }
        if (r.exitCode != 0 || !r.messages.isEmpty() || r.index != expected)
            problems << where + QStringLiteral("the next start loaded [%1] (exit %2, messages %3), "
                                               "the files say [%4]")
                                    .arg(r.index.join(u','))
                                    .arg(r.exitCode)
                                    .arg(r.messages.join(u'/'), expected.join(u','));
    }
};

} // namespace

class FaultMatrixTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void matrix_data();
    void matrix();
    void cleanupTestCase();
};

void FaultMatrixTest::initTestCase() {
    QVERIFY2(QFileInfo(QStringLiteral(QB_WRITER_DRIVER)).isExecutable(), QB_WRITER_DRIVER);
    QVERIFY2(QFileInfo(QStringLiteral(QB_FAULT_SHIM)).isFile(), QB_FAULT_SHIM);
}

void FaultMatrixTest::matrix_data() {
    QTest::addColumn<int>("scenario");
    const std::vector<Scenario> all = scenarios();
    for (size_t i = 0; i < all.size(); ++i)
        QTest::newRow(qPrintable(all[i].name)) << int(i);
}

void FaultMatrixTest::matrix() {
    QFETCH(int, scenario);
    const std::vector<Scenario> all = scenarios();
    const Scenario& s = all[size_t(scenario)];
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("config/quillbox"));
    QDir(dir.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(dir.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        QFile reg(dir.path() + QStringLiteral("/config/quillbox/registry.reg"));
        QVERIFY(reg.open(QIODevice::WriteOnly));
        QByteArray folder = QFile::encodeName(dir.path() + QStringLiteral("/kestrel"));
        folder.replace("\\", "\\\\").replace("\"", "\\\"");
        const QByteArray appPaths =
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
        reg.write("Windows Registry Editor Version 5.00\r\n\r\n" + appPaths +
                  "Quillbox.exe]\r\n\"PATH\"=\"/usr/lib/quillbox\"\r\n\r\n" + appPaths +
                  "kestrel.exe]\r\n\"PATH\"=\"" + folder + "\"\r\n");
    }

    Matrix m(s, dir.path());
    QVERIFY2(m.countRun(), qPrintable(m.problems.join(u'\n')));

    for (const char* when : {"kill-before", "kill-after"})
        for (long n = 1; n <= m.countAll(); ++n)
            m.killCase(QString::fromLatin1(when), n);
    for (const char* kind : {"open", "write", "sync", "rename", "unlink"})
        for (bool sticky : {true, false})
            for (long n = 1; n <= m.count(QString::fromLatin1(kind)); ++n)
                m.failureCase(QString::fromLatin1(kind), n, sticky);

    const Tally& t = m.tally;
    std::printf("%s: %d calls counted, %d kill cases, %d failure cases, %d file checks, "
                "%d reload checks, %d leftover temporary files\n",
                qPrintable(s.name), int(m.countAll()), t.killCases, t.failureCases, t.fileChecks,
                t.reloadChecks, t.leftovers);
    std::fflush(stdout);
    grandTotal += t;

    if (!m.problems.isEmpty()) {
        QStringList shown = m.problems.mid(0, 40);
        if (m.problems.size() > 40)
            shown << QStringLiteral("... and %1 more").arg(m.problems.size() - 40);
        QFAIL(qPrintable(QStringLiteral("%1 problems; the calls without faults:\n%2\n")
                             .arg(m.problems.size())
                             .arg(m.trace()) +
                         shown.join(u'\n')));
    }
    // The matrix proves nothing unless it killed inside the replacement: at
    // least once a temporary file was left, and the next start ignored it.
    QVERIFY2(t.leftovers > 0, "no kill fell between the temporary file and the rename");
}

void FaultMatrixTest::cleanupTestCase() {
    std::printf("total: %d kill cases, %d failure cases, %d file checks, %d reload checks, "
                "%d leftover temporary files\n",
                grandTotal.killCases, grandTotal.failureCases, grandTotal.fileChecks,
                grandTotal.reloadChecks, grandTotal.leftovers);
    std::fflush(stdout);
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_faultMatrix.moc"

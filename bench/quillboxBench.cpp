// The program's figures at the largest sizes it is made for, each against the
// floor of a plain program doing the same durable file work in the same run,
// or against an absolute goal.
//
//   quillbox-bench [--summary] [--small]
//
// --only NAME runs the figures whose names begin with NAME. --summary prints one line a figure:
// "NAME ratio X goal Y" or "NAME ms X goal Y" (the best of the repeated runs' medians is the
// caller's to take). --small runs every figure on small sizes, once, so that the program is known
// to work; its times mean nothing. Run it on an idle machine; it makes its installations in a
// temporary folder.

#include "benchSupport.h"

#include "app/frmMain.h"
#include "app/frmPassword.h"
#include "commands/frmRecover.h"
#include "core/globals.h"
#include "exchange/exchangeCommands.h"
#include "exchange/frmExport.h"
#include "store/ListStore.h"
#include "store/RecoveryJournal.h"
#include "store/exchangeFile.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "store/textFile.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/MultiLineTextBox.h"
#include "ui/platform.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstring>

namespace {

bool summary = false;
bool small = false;
QString only;      // --only NAME: that figure alone (the first word of its name)
int lists = 10000; // the index's size

void line(const char* name, const char* unit, double value, double goal, const QString& detail) {
    if (summary)
        std::printf("%s %s %.3f goal %.1f\n", name, unit, value, goal);
    else
        std::printf("%-28s %9.3f %-5s (goal <= %.1f: %s)  %s\n", name, value, unit, goal,
                    value <= goal ? "met" : "NOT met", qPrintable(detail));
    std::fflush(stdout);
}

void ratio(const char* name, const bench::Ratio& r, double goal, const char* floorName) {
    line(name, "ratio", r.ratio, goal,
         QStringLiteral("median of the pairs' ratios; medians %1 ms against %2 ms, %3")
             .arg(r.programMs, 0, 'f', 3)
             .arg(r.floorMs, 0, 'f', 3)
             .arg(floorName));
}

int runs(int many) {
    return small ? 1 : many;
}

// A Kestrel folder whose index names `lists` lists, each with a file of one
// word. With capitals, every other name has capitals and every fourth is not
// plain ASCII, as New and Save As write them.
QStringList makeInstallation(const QString& folder, bool capitals) {
    QDir().mkpath(folder + QStringLiteral("/Vocab Categories"));
    QStringList names;
    for (int i = 0; i < lists; ++i) {
        QString name = QStringLiteral("list %1").arg(i, 5, 10, QLatin1Char('0'));
        if (capitals && i % 2)
            name = QStringLiteral("List %1").arg(i, 5, 10, QLatin1Char('0'));
        if (capitals && i % 4 == 1)
            name += QStringLiteral(" \u00c9t\u00e9");
        names << name;
        bench::plainWrite(folder + QStringLiteral("/Vocab Categories/") + name +
                              QStringLiteral(".txt"),
                          "word\r\n");
    }
    bench::plainWrite(folder + QStringLiteral("/VocabularyLists.txt"), store::joinLines(names));
    globals::KestrelFolder = folder;
    return names;
}

// The folder's modification time changed, as another program would change it.
void touchFolder(const QString& folder) {
    const QString file = folder + QStringLiteral("/Vocab Categories/.touched");
    bench::plainWrite(file, "x");
    QFile::remove(file);
}

void benchReload(const char* name, bool capitals) {
    QTemporaryDir dir;
    makeInstallation(dir.path(), capitals);
    const QString listFolder = dir.path() + QStringLiteral("/Vocab Categories");
    const QString indexPath = dir.path() + QStringLiteral("/VocabularyLists.txt");
    // Every reload finds the folder changed: a full reload, never a remembered listing.
    const auto changed = [&] {
        touchFolder(dir.path());
        QThread::msleep(30);
    };
    const bench::Ratio r = bench::medianRatio(
        runs(21), [] { globals::LoadListIndex(); },
        [&] {
            bench::plainList(listFolder);
            bench::plainRead(indexPath);
        },
        changed);
    if (globals::ListCount != lists)
        qFatal("the reload kept %d names", int(globals::ListCount));
    ratio(name, r, 2.0, "a listing and a read of the index");
}

// words words of seven letters, each followed by a line break.
QString wordsText(int words) {
    QString text;
    text.reserve(words * 9);
    for (int i = 0; i < words; ++i) {
        QString word = QStringLiteral("wd");
        for (int k = 0, n = i; k < 5; ++k, n /= 26)
            word += QChar(u'a' + n % 26);
        text += word + QStringLiteral("\r\n");
    }
    return text;
}

void benchSave() {
    QTemporaryDir dir;
    makeInstallation(dir.path(), false);
    globals::LoadListIndex();
    frmMain& main = ui::Forms::get<frmMain>();
    globals::CurrentCategory = QStringLiteral("list 05000");
    main.txtEditor->setText(wordsText(small ? 50 : 5000));
    main.txtEditor_SaveEntries();
    // A person saves seconds apart, not within one tick of the file system's clock.
    const auto pause = [] { QThread::msleep(30); };
    const QByteArray indexBytes = store::joinLines(store::ListStore::instance().names());
    const QByteArray listBytes = store::listFileBytes(main.txtEditor->Text());
    // The floor's files in folders of their own: the program's folders stay
    // as only the program changes them.
    QDir().mkpath(dir.path() + QStringLiteral("/floor/lists"));
    const QString floorIndex = dir.path() + QStringLiteral("/floor/index.txt");
    const QString floorList = dir.path() + QStringLiteral("/floor/lists/list.txt");
    const bench::Ratio r = bench::medianRatio(
        runs(21), [&] { main.txtEditor_SaveEntries(); },
        [&] {
            bench::plainDurableWrite(floorIndex, indexBytes);
            bench::plainDurableWrite(floorList, listBytes);
        },
        pause);
    ratio("save", r, 2.0, "the same two files written durably");
    ui::Forms::unloadAll();
}

void typeLetter(QWidget* w) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(w, &key);
    QApplication::processEvents(); // the repaint
}

// Typing one letter at a time into text, at positions spread over the span
// characters from first (box positions), the repaint included.
void benchTyping(const char* name, const QString& text, int first, int span,
                 const QString& detail) {
    frmMain& main = ui::Forms::get<frmMain>();
    main.txtEditor->setText(text);
    main.showEditing();
    main.show();
    main.txtEditor_ResetUndo();
    QApplication::processEvents();
    int position = span / 2;
    const double ms = bench::medianMs(
        runs(501), [&] { typeLetter(main.txtEditor); },
        [&] {
            position = (position + 7919) % span;
            main.txtEditor->setSelStart(first + position);
            QApplication::processEvents();
        });
    line(name, "ms", ms, 1.0, detail + QStringLiteral(", repaint included"));
    ui::Forms::unloadAll();
}

void benchKeystroke(const char* name, int characters) {
    if (small)
        characters /= 1000;
    benchTyping(name, wordsText(characters / 9 + 1).left(characters), 0, characters,
                QStringLiteral("%1 characters").arg(characters));
}

// Typing within a line of 10,000 letters among a few thousand short lines.
void benchLongLine(const char* name) {
    const int letters = small ? 1000 : 10000;
    const QString before = wordsText(small ? 10 : 1000), after = wordsText(small ? 10 : 1000);
    QString longLine;
    for (int i = 0; i < letters; ++i)
        longLine += QChar(u'a' + (i * 7) % 26);
    benchTyping(name, before + longLine + QStringLiteral("\r\n") + after, int(before.size()),
                letters, QStringLiteral("within a line of %1 letters").arg(letters));
}

void benchOpen(const char* name, int megabytes, double goal) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + QStringLiteral("/Vocab Categories"));
    globals::KestrelFolder = dir.path();
    const qsizetype bytes = qsizetype(megabytes) * (small ? 1000 : 1000000);
    const QByteArray file = store::encodeText(wordsText(int(bytes / 9) + 1)).left(bytes);
    bench::plainWrite(dir.path() + QStringLiteral("/Vocab Categories/big.txt"), file);
    frmMain& main = ui::Forms::get<frmMain>();
    main.show();
    QString big = QStringLiteral("big");
    const double ms = bench::medianMs(
        runs(3),
        [&] {
            main.txtEditor_GetEntries(big);
            main.txtEditor_ResetUndo();
            QApplication::processEvents();
        },
        [&] {
            main.txtEditor->setText(QString());
            QApplication::processEvents();
        });
    line(name, "ms", ms, goal, QStringLiteral("%1 bytes").arg(file.size()));
    ui::Forms::unloadAll();
}

// The platform of the exchange benchmarks: the export dialog chooses every
// row, the file dialogs answer with a path, messages are fatal.
class ExchangePlatform : public ui::WidgetPlatform {
public:
    QString answer;
    void showModal(ui::Dialog& dlg) override {
        auto& exportDialog = dynamic_cast<frmExport&>(dlg);
        exportDialog.List1->selectAll();
        exportDialog.cmdOK_Click();
    }
    QString getSaveFileName(const QString&, const QString&) override { return answer; }
    void msgBox(const QString& text, int, const QString&) override {
        qFatal("message: %s", qPrintable(text));
    }
};

void benchExchange() {
    QList<store::Section> sections;
    for (int i = 0; i < lists; ++i) {
        store::Section section{QStringLiteral("list %1").arg(i, 5, 10, QLatin1Char('0')), {}};
        for (int w = 0; w < 20; ++w)
            section.words << QStringLiteral("word%1x%2").arg(i).arg(w);
        sections << section;
    }
    const QByteArray exchangeBytes = store::writeExchangeFile(sections);
    QTemporaryDir dir;
    const QString exchangePath = dir.path() + QStringLiteral("/all.kte");
    bench::plainWrite(exchangePath, exchangeBytes);
    ExchangePlatform platform;
    ui::installPlatform(&platform);
    ui::Forms::get<frmMain>(); // the dialogs answer to it

    int round = 0;
    QString folder, imported;
    const auto freshFolder = [&] {
        folder = dir.path() + QStringLiteral("/installation%1").arg(round++);
        QDir().mkpath(folder + QStringLiteral("/Vocab Categories"));
        globals::KestrelFolder = folder;
        store::ListStore::instance().reset(); // a new installation
    };
    const bench::Ratio importRatio = bench::medianRatio(
        runs(3),
        [&] {
            QString file = exchangePath;
            globals::ImportCategories(file);
            if (globals::ListCount != lists)
                qFatal("the import kept %d names", int(globals::ListCount));
            imported = folder;
        },
        [&] {
            bench::plainRead(exchangePath);
            QStringList names;
            for (const store::Section& s : sections) {
                bench::plainDurableWrite(folder + QStringLiteral("/Vocab Categories/") + s.name +
                                             QStringLiteral(".txt"),
                                         store::joinLines(s.words));
                names << s.name;
            }
            bench::plainDurableWrite(folder + QStringLiteral("/VocabularyLists.txt"),
                                     store::joinLines(names));
        },
        freshFolder);
    ratio("import", importRatio, 1.5, "the same files written durably");

    globals::KestrelFolder = imported;
    store::ListStore::instance().reset();
    platform.answer = dir.path() + QStringLiteral("/export.kte");
    frmExport& exportDialog = ui::Forms::get<frmExport>();
    const bench::Ratio exportRatio = bench::medianRatio(
        runs(5), [&] { ui::ShowModal(exportDialog); },
        [&] {
            QByteArray out;
            const QString listFolder = imported + QStringLiteral("/Vocab Categories/");
            for (const store::Section& s : sections)
                out += "***" + s.name.toLatin1() + "\r\n" +
                       bench::plainRead(listFolder + s.name + QStringLiteral(".txt"));
            bench::plainDurableWrite(dir.path() + QStringLiteral("/plain.kte"), out);
        });
    if (bench::plainRead(platform.answer) != exchangeBytes)
        qFatal("the export differs from the exchange file imported");
    ratio("export", exportRatio, 1.5, "the same files read, one written durably");
    ui::installPlatform(nullptr);
    ui::Forms::unloadAll();
}

// The peak of the memory the process has held, in megabytes (Linux).
double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& row : status.readAll().split('\n'))
        if (row.startsWith("VmHWM:"))
            return row.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// A person typing 8 letters a second for 8 seconds into a list of the given
// size, the recovery journal on (each change handed over, the journal written
// in the background about every 0.8 s). Two figures: the slowest key, timed
// whole (the key, what it sets off, the repaint), and the longest that the
// main thread was held at any moment, keys and all, as a timer ticking every
// millisecond sees it. Then, at 1 MB, the time to bring the journal up to
// date after a letter (written and synced).
void benchTypist(int megabytes) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + QStringLiteral("/Vocab Categories"));
    globals::KestrelFolder = dir.path();
    frmMain& main = ui::Forms::get<frmMain>();
    const int characters = small ? 1000 * megabytes : megabytes * 1024 * 1024;
    main.txtEditor->setText(wordsText(characters / 9 + 1).left(characters));
    main.showEditing();
    main.show();
    globals::CurrentCategory = QStringLiteral("typed");
    globals::ListChanged = true;
    main.txtEditor_ResetUndo();
    main.recovery().update();
    main.txtEditor->setSelStart(characters / 2);
    QApplication::processEvents();
    main.recovery().journal().settle();

    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0, longestHeld = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestHeld = qMax(longestHeld, now - lastTick);
        lastTick = now;
    });
    const int keys = small ? 4 : 64;
    const qint64 gap = 125; // milliseconds: 8 keys a second
    std::vector<double> times;
    lastTick = clock.nsecsElapsed();
    ticker.start();
    for (int k = 0; k < keys; ++k) {
        while (clock.elapsed() < (k + 1) * gap)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        times.push_back(bench::medianMs(1, [&] { typeLetter(main.txtEditor); }));
    }
    ticker.stop();
    const bool kept = main.recovery().bringUpToDate();
    const QString size = QStringLiteral("%1 MB").arg(megabytes);
    const QString name = QStringLiteral("typist-%1mb").arg(megabytes);
    const double slowest = *std::max_element(times.begin(), times.end());
    std::sort(times.begin(), times.end());
    line(qPrintable(name + QStringLiteral("-key")), "ms", slowest, 16.0,
         QStringLiteral("%1 list, %2 keys at 8 a second, the journal %3; median key %4 ms; "
                        "peak memory of the process %5 MB")
             .arg(size)
             .arg(keys)
             .arg(kept ? QStringLiteral("kept") : QStringLiteral("NOT KEPT"))
             .arg(times[times.size() / 2], 0, 'f', 3)
             .arg(peakMegabytes(), 0, 'f', 0));
    line(qPrintable(name + QStringLiteral("-held")), "ms", double(longestHeld) / 1e6, 16.0,
         QStringLiteral("%1 list: the longest gap between two ticks of a timer due every "
                        "millisecond on the main thread, keys and all")
             .arg(size));
    if (megabytes == 1) {
        const double update = bench::medianMs(
            runs(21), [&] { main.recovery().bringUpToDate(); },
            [&] { typeLetter(main.txtEditor); });
        line(
            "journal-update", "ms", update, 200.0,
            QStringLiteral("%1 list: a letter's change added to the journal and synced").arg(size));
    }
    main.recovery().discard();
    main.recovery().journal().settle();
    ui::Forms::unloadAll();
}

// The platform of the start-up benchmark: the password typed, the recovery
// question answered Yes, messages fatal.
class StartPlatform : public ui::WidgetPlatform {
public:
    void showModal(ui::Dialog& dlg) override {
        if (auto* password = qobject_cast<frmPassword*>(&dlg)) {
            password->Text1->setText(QStringLiteral("quorp7"));
            password->cmdOK_Click();
        } else if (auto* recover = qobject_cast<frmRecover*>(&dlg)) {
            recover->cmdYes_Click();
        } else {
            qFatal("an unexpected dialog at start-up");
        }
    }
    void msgBox(const QString& text, int, const QString&) override {
        qFatal("message: %s", qPrintable(text));
    }
};

// Start-up, password given, with a journal for a list of 1 MB whose words
// differ from the list file's: the question answered Yes, until the list is
// shown with the words brought back.
void benchRecover() {
    QTemporaryDir dir;
    const QString kestrel = dir.path() + QStringLiteral("/kestrel");
    QDir().mkpath(kestrel + QStringLiteral("/Vocab Categories"));
    QDir().mkpath(dir.path() + QStringLiteral("/config/quillbox"));
    bench::plainWrite(dir.path() + QStringLiteral("/config/quillbox/registry.reg"),
                      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                      "CurrentVersion\\App Paths\\Quillbox.exe]\r\n\"PATH\"=\"/opt\"\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
                      "Paths\\kestrel.exe]\r\n\"PATH\"=\"" +
                          QFile::encodeName(kestrel) + "\"\r\n");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/data")));
    const int characters = small ? 1000 : 1000000;
    const QString words = wordsText(characters / 9 + 1).left(characters);
    bench::plainWrite(kestrel + QStringLiteral("/VocabularyLists.txt"), "big\r\n");
    bench::plainWrite(kestrel + QStringLiteral("/Vocab Categories/big.txt"),
                      store::listFileBytes(words.left(characters / 2)));
    StartPlatform platform;
    ui::installPlatform(&platform);
    const double ms = bench::medianMs(
        runs(5),
        [&] {
            frmMain& main = ui::Forms::get<frmMain>();
            main.Form_Load();
            main.show();
            QApplication::processEvents();
            if (main.txtEditor->Text().size() != characters)
                qFatal("the words were not brought back");
        },
        [&] {
            ui::Forms::unloadAll();
            globals::resetState();
            store::ListStore::instance().reset();
            QDir(store::journalFolder()).removeRecursively(); // the last run's taken over
            store::RecoveryJournal journal;                   // left behind by a copy that ended
            journal.setText(words);
            journal.follow(kestrel, QStringLiteral("big"), true);
            journal.flush(60000);
        });
    line("recover", "ms", ms, 500.0,
         QStringLiteral("start-up with a journal of %1 characters, brought back").arg(characters));
    ui::installPlatform(nullptr);
    ui::Forms::unloadAll();
}

// The offscreen platform's notes about window size hints say nothing about the figures.
QtMessageHandler standard = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("propagateSizeHints")))
        return;
    standard(type, context, message);
}

} // namespace

bool wanted(const char* name) {
    return only.isEmpty() || QString::fromLatin1(name).startsWith(only);
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    standard = qInstallMessageHandler(quietHandler);
    for (int i = 1; i < argc; ++i) {
        summary = summary || std::strcmp(argv[i], "--summary") == 0;
        small = small || std::strcmp(argv[i], "--small") == 0;
        if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            only = QString::fromLocal8Bit(argv[++i]);
    }
    if (small)
        lists = 100;
    // The benchmark's journals and settings go to a folder of its own, removed at the end: the
    // user's own are never touched.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    if (!summary)
        bench::printMachine();
    if (wanted("save"))
        benchSave();
    if (wanted("reload"))
        benchReload("reload", false);
    if (wanted("reload-capitals"))
        benchReload("reload-capitals", true);
    for (const auto& [name, size] : {std::pair{"keystroke-4k", 4000},
                                     {"keystroke-40k", 40000},
                                     {"keystroke-400k", 400000},
                                     {"keystroke-4m", 4000000}})
        if (wanted(name))
            benchKeystroke(name, size);
    if (wanted("keystroke-longline"))
        benchLongLine("keystroke-longline");
    if (wanted("open-1mb"))
        benchOpen("open-1mb", 1, 200);
    if (wanted("open-10mb"))
        benchOpen("open-10mb", 10, 2000);
    if (wanted("import") || wanted("export"))
        benchExchange();
    for (const int megabytes : {1, 10, 16})
        if (wanted(qPrintable(QStringLiteral("typist-%1mb").arg(megabytes))) || wanted("journal"))
            benchTypist(megabytes);
    if (wanted("recover"))
        benchRecover();
    return 0;
}

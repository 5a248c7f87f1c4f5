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
#include "core/globals.h"
#include "exchange/exchangeCommands.h"
#include "exchange/frmExport.h"
#include "store/ListStore.h"
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
#include <QTemporaryDir>
#include <QThread>

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

void ratio(const char* name, double ms, double floorMs, double goal, const char* floorName) {
    line(name, "ratio", ms / floorMs, goal,
         QStringLiteral("%1 ms against %2 ms, %3")
             .arg(ms, 0, 'f', 3)
             .arg(floorMs, 0, 'f', 3)
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
    const double reload = bench::medianMs(
        runs(21), [] { globals::LoadListIndex(); }, changed);
    if (globals::ListCount != lists)
        qFatal("the reload kept %d names", int(globals::ListCount));
    const double floor = bench::medianMs(
        runs(21),
        [&] {
            bench::plainList(listFolder);
            bench::plainRead(indexPath);
        },
        changed);
    ratio(name, reload, floor, 2.0, "a listing and a read of the index");
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
    const double save = bench::medianMs(
        runs(21), [&] { main.txtEditor_SaveEntries(); }, pause);

    const QByteArray indexBytes = store::joinLines(store::ListStore::instance().names());
    const QByteArray listBytes = store::listFileBytes(main.txtEditor->Text());
    const QString floorIndex = dir.path() + QStringLiteral("/floor-index.txt");
    const QString floorList = dir.path() + QStringLiteral("/Vocab Categories/floor-list.txt");
    const double floor = bench::medianMs(
        runs(21),
        [&] {
            bench::plainDurableWrite(floorIndex, indexBytes);
            bench::plainDurableWrite(floorList, listBytes);
        },
        pause);
    ratio("save", save, floor, 2.0, "the same two files written durably");
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
    QString folder;
    const auto freshFolder = [&](const char* prefix) {
        folder = dir.path() + QStringLiteral("/%1%2").arg(QLatin1String(prefix)).arg(round++);
        QDir().mkpath(folder + QStringLiteral("/Vocab Categories"));
        globals::KestrelFolder = folder;
        store::ListStore::instance().reset(); // a new installation
    };
    const double import = bench::medianMs(
        runs(3),
        [&] {
            QString file = exchangePath;
            globals::ImportCategories(file);
        },
        [&] { freshFolder("import"); });
    if (globals::ListCount != lists)
        qFatal("the import kept %d names", int(globals::ListCount));
    const QString imported = folder;
    const double plainImport = bench::medianMs(
        runs(3),
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
        [&] { freshFolder("plain"); });
    ratio("import", import, plainImport, 1.5, "the same files written durably");

    globals::KestrelFolder = imported;
    platform.answer = dir.path() + QStringLiteral("/export.kte");
    frmExport& exportDialog = ui::Forms::get<frmExport>();
    const double exportMs = bench::medianMs(runs(5), [&] { ui::ShowModal(exportDialog); });
    if (bench::plainRead(platform.answer) != exchangeBytes)
        qFatal("the export differs from the exchange file imported");
    const double plainExport = bench::medianMs(runs(5), [&] {
        QByteArray out;
        const QString listFolder = imported + QStringLiteral("/Vocab Categories/");
        for (const store::Section& s : sections)
            out += "***" + s.name.toLatin1() + "\r\n" +
                   bench::plainRead(listFolder + s.name + QStringLiteral(".txt"));
        bench::plainDurableWrite(dir.path() + QStringLiteral("/plain.kte"), out);
    });
    ratio("export", exportMs, plainExport, 1.5, "the same files read, one written durably");
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
    return 0;
}

// The program's figures at the largest sizes it is made for, each against the
// floor of a plain program doing the same file work in the same run.
//
//   bench_quillbox [index|save|typing|exchange|all]
//
// Run it on an idle machine; it makes its installation in a temporary folder.

#include "benchSupport.h"

#include "app/frmMain.h"
#include "core/globals.h"
#include "exchange/exchangeCommands.h"
#include "exchange/exchangeFile.h"
#include "exchange/frmExport.h"
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
#include <QListWidget>
#include <QTemporaryDir>

#include <malloc.h>

namespace {

constexpr int kLists = 10000;

// A Kestrel folder with an index of kLists names whose files all exist.
void makeInstallation(const QString& folder) {
    QDir().mkpath(folder + QStringLiteral("/Vocab Categories"));
    QStringList names;
    for (int i = 0; i < kLists; ++i) {
        const QString name = QStringLiteral("list %1").arg(i, 5, 10, QLatin1Char('0'));
        names << name;
        QFile f(folder + QStringLiteral("/Vocab Categories/") + name + QStringLiteral(".txt"));
        f.open(QIODevice::WriteOnly);
        f.write("word\r\n");
    }
    QFile index(folder + QStringLiteral("/VocabularyLists.txt"));
    index.open(QIODevice::WriteOnly);
    index.write(store::joinLines(names));
    globals::KestrelFolder = folder;
}

// 5000 words of seven letters: 45,000 characters with their line breaks.
QString fiveThousandWords() {
    QString text;
    for (int i = 0; i < 5000; ++i) {
        QString word;
        int n = i;
        for (int k = 0; k < 5; ++k, n /= 26)
            word += QChar(u'a' + n % 26);
        text += QStringLiteral("wd") + word + QStringLiteral("\r\n");
    }
    return text;
}

void benchIndexReload() {
    QTemporaryDir dir;
    makeInstallation(dir.path());
    const double reload = bench::medianMs(21, [] { globals::LoadListIndex(); });
    if (globals::ListCount != kLists)
        qFatal("the reload kept %d names", int(globals::ListCount));
    const QString listFolder = dir.path() + QStringLiteral("/Vocab Categories");
    const QString indexPath = dir.path() + QStringLiteral("/VocabularyLists.txt");
    const double floor = bench::medianMs(21, [&] {
        bench::plainList(listFolder);
        bench::plainRead(indexPath);
    });
    bench::report("index reload, 10,000 names", reload, "listing + one read of the index", floor,
                  3.0);
}

void benchSave() {
    QTemporaryDir dir;
    makeInstallation(dir.path());
    globals::LoadListIndex();
    frmMain& main = ui::Forms::get<frmMain>();
    globals::CurrentCategory = QStringLiteral("list 05000");
    main.txtEditor->setText(fiveThousandWords());
    main.txtEditor_SaveEntries();

    const double save = bench::medianMs(15, [&] { main.txtEditor_SaveEntries(); });

    const QByteArray indexBytes = store::joinLines(store::currentListNames());
    const QByteArray listBytes = store::joinLines(store::wordLines(main.txtEditor->Text()));
    const QString floorIndex = dir.path() + QStringLiteral("/floor-index.txt");
    const QString floorList = dir.path() + QStringLiteral("/floor-list.txt");
    const QString floorAll = dir.path() + QStringLiteral("/floor-all.txt");
    const double two = bench::medianMs(15, [&] {
        bench::plainDurableWrite(floorIndex, indexBytes);
        bench::plainDurableWrite(floorList, listBytes);
    });
    const double one =
        bench::medianMs(15, [&] { bench::plainDurableWrite(floorAll, indexBytes + listBytes); });
    bench::report("save, 5,000 words, index of 10,000", save, "the same two files, durably", two,
                  2.0);
    bench::report("save, 5,000 words, index of 10,000", save, "one durable write, same bytes", one,
                  2.0);
    ui::Forms::unloadAll();
}

void typeLetter(QWidget* w) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(w, &key);
}

void benchTyping() {
    frmMain& main = ui::Forms::get<frmMain>();
    main.txtEditor->setText(fiveThousandWords().left(40000));
    main.txtEditor->setVisible(true);
    main.mnuEnable_All();
    main.show();
    main.txtEditor_ResetUndo();

    // One typed letter: filter, insertion, change notification, undo record.
    int position = 0;
    const double letter = bench::medianMs(
        2001, [&] { typeLetter(main.txtEditor); },
        [&] {
            position = (position + 7919) % 40000;
            main.txtEditor->setSelStart(position);
        });
    std::printf("%-44s %10.3f ms   (goal <= 1 ms: %s)\n", "one typed letter, 40,000 characters",
                letter, letter <= 1.0 ? "met" : "NOT met");

    // Memory of a full history: 10,000 single-letter steps.
    main.txtEditor_ResetUndo();
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 10000; ++i) {
        main.txtEditor->setSelStart((i * 7919) % 40000);
        typeLetter(main.txtEditor);
    }
    const size_t after = mallinfo2().uordblks;
    const double mib = double(after > before ? after - before : 0) / (1024.0 * 1024.0);
    std::printf("%-44s %10.2f MiB  (history's own estimate %.2f MiB; whole copies would hold "
                "%.0f MiB; goal <= 64 MiB: %s)\n",
                "undo history after 10,000 steps", mib,
                double(main.undoHistory().memoryBytes()) / (1024.0 * 1024.0),
                10000.0 * 2 * main.txtEditor->Text().size() / (1024.0 * 1024.0),
                mib <= 64 ? "met" : "NOT met");
    if (main.undoHistory().undoTop() != 10000)
        qFatal("the history holds %d steps", main.undoHistory().undoTop());
    ui::Forms::unloadAll();
}

// The platform the exchange benchmark runs under: the save-file dialog
// answers with a path, the export dialog chooses every row.
class ExportPlatform : public ui::WidgetPlatform {
public:
    QString answer;
    void showModal(ui::Dialog& dlg) override {
        auto& exportDialog = dynamic_cast<frmExport&>(dlg);
        exportDialog.List1->selectAll();
        exportDialog.cmdOK_Click();
    }
    QString getSaveFileName(const QString&, const QString&) override { return answer; }
};

QList<exchange::Section> tenThousandLists() {
    QList<exchange::Section> sections;
    for (int i = 0; i < kLists; ++i) {
        exchange::Section section;
        section.name = QStringLiteral("list %1").arg(i, 5, 10, QLatin1Char('0'));
        for (int w = 0; w < 20; ++w)
            section.words << QStringLiteral("word%1x%2").arg(i).arg(w);
        sections << section;
    }
    return sections;
}

void benchExchange() {
    const QList<exchange::Section> sections = tenThousandLists();
    const QByteArray exchangeBytes = exchange::writeExchangeFile(sections);
    QTemporaryDir dir;
    const QString exchangePath = dir.path() + QStringLiteral("/all.kte");
    bench::plainDurableWrite(exchangePath, exchangeBytes);

    // Import into an empty installation, three times, each into a fresh folder.
    int round = 0;
    QString folder;
    const double import = bench::medianMs(
        3,
        [&] {
            QString file = exchangePath;
            globals::ImportCategories(file);
        },
        [&] {
            folder = dir.path() + QStringLiteral("/import%1").arg(round++);
            QDir().mkpath(folder + QStringLiteral("/Vocab Categories"));
            globals::KestrelFolder = folder;
            globals::ListCount = 0;
        });
    if (globals::ListCount != kLists)
        qFatal("the import kept %d names", int(globals::ListCount));

    // The floor: read the exchange file, write each list file and the index durably.
    const double plainImport = bench::medianMs(
        3,
        [&] {
            bench::plainRead(exchangePath);
            QStringList names;
            for (const exchange::Section& s : sections) {
                bench::plainDurableWrite(folder + QStringLiteral("/Vocab Categories/") + s.name +
                                             QStringLiteral(".txt"),
                                         store::joinLines(s.words));
                names << s.name;
            }
            bench::plainDurableWrite(folder + QStringLiteral("/VocabularyLists.txt"),
                                     store::joinLines(names));
        },
        [&] {
            folder = dir.path() + QStringLiteral("/plain%1").arg(round++);
            QDir().mkpath(folder + QStringLiteral("/Vocab Categories"));
        });
    bench::report("import, 10,000 lists x 20 words", import, "the same files written durably",
                  plainImport, 2.0);

    // Export of all of them from the last imported installation.
    globals::KestrelFolder = dir.path() + QStringLiteral("/import2");
    ExportPlatform platform;
    ui::installPlatform(&platform);
    platform.answer = dir.path() + QStringLiteral("/export.kte");
    frmExport& exportDialog = ui::Forms::get<frmExport>();
    const double exportMs = bench::medianMs(5, [&] { ui::ShowModal(exportDialog); });
    ui::installPlatform(nullptr);
    if (bench::plainRead(platform.answer) != exchangeBytes)
        qFatal("the export differs from the exchange file imported");
    const double plainExport = bench::medianMs(5, [&] {
        QByteArray out;
        const QString lists = globals::KestrelFolder + QStringLiteral("/Vocab Categories/");
        for (const exchange::Section& s : sections)
            out += "***" + s.name.toLatin1() + "\r\n" +
                   bench::plainRead(lists + s.name + QStringLiteral(".txt"));
        bench::plainDurableWrite(dir.path() + QStringLiteral("/plain.kte"), out);
    });
    bench::report("export, 10,000 lists x 20 words", exportMs, "the same files read, one written",
                  plainExport, 2.0);
    ui::Forms::unloadAll();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("all");
    bench::printMachine();
    if (which == "index" || which == "all")
        benchIndexReload();
    if (which == "save" || which == "all")
        benchSave();
    if (which == "typing" || which == "all")
        benchTyping();
    if (which == "exchange" || which == "all")
        benchExchange();
    return 0;
}

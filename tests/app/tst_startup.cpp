// Start-up as the user meets it: the installation checks and their messages,
// the password gate, and the window it leaves behind.

#include "KestrelFixture.h"
#include "Program.h"
#include "app/frmMain.h"
#include "app/frmPassword.h"
#include "core/globals.h"
#include "core/messages.h"
#include "store/listIndex.h"
#include "ui/HelpViewer.h"
#include "ui/platform.h"
#include "ui/reports.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {
const QByteArray kKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
// A registry file: Quillbox's PATH value, then Kestrel's ("" leaves the key out).
QByteArray registry(const QByteArray& quillbox, const QByteArray& kestrel) {
    QByteArray out = "Windows Registry Editor Version 5.00\r\n\r\n";
    if (!quillbox.isEmpty())
        out += kKey + "Quillbox.exe]\r\n\"PATH\"=" + quillbox + "\r\n";
    if (!kestrel.isEmpty())
        out += kKey + "kestrel.exe]\r\n\"PATH\"=" + kestrel + "\r\n";
    return out;
}

void row(const char* name, const QByteArray& registry, const QStringList& typed,
         const QStringList& messages, int ended) {
    QTest::newRow(name) << registry << typed << messages << ended;
}
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startUp_data();
    void startUp();
    void startedWindow();
    void reports();
};

void StartupTest::startUp_data() {
    QTest::addColumn<QByteArray>("registry"); // empty: both registered, Kestrel's folder made
    QTest::addColumn<QStringList>("typed");   // passwords, each confirmed with OK
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("ended"); // -1: the program runs

    const QStringList notInstalled{"X Quillbox not properly installed."};
    const QStringList noKestrel{"X  Kestrel not installed. "};
    const QString wrong = QStringLiteral("Incorrect Password");
    row("no registry file", "-", {}, notInstalled, 1);
    row("malformed registry file", "PATH=/opt\r\n", {}, notInstalled, 1);
    row("Quillbox not registered", registry("", "\"/srv/k\""), {}, notInstalled, 1);
    row("Quillbox's PATH empty", registry("\"\"", "\"/srv/k\""), {}, notInstalled, 1);
    row("Quillbox's PATH an expandable string", registry("hex(2):43,00,3a,00,00,00", "\"/srv/k\""),
        {}, notInstalled, 1);
    row("a registry file that is a pipe is not waited on", "<pipe>", {}, notInstalled, 1);
    row("a sparse registry file of 100 GB is not read", "<sparse>", {}, notInstalled, 1);
    row("Kestrel not registered", registry("\"/opt/q\"", ""), {}, noKestrel, 1);
    row("Kestrel's PATH empty", registry("\"/opt/q\"", "\"\""), {}, noKestrel, 1);
    row("Kestrel's folder missing: asked for the password, then the end",
        registry("\"/opt/q\"", "\"/nonexistent/kestrel\""), {"quorp7"},
        {"X Don't have permission to run this program.  Contact your system administrator."}, 1);
    row("right password", "", {"quorp7"}, {}, -1);
    row("two wrong, then right", "", {"quorp", "QUORP7", "quorp7"}, {wrong, wrong}, -1);
    row("three wrong: letter case and blanks count", "", {"Quorp7", " quorp7", "quorp7 "},
        {wrong, wrong, wrong, "X Exiting Program"}, 1);
    row("Never Mind ends silently", "", {"!cancel"}, {}, 0);
    row("the close box ends silently", "", {"!close"}, {}, 0);
}

void StartupTest::startUp() {
    QFETCH(QByteArray, registry);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, messages);
    QFETCH(int, ended);

    KestrelFixture fx;
    if (registry.isEmpty())
        fx.registerBoth();
    else if (registry.startsWith('<'))
        fx.write({{"config/quillbox/registry.reg", registry}});
    else if (registry != "-")
        fx.writeRegistry(registry);
    Program program(fx.root());
    if (!typed.isEmpty())
        program.platform.play<frmPassword>([typed](frmPassword& d) {
            for (const QString& password : typed) {
                d.Text1->setText(password);
                if (password == QLatin1String("!cancel"))
                    d.cmdCancel_Click();
                else
                    password == QLatin1String("!close") ? d.closeBoxClicked() : d.cmdOK_Click();
            }
        });
    std::optional<int> end;
    try {
        program.main().Form_Load();
    } catch (const core::ProgramEnded& e) {
        end = e.exitCode;
    } catch (const ScriptError& e) {
        QFAIL(e.what());
    }
    QCOMPARE(end.value_or(-1), ended);
    QCOMPARE(program.platform.shownMessages(), messages);
    QCOMPARE(program.platform.dialogs.size(), typed.size() ? 1 : 0);
}

void StartupTest::startedWindow() {
    KestrelFixture fx;
    fx.registerBoth();
    fx.write(files({"index", "animals|birds", "animals", "cat"}));
    globals::ListChanged = true;
    Program program(fx.root());
    program.platform.play<frmPassword>([](frmPassword& d) {
        QTest::keyClicks(d.Text1, "wrong");
        QCOMPARE(d.Text1->displayText(), QStringLiteral("*****"));
        QTest::keyClick(d.Text1, Qt::Key_Return); // Enter is one try
        d.Text1->setText(QStringLiteral("quorp7"));
        QTest::keyClick(d.Text1, Qt::Key_Return);
    });
    frmMain& main = program.main();
    main.Form_Load();
    main.show();
    QCOMPARE(program.platform.shownMessages(), QStringList{"Incorrect Password"});
    QCOMPARE(program.state(), QStringLiteral(" /  / (hidden) / unchanged / no list"));
    QCOMPARE(globals::ListCount, qint16(1));                 // birds has no file
    QCOMPARE(main.centralWidget()->size(), QSize(916, 459)); // 13740 x 6885 twips
    ui::HelpViewer viewer; // open beside it: a dialog belongs over the main window, never over it
    viewer.show();
    QCOMPARE(ui::ownerWindow(), &main);
    main.hide();
    QCOMPARE(ui::ownerWindow(), nullptr);
    QCOMPARE(main.lblVisibleHelp->text(),
             "\nWelcome to the Quillbox.\n\nTo start making vocabulary lists, \nclick on 'File' "
             "and choose 'New' \n\nTo change a current list,\nclick on 'File' and choose 'Open' ");
    QCOMPARE(globals::HelpText[2], "\r Type your words, one per line.\r\rPlease, no spaces, no "
                                   "numbers, no punctuation\r\rTo make changes, use the 'Edit' "
                                   "commands,\rthe arrow keys, backspace or delete.");
    // The menus: caption, "-" for an item that starts disabled, shortcut.
    QString menus;
    for (QAction* menu : main.menuBar()->actions()) {
        menus += menu->text();
        for (QAction* item : menu->menu()->actions())
            menus +=
                u'|' + item->text() + (item->isEnabled() ? "" : "-") + item->shortcut().toString();
        menus += u'\n';
    }
    QCOMPARE(menus, "&File|&New ...Ctrl+N|&Open ...Ctrl+O|&Save -Ctrl+S|Save &As ...-||&Import "
                    "Word ListsCtrl+I|&Export Word ListsCtrl+E||E&xit\n&Edit|&Undo-Ctrl+Z|&Redo-"
                    "Ctrl+Y||Cu&t-Ctrl+X|&Copy-Ctrl+C|&Paste-Ctrl+V||Delete a List\n&Help|&"
                    "Contents ...|&About ...\n");
}

// Each outcome of the store, through the one reporter, with each thing the file
// system said of the file: a file left alone (not an ordinary file, too large)
// is said to be so, never taken for a matter of permissions; otherwise the
// message names the file, where the outcome is about one. A problem that the
// reload before had too is not said again.
void StartupTest::reports() {
    using O = store::Outcome;
    using F = store::FileStatus;
    const QList<O> aboutNoFile{O::FolderNotMade, O::TooMany, O::Busy, O::IndexFull,
                               O::IndexNotWritten}; // VocabularyLists.txt, by its name
    const QList<O> noReason{O::FolderNotMade,  O::TooMany,          O::Busy,
                            O::Refused,        O::IndexFull,        O::ListTooLarge,
                            O::ListNotDeleted, O::ImportFileDamaged};
    KestrelFixture fx;
    Program program(fx.root());
    const QString path = QStringLiteral("/k/x.txt");
    for (int o = int(O::IndexNotRead); o <= int(O::ImportIndexNotWritten); ++o)
        for (F f : {F::Ok, F::Failed, F::NotRegular, F::TooLarge}) {
            store::Result r(O(o), f, path, 16);
            program.platform.messages.clear();
            ui::report(r);
            r.repeated = true;
            ui::report(r);
            const QString shown = program.platform.shownMessages().join(u'\n');
            const QString why = f == F::NotRegular ? messages::notAFile(path)
                                : f == F::TooLarge ? messages::tooLarge(path, 16)
                                                   : QString();
            const QByteArray row =
                QString("outcome %1, file %2: %3").arg(o).arg(int(f)).arg(shown).toUtf8();
            const bool told = !why.isEmpty() && !noReason.contains(O(o))
                                  ? shown.contains(why) && !shown.startsWith("X ")
                                  : shown.contains(path) != aboutNoFile.contains(O(o));
            QVERIFY2(told && program.platform.messages.size() == 1, row);
        }
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"

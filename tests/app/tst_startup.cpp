// Start-up end to end, in-process: the installation checks and their
// messages, the password gate, and the window it leaves behind.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "app/frmPassword.h"
#include "core/globals.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"
#include "ui/look.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray kQuillboxKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quillbox.exe]"
    "\r\n";
const QByteArray kKestrelKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe]"
    "\r\n";

// Queues a player that types each password in turn and presses OK.
void typePasswords(KestrelFixture& fx, const QStringList& passwords) {
    fx.platform().play<frmPassword>([passwords](frmPassword& d) {
        for (const QString& password : passwords) {
            d.Text1->setText(password);
            d.cmdOK_Click();
        }
    });
}

QStringList menuTexts(const Message& m) {
    return {m.text, QString::number(m.style), m.title};
}
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void installationFailures_data();
    void installationFailures();
    void passwordAttempts_data();
    void passwordAttempts();
    void neverMindAndCloseBoxEndSilently_data();
    void neverMindAndCloseBoxEndSilently();
    void enterInThePasswordBoxIsOneTry();
    void passwordShowsStars();
    void idleWindowAfterStartUp();
    void menuTree();
    void instructionTexts();
    void missingKestrelFolderEndsAfterPassword();
    void closingTheMainWindowEndsAtOnce();
};

void StartupTest::installationFailures_data() {
    QTest::addColumn<QByteArray>("registry");
    QTest::addColumn<QString>("message");

    const QString quillbox = QStringLiteral("Quillbox not properly installed.");
    const QString kestrel = QStringLiteral(" Kestrel not installed. ");
    const QByteArray kestrelOk = kKestrelKey + "\"PATH\"=\"/srv/kestrel\"\r\n";

    QTest::newRow("no registry file") << QByteArray() << quillbox;
    QTest::newRow("malformed registry file") << QByteArray("PATH=/opt\r\n") << quillbox;
    QTest::newRow("no Quillbox key") << kHeader + kestrelOk << quillbox;
    QTest::newRow("Quillbox key without PATH")
        << kHeader + kQuillboxKey + "\"Other\"=\"x\"\r\n" + kestrelOk << quillbox;
    QTest::newRow("Quillbox PATH empty")
        << kHeader + kQuillboxKey + "\"PATH\"=\"\"\r\n" + kestrelOk << quillbox;
    QTest::newRow("Quillbox PATH expandable string")
        << kHeader + kQuillboxKey + "\"PATH\"=hex(2):43,00,3a,00,00,00\r\n" + kestrelOk << quillbox;
    QTest::newRow("Quillbox PATH longer than the buffer")
        << kHeader + kQuillboxKey + "\"PATH\"=\"" + QByteArray(1024, 'q') + "\"\r\n" + kestrelOk
        << quillbox;
    QTest::newRow("no Kestrel key") << kHeader + kQuillboxKey + "\"PATH\"=\"/opt/q\"\r\n"
                                    << kestrel;
    QTest::newRow("Kestrel PATH empty")
        << kHeader + kQuillboxKey + "\"PATH\"=\"/opt/q\"\r\n" + kKestrelKey + "\"PATH\"=\"\"\r\n"
        << kestrel;
}

void StartupTest::installationFailures() {
    QFETCH(QByteArray, registry);
    QFETCH(QString, message);

    KestrelFixture fx;
    if (!registry.isEmpty())
        fx.writeRegistry(registry);
    frmMain& main = ui::Forms::get<frmMain>();
    QCOMPARE(endsProgram([&] { main.Form_Load(); }), std::optional<int>(1));
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(menuTexts(fx.platform().messages[0]), (QStringList{message, "16", ""}));
    QVERIFY(fx.platform().shownDialogs.isEmpty()); // no password asked
}

void StartupTest::passwordAttempts_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QStringList>("messages");

    const QString wrong = QStringLiteral("Incorrect Password");
    QTest::newRow("right at once") << QStringList{"quorp7"} << true << QStringList{};
    QTest::newRow("two wrong, then right")
        << QStringList{"quorp", "QUORP7", "quorp7"} << true << QStringList{wrong, wrong};
    QTest::newRow("three wrong: other case, blanks")
        << QStringList{"Quorp7", " quorp7", "quorp7 "} << false
        << QStringList{wrong, wrong, wrong, "Exiting Program"};
    QTest::newRow("three empty") << QStringList{"", "", ""} << false
                                 << QStringList{wrong, wrong, wrong, "Exiting Program"};
}

void StartupTest::passwordAttempts() {
    QFETCH(QStringList, typed);
    QFETCH(bool, starts);
    QFETCH(QStringList, messages);

    KestrelFixture fx;
    fx.registerBoth();
    fx.makeFolders();
    typePasswords(fx, typed);
    frmMain& main = ui::Forms::get<frmMain>();
    const std::optional<int> ended = endsProgram([&] { main.Form_Load(); });
    QCOMPARE(ended.has_value(), !starts);

    QStringList shown;
    for (const Message& m : fx.platform().messages) {
        shown << m.text;
        QVERIFY(m.title.isEmpty());
        QCOMPARE(m.style, m.text == "Exiting Program" ? 16 : 0);
    }
    QCOMPARE(shown, messages);
    QCOMPARE(globals::KestrelFolder.isEmpty(), false);
    if (starts)
        QCOMPARE(ui::caption(main.lblVisibleHelp), globals::HelpText[1]);
}

void StartupTest::neverMindAndCloseBoxEndSilently_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Never Mind") << false;
    QTest::newRow("close box") << true;
}

void StartupTest::neverMindAndCloseBoxEndSilently() {
    QFETCH(bool, closeBox);
    KestrelFixture fx;
    fx.registerBoth();
    fx.platform().play<frmPassword>([closeBox](frmPassword& d) {
        QVERIFY(d.hasCloseBox());
        d.Text1->setText("quorp7"); // typed, but not confirmed
        if (closeBox)
            d.closeBoxClicked();
        else
            d.cmdCancel_Click();
    });
    frmMain& main = ui::Forms::get<frmMain>();
    QCOMPARE(endsProgram([&] { main.Form_Load(); }), std::optional<int>(0));
    QVERIFY(fx.platform().messages.isEmpty());
    QCOMPARE(globals::ListCount, qint16(0));
}

void StartupTest::enterInThePasswordBoxIsOneTry() {
    KestrelFixture fx;
    fx.registerBoth();
    fx.makeFolders();
    fx.platform().play<frmPassword>([](frmPassword& d) {
        QTest::keyClicks(d.Text1, "wrong");
        QTest::keyClick(d.Text1, Qt::Key_Return);
        QVERIFY(d.isVisible());
        d.Text1->clear();
        QTest::keyClicks(d.Text1, "quorp7");
        QTest::keyClick(d.Text1, Qt::Key_Return);
    });
    frmMain& main = ui::Forms::get<frmMain>();
    QCOMPARE(endsProgram([&] { main.Form_Load(); }), std::nullopt);
    QCOMPARE(fx.platform().messages.size(), 1); // one try, one message
}

void StartupTest::passwordShowsStars() {
    KestrelFixture fx;
    frmPassword& d = ui::Forms::get<frmPassword>();
    d.show();
    QTest::keyClicks(d.Text1, "quorp7");
    QCOMPARE(d.Text1->text(), QStringLiteral("quorp7"));
    QCOMPARE(d.Text1->displayText(), QStringLiteral("******"));
    QCOMPARE(d.windowTitle(), QStringLiteral("Select a category"));
    QCOMPARE(d.Label1->text(), QStringLiteral("Enter password"));
    QCOMPARE(d.cmdCancel->text(), QStringLiteral("Never Mind"));
}

void StartupTest::idleWindowAfterStartUp() {
    KestrelFixture fx;
    fx.registerBoth();
    fx.writeIndex({"animals", "birds"});
    fx.writeList("animals", {"cat"});
    typePasswords(fx, {"quorp7"});
    globals::ListChanged = true;
    frmMain& main = ui::Forms::get<frmMain>();
    main.Form_Load();
    main.show();

    QCOMPARE(globals::KestrelFolder, fx.kestrelFolder());
    QCOMPARE(globals::ListCount, qint16(1)); // birds has no file
    QCOMPARE(globals::ListNames[1], QStringLiteral("animals"));
    QVERIFY(!main.txtEditor->isVisible());
    QVERIFY(main.lblCategoryLabel->text().isEmpty());
    QCOMPARE(ui::caption(main.lblVisibleHelp), globals::HelpText[1]);
    QCOMPARE(globals::ListChanged, false);
    QVERIFY(globals::CurrentCategory.isEmpty());
    QVERIFY(fx.platform().messages.isEmpty());
    QCOMPARE(main.windowTitle(), QStringLiteral("Quillbox"));
    // The inner area: 13740 x 6885 twips below the menu bar.
    QCOMPARE(main.centralWidget()->size(), QSize(916, 459));
}

void StartupTest::menuTree() {
    KestrelFixture fx;
    frmMain& main = ui::Forms::get<frmMain>();
    struct Item {
        QAction* action;
        const char* caption;
        const char* shortcut;
        bool enabled;
    };
    const Item items[] = {
        {main.mnuFile->menuAction(), "&File", "", true},
        {main.mnuNew, "&New ...", "Ctrl+N", true},
        {main.mnuOpen, "&Open ...", "Ctrl+O", true},
        {main.mnuSave, "&Save ", "Ctrl+S", false},
        {main.mnuSaveAs, "Save &As ...", "", false},
        {main.mnuImport, "&Import Word Lists", "Ctrl+I", true},
        {main.mnuExport, "&Export Word Lists", "Ctrl+E", true},
        {main.mnuExit, "E&xit", "", true},
        {main.mnuEdit->menuAction(), "&Edit", "", true},
        {main.mnuUndo, "&Undo", "Ctrl+Z", false},
        {main.mnuRedo, "&Redo", "Ctrl+Y", false},
        {main.mnuCut, "Cu&t", "Ctrl+X", false},
        {main.mnuCopy, "&Copy", "Ctrl+C", false},
        {main.mnuPaste, "&Paste", "Ctrl+V", false},
        {main.mnuDeleteList, "Delete a List", "", true},
        {main.mnuHelp->menuAction(), "&Help", "", true},
        {main.mnuHelpContents, "&Contents ...", "", true},
        {main.mnuHelpAbout, "&About ...", "", true},
    };
    for (const Item& item : items) {
        QCOMPARE(item.action->text(), QString::fromLatin1(item.caption));
        QCOMPARE(item.action->shortcut(), QKeySequence(QString::fromLatin1(item.shortcut)));
        QCOMPARE(item.action->isEnabled(), item.enabled);
    }
    // Order, with the separators where they stand.
    QList<QAction*> file = main.mnuFile->actions();
    QCOMPARE(file, (QList<QAction*>{main.mnuNew, main.mnuOpen, main.mnuSave, main.mnuSaveAs,
                                    main.mnuDashes, main.mnuImport, main.mnuExport, main.mnuDahes3,
                                    main.mnuExit}));
    QCOMPARE(main.mnuEdit->actions(),
             (QList<QAction*>{main.mnuUndo, main.mnuRedo, main.mnuDashes2, main.mnuCut,
                              main.mnuCopy, main.mnuPaste, main.mnuDashes4, main.mnuDeleteList}));
    QVERIFY(main.mnuDashes->isSeparator() && main.mnuDahes3->isSeparator());

    // Enabling for an open list, then disabling after it was deleted: Export,
    // the Edit menu and Delete a List stay enabled.
    main.mnuEnable_All();
    for (QAction* a : {main.mnuSave, main.mnuSaveAs, main.mnuUndo, main.mnuRedo, main.mnuCut,
                       main.mnuCopy, main.mnuPaste, main.mnuExport, main.mnuDeleteList})
        QVERIFY(a->isEnabled());
    main.mnuDisable_EditSave();
    for (QAction* a : {main.mnuSave, main.mnuSaveAs, main.mnuUndo, main.mnuRedo, main.mnuCut,
                       main.mnuCopy, main.mnuPaste})
        QVERIFY(!a->isEnabled());
    for (QAction* a : {main.mnuExport, main.mnuDeleteList, main.mnuEdit->menuAction()})
        QVERIFY(a->isEnabled());
}

void StartupTest::instructionTexts() {
    KestrelFixture fx;
    fx.registerBoth();
    fx.makeFolders();
    typePasswords(fx, {"quorp7"});
    frmMain& main = ui::Forms::get<frmMain>();
    main.Form_Load();

    const QString welcome = globals::HelpText[1];
    const QString editing = globals::HelpText[2];
    QVERIFY(!welcome.contains(u'\n') && !editing.contains(u'\n'));
    QCOMPARE(welcome.split(u'\r'),
             (QStringList{"", "Welcome to the Quillbox.", "", "To start making vocabulary lists, ",
                          "click on 'File' and choose 'New' ", "", "To change a current list,",
                          "click on 'File' and choose 'Open' "}));
    QCOMPARE(editing.split(u'\r'), (QStringList{"", " Type your words, one per line.", "",
                                                "Please, no spaces, no numbers, no punctuation", "",
                                                "To make changes, use the 'Edit' commands,",
                                                "the arrow keys, backspace or delete."}));
    // The label shows a line per CR: eight lines, the first empty.
    QCOMPARE(main.lblVisibleHelp->text().split(u'\n').size(), 8);
    QVERIFY(main.lblVisibleHelp->text().startsWith(u'\n'));
}

void StartupTest::missingKestrelFolderEndsAfterPassword() {
    KestrelFixture fx;
    fx.registerBoth(); // the folder it names does not exist
    typePasswords(fx, {"quorp7"});
    frmMain& main = ui::Forms::get<frmMain>();
    QCOMPARE(endsProgram([&] { main.Form_Load(); }), std::optional<int>(1));
    QCOMPARE(fx.platform().shownDialogs, QStringList{"frmPassword"});
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text,
             QStringLiteral(
                 "Don't have permission to run this program.  Contact your system administrator."));
}

void StartupTest::closingTheMainWindowEndsAtOnce() {
    KestrelFixture fx;
    frmMain& main = ui::Forms::get<frmMain>();
    globals::ListChanged = true; // unsaved words are not asked about
    QCOMPARE(endsProgram([&] { main.Form_Unload(); }), std::optional<int>(0));
    QVERIFY(fx.platform().messages.isEmpty());
    QVERIFY(fx.platform().shownDialogs.isEmpty());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"

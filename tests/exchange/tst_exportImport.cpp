// Export and Import as a user goes through them, checked on the files they
// leave: the exchange file byte for byte, list files, and the index.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "commands/frmAreYouSure.h"
#include "core/globals.h"
#include "exchange/frmDuplicate.h"
#include "exchange/frmExport.h"
#include "exchange/frmRename.h"
#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"

#include "ui/ListBox.h"
#include <QDir>
#include <QFile>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

// Export of the rows named, into the file answered in the save-file dialog.
void exportRows(KestrelFixture& fx, frmMain& main, const QStringList& rows, const QString& file) {
    fx.platform().answerFile(file);
    fx.platform().play<frmExport>([rows](frmExport& d) {
        for (const QString& row : rows)
            d.List1->findItems(row, Qt::MatchExactly).constFirst()->setSelected(true);
        d.cmdOK_Click();
    });
    main.mnuExport_Click();
}

// What the user does in frmDuplicate, one step per entry: "replace", "skip",
// "cancel rename", or "rename:<name>".
void answerDuplicate(KestrelFixture& fx, const QStringList& steps, QStringList* questions) {
    fx.platform().play<frmDuplicate>([&fx, steps, questions](frmDuplicate& d) {
        if (questions)
            *questions << ui::caption(d.lblDir1);
        for (const QString& step : steps) {
            if (step == "replace") {
                d.cmdReplace_Click();
            } else if (step == "skip") {
                d.cmdSkip_Click();
            } else if (step == "cancel rename") {
                fx.platform().play<frmRename>([](frmRename& r) { r.cmdCancel_Click(); });
                d.cmdRename_Click();
            } else {
                const QString name = step.mid(7);
                fx.platform().play<frmRename>([name](frmRename& r) {
                    QVERIFY(r.txtName->Text().isEmpty());
                    QTest::keyClicks(r.txtName, name);
                    QTest::keyClick(r.txtName, Qt::Key_Return);
                });
                d.cmdRename_Click();
            }
        }
    });
}

void importFile(KestrelFixture& fx, frmMain& main, const QString& file) {
    fx.platform().answerFile(file);
    main.mnuImport_Click();
}
} // namespace

class ExportImportTest : public QObject {
    Q_OBJECT
private slots:
    void exportWritesSectionsInRowOrder();
    void exportDialogTexts();
    void exportNothingChosenMakesAnEmptyFile();
    void exportCopiesListFilesAsTheyAre();
    void exportCancelled_data();
    void exportCancelled();
    void exportAfterPromptNo();
    void exportFailures_data();
    void exportFailures();
    void roundTripIntoEmptyInstallation();
    void importNewListsInFileOrder();
    void importClashes_data();
    void importClashes();
    void nameTwiceInOneFile();
    void importRefusedFiles_data();
    void importRefusedFiles();
    void unsafeHeadersAreSkipped();
    void importStopsAtTheLimit();
    void importListFileCannotBeWritten();
};

void ExportImportTest::exportWritesSectionsInRowOrder() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString file = fx.root() + QStringLiteral("/out.kte");
    exportRows(fx, main, {"fruit", "animals"}, file);
    QCOMPARE(KestrelFixture::readFile(file),
             QByteArray("***animals\r\ncat\r\ndog\r\n***fruit\r\napple\r\n"));
    QVERIFY(fx.platform().messages.isEmpty()); // silent success
    QVERIFY(!main.userCanceled);
    QCOMPARE(fx.platform().fileRequests.size(), 1);
    QCOMPARE(fx.platform().fileRequests[0].save, true);
    QCOMPARE(fx.platform().fileRequests[0].title, QStringLiteral("Export File Name"));
    QCOMPARE(fx.platform().fileRequests[0].filter, QStringLiteral("KT Export File (*.kte)|*.kte"));
}

void ExportImportTest::exportDialogTexts() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    fx.platform().play<frmExport>([](frmExport& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Export  categories"));
        QVERIFY(!d.hasCloseBox());
        QCOMPARE(ui::caption(d.Label1),
                 QStringLiteral("Hold down the CTRL key and click on the categories you want to "
                                "export.\r\rAfter you click 'Export', you will name the export "
                                "file."));
        QCOMPARE(d.List1->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(d.List1->count(), 3);
        QCOMPARE(d.cmdOK->text(), QStringLiteral("Export"));
        d.List1->item(0)->setSelected(true); // no selection survives to the next showing
        d.cmdCancel_Click();
    });
    main.mnuExport_Click();
    QVERIFY(main.userCanceled);
    fx.platform().play<frmExport>([](frmExport& d) {
        QVERIFY(d.List1->selectedItems().isEmpty());
        d.cmdCancel_Click();
    });
    main.mnuExport_Click();
}

void ExportImportTest::exportNothingChosenMakesAnEmptyFile() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString file = fx.root() + QStringLiteral("/lists"); // no extension is added
    KestrelFixture::writeFile(file, "old contents");
    exportRows(fx, main, {}, file);
    QCOMPARE(KestrelFixture::readFile(file), QByteArray());
    QVERIFY(!QFile::exists(file + QStringLiteral(".kte")));
}

void ExportImportTest::exportCopiesListFilesAsTheyAre() {
    KestrelFixture fx;
    fx.writeIndex({"Animals", "empty", "colors"});
    KestrelFixture::writeFile(fx.listPath("animals"), "Cat\r\n\r\ndog"); // edited outside
    KestrelFixture::writeFile(fx.listPath("empty"), "");
    fx.writeList("colors", {"red"});
    frmMain& main = fx.startProgram();
    const QString file = fx.root() + QStringLiteral("/out.kte");
    exportRows(fx, main, {"Animals", "empty", "colors"}, file);
    QCOMPARE(KestrelFixture::readFile(file),
             QByteArray("***Animals\r\nCat\r\n\r\ndog\r\n***empty\r\n***colors\r\nred\r\n"));
}

void ExportImportTest::exportCancelled_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("save-file dialog cancelled") << "";
    QTest::newRow("path of four characters") << "/a.k";
}

void ExportImportTest::exportCancelled() {
    QFETCH(QString, answer);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    exportRows(fx, main, {"animals"}, answer);
    QVERIFY(main.userCanceled);
    QVERIFY(fx.platform().messages.isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("/a.k")));
}

void ExportImportTest::exportAfterPromptNo() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    globals::CurrentCategory = QStringLiteral("colors");
    main.txtEditor->setText(QStringLiteral("red\r\nblue\r\n"));
    globals::ListChanged = true;
    fx.platform().play<frmAreYouSure>([](frmAreYouSure& d) { d.cmdNo_Click(); });
    const QString file = fx.root() + QStringLiteral("/out.kte");
    exportRows(fx, main, {"colors"}, file);
    QCOMPARE(KestrelFixture::readFile(file), QByteArray("***colors\r\nred\r\n"));
    QVERIFY(globals::ListChanged); // still changed: the next command asks again
}

void ExportImportTest::exportFailures_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("folder does not exist") << "folder";
    QTest::newRow("existing file immutable") << "immutable";
    QTest::newRow("a chosen list is gone") << "list";
}

void ExportImportTest::exportFailures() {
    QFETCH(QString, fault);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    QString file = fx.root() + QStringLiteral("/out.kte");
    KestrelFixture::writeFile(file, "***earlier\r\nword\r\n");
    if (fault == "folder") {
        file = fx.root() + QStringLiteral("/missing/out.kte");
    } else if (fault == "immutable") {
        const QString why = setImmutable(file, true);
        if (!why.isEmpty())
            QSKIP(qPrintable("needs chattr: " + why));
    }
    fx.platform().answerFile(file);
    fx.platform().play<frmExport>([&fx, fault](frmExport& d) {
        d.List1->item(0)->setSelected(true);
        d.List1->item(2)->setSelected(true);
        if (fault == "list")
            QFile::remove(fx.listPath("fruit"));
        d.cmdOK_Click();
    });
    const std::optional<int> ended = endsProgram([&] { main.mnuExport_Click(); });
    if (fault == "immutable")
        setImmutable(file, false);
    QCOMPARE(ended, std::optional<int>(1));
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].style, 16);
    if (fault == "list") {
        QCOMPARE(fx.platform().messages[0].text,
                 QStringLiteral("error attempting to open ") + fx.listPath("fruit"));
    } else {
        QCOMPARE(fx.platform().messages[0].text, QStringLiteral("Error attempting to create ") +
                                                     file +
                                                     QStringLiteral(". Do you have proper "
                                                                    "permission?"));
    }
    // An earlier file of that name is left whole, never half-written.
    if (fault != "folder")
        QCOMPARE(KestrelFixture::readFile(file), QByteArray("***earlier\r\nword\r\n"));
    QCOMPARE(QDir(fx.root()).entryList(QDir::Files), QStringList{"out.kte"});
}

void ExportImportTest::roundTripIntoEmptyInstallation() {
    const QByteArray exported = [] {
        KestrelFixture fx;
        fx.writeIndex({"Animals", "colors"});
        KestrelFixture::writeFile(fx.listPath("Animals"), "Cat\r\n\r\ndog\r\n");
        fx.writeList("colors", {"red", "green"});
        frmMain& main = fx.startProgram();
        const QString file = fx.root() + QStringLiteral("/out.kte");
        exportRows(fx, main, {"Animals", "colors"}, file);
        return KestrelFixture::readFile(file);
    }();

    KestrelFixture fx;
    QDir().mkpath(fx.kestrelFolder()); // no index, no list folder yet
    frmMain& main = fx.startProgram();
    const QString file = fx.root() + QStringLiteral("/in.kte");
    KestrelFixture::writeFile(file, exported);
    importFile(fx, main, file);
    QCOMPARE(fx.indexBytes(), QByteArray("Animals\r\ncolors\r\n"));
    QCOMPARE(fx.listBytes("Animals"), QByteArray("cat\r\ndog\r\n"));
    QCOMPARE(fx.listBytes("colors"), QByteArray("red\r\ngreen\r\n"));
    QVERIFY(fx.platform().messages.isEmpty());
    QCOMPARE(fx.platform().fileRequests[0].title, QStringLiteral("Import file"));
    QCOMPARE(fx.platform().fileRequests[0].filter, QStringLiteral("Kt Export file (*.kte)|*.kte"));
    QCOMPARE(globals::ListCount, qint16(2)); // read back at once
}

void ExportImportTest::importNewListsInFileOrder() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    globals::CurrentCategory = QStringLiteral("colors");
    main.txtEditor->setText(QStringLiteral("red\r\n"));
    const QString file = fx.root() + QStringLiteral("/in.kte");
    KestrelFixture::writeFile(file, "***Zoo\r\nLION\r\n\r\nTiger\r\n***empty\r\n***birds\rowl");
    importFile(fx, main, file);
    QCOMPARE(fx.indexBytes(),
             QByteArray("animals\r\ncolors\r\nfruit\r\nZoo\r\nempty\r\nbirds\r\n"));
    QCOMPARE(fx.listBytes("Zoo"), QByteArray("lion\r\ntiger\r\n"));
    QCOMPARE(fx.listBytes("empty"), QByteArray());
    QCOMPARE(fx.listBytes("birds"), QByteArray("owl\r\n"));
    QVERIFY(fx.platform().shownDialogs.count("frmDuplicate") == 0);
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("red\r\n")); // the editor is not touched
}

void ExportImportTest::importClashes_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("expectedIndex");
    QTest::addColumn<QByteArray>("animals");
    QTest::addColumn<QString>("renamed");

    const QByteArray old = "cat\r\ndog\r\n";
    const QByteArray base = "animals\r\ncolors\r\nfruit\r\n";
    QTest::newRow("replace") << QStringList{"replace"} << base << QByteArray("lion\r\n") << "";
    QTest::newRow("skip") << QStringList{"skip"} << base << old << "";
    QTest::newRow("rename accepted") << QStringList{"rename:Big Cats"} << base + "Big Cats\r\n"
                                     << old << "Big Cats";
    QTest::newRow("rename too short, then skip")
        << QStringList{"rename:b", "skip"} << base << old << "";
    QTest::newRow("rename taken in another case, then renamed")
        << QStringList{"rename:COLORS", "rename:wild"} << base + "wild\r\n"
        << old << "wild";
    QTest::newRow("rename cancelled, then replace")
        << QStringList{"cancel rename", "replace"} << base << QByteArray("lion\r\n") << "";
}

void ExportImportTest::importClashes() {
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, expectedIndex);
    QFETCH(QByteArray, animals);
    QFETCH(QString, renamed);

    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString file = fx.root() + QStringLiteral("/in.kte");
    // "Animals" against "animals": the same list.
    KestrelFixture::writeFile(file, "***Animals\r\nLion\r\n***colorsx\r\nblue\r\n");
    QStringList questions;
    answerDuplicate(fx, steps, &questions);
    importFile(fx, main, file);

    QCOMPARE(questions, QStringList{QStringLiteral(
                            "Unfortunately,\r\rAnimals\r\ris already a category. What would you "
                            "like to do?\r\r*  Replace the old category with the imported "
                            "category\r*  Give the imported category a new name\r*  Just skip "
                            "the imported category.")});
    QCOMPARE(fx.indexBytes(), expectedIndex + "colorsx\r\n");
    QCOMPARE(fx.listBytes("animals"), animals);
    if (!renamed.isEmpty())
        QCOMPARE(fx.listBytes(renamed), QByteArray("lion\r\n"));
    QCOMPARE(fx.listBytes("colorsx"), QByteArray("blue\r\n"));
    // One list, one file: nothing named in another case beside animals.txt.
    QVERIFY(!QFile::exists(fx.listPath("Animals")));
    QCOMPARE(fx.platform().pendingPlayers(), 0);
}

void ExportImportTest::nameTwiceInOneFile() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString file = fx.root() + QStringLiteral("/in.kte");
    KestrelFixture::writeFile(file, "***birds\r\nowl\r\n***Birds\r\nrobin\r\n");
    QStringList questions;
    answerDuplicate(fx, {"replace"}, &questions);
    importFile(fx, main, file);
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions[0].contains("\r\rBirds\r\r"));
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\nbirds\r\n"));
    QCOMPARE(fx.listBytes("birds"), QByteArray("robin\r\n"));
    QCOMPARE(QDir(fx.listFolder()).count(), 6u);
}

void ExportImportTest::importRefusedFiles_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message"); // after the path, or before it
    QTest::newRow("starts with a word") << QByteArray("owl\r\n***birds\r\n") << "has errors";
    QTest::newRow("starts with an empty line") << QByteArray("\r\n***birds\r\n") << "has errors";
    QTest::newRow("0 bytes") << QByteArray() << "couldn't open";
    QTest::newRow("missing file") << QByteArray("<missing>") << "couldn't open";
}

void ExportImportTest::importRefusedFiles() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString file = fx.root() + QStringLiteral("/in.kte");
    if (contents != "<missing>")
        KestrelFixture::writeFile(file, contents);
    const QByteArray before = fx.indexBytes();
    importFile(fx, main, file);
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].style, 0);
    QCOMPARE(fx.platform().messages[0].text,
             message == "has errors" ? file + QStringLiteral(" has errors in it.")
                                     : QStringLiteral("couldn't open import file ") + file);
    QCOMPARE(fx.indexBytes(), before);
    QCOMPARE(QDir(fx.listFolder()).count(), 5u);

    // A second import after a refused one works.
    KestrelFixture::writeFile(file, "***birds\r\nowl\r\n");
    importFile(fx, main, file);
    QCOMPARE(fx.listBytes("birds"), QByteArray("owl\r\n"));
}

void ExportImportTest::unsafeHeadersAreSkipped() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString file = fx.root() + QStringLiteral("/in.kte");
    KestrelFixture::writeFile(file, "***../../escape\r\nx\r\n***\r\ny\r\n***a/b\r\nz\r\n"
                                    "***what?\r\nq\r\n***list 2\r\nok\r\n");
    importFile(fx, main, file);
    QCOMPARE(fx.platform().messages.size(), 4);
    for (const Message& m : fx.platform().messages)
        QCOMPARE(m.style, 0);
    QVERIFY(fx.platform().messages[0].text.contains("../../escape"));
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\nlist 2\r\n"));
    QCOMPARE(fx.listBytes("list 2"), QByteArray("ok\r\n"));
    QVERIFY(!QFile::exists(fx.root() + QStringLiteral("/escape.txt")));
    QCOMPARE(QDir(fx.listFolder()).count(), 6u);
    QCOMPARE(QDir(fx.root()).entryList(QDir::Files), QStringList{"in.kte"});
}

void ExportImportTest::importStopsAtTheLimit() {
    KestrelFixture fx;
    QStringList names;
    for (int i = 0; i < 9998; ++i)
        names << QStringLiteral("n%1").arg(i);
    fx.writeIndex(names);
    for (const QString& name : names)
        KestrelFixture::writeFile(fx.listPath(name), "");
    frmMain& main = fx.startProgram();
    const QString file = fx.root() + QStringLiteral("/in.kte");
    KestrelFixture::writeFile(file, "***a\r\n1\r\n***b\r\n2\r\n***c\r\n3\r\n***d\r\n4\r\n");
    importFile(fx, main, file);
    QCOMPARE(globals::ListCount, qint16(10000));
    QVERIFY(QFile::exists(fx.listPath("a")) && QFile::exists(fx.listPath("b")));
    QVERIFY(!QFile::exists(fx.listPath("c")) && !QFile::exists(fx.listPath("d")));
    QVERIFY(fx.indexBytes().endsWith("n9997\r\na\r\nb\r\n"));
    QCOMPARE(fx.platform().messages.size(), 1);
    QVERIFY(fx.platform().messages[0].text.startsWith("2 of the lists"));
}

void ExportImportTest::importListFileCannotBeWritten() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString why = setImmutable(fx.listPath("fruit"), true);
    if (!why.isEmpty())
        QSKIP(qPrintable("needs chattr: " + why));
    const QString file = fx.root() + QStringLiteral("/in.kte");
    KestrelFixture::writeFile(file, "***birds\r\nowl\r\n***fruit\r\nfig\r\n");
    answerDuplicate(fx, {"replace"}, nullptr);
    const std::optional<int> ended = endsProgram([&] { importFile(fx, main, file); });
    setImmutable(fx.listPath("fruit"), false);
    QCOMPARE(ended, std::optional<int>(1));
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text, QStringLiteral("could not open ") +
                                                 fx.listPath("fruit") +
                                                 QStringLiteral(" for writing.  Do you have "
                                                                "proper permissions?"));
    QCOMPARE(fx.platform().messages[0].style, 16);
    QCOMPARE(fx.listBytes("fruit"), QByteArray("apple\r\n")); // whole, not truncated
    QCOMPARE(fx.listBytes("birds"), QByteArray("owl\r\n"));   // written before the failure
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\n")); // never reached
}

QTEST_MAIN(ExportImportTest)
#include "tst_exportImport.moc"

// Moving words between list files and the editor: loading, saving with the
// index written first, and what a failed write leaves on disk.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "core/globals.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"
#include "ui/look.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

namespace {
// A started program with an index of animals (cat, dog) and colors (red).
frmMain& startWithLists(KestrelFixture& fx) {
    fx.writeIndex({"animals", "colors"});
    fx.writeList("animals", {"cat", "dog"});
    fx.writeList("colors", {"red"});
    return fx.startProgram();
}

// Puts words into the editor as the current list, as after Open.
void editList(frmMain& main, const QString& name, const QString& text) {
    globals::CurrentCategory = name;
    main.txtEditor->setText(text);
    main.txtEditor->setVisible(true);
    main.mnuEnable_All();
    main.txtEditor_ResetUndo();
    globals::ListChanged = true;
}
} // namespace

class ListFilesTest : public QObject {
    Q_OBJECT
private slots:
    void load_data();
    void load();
    void loadLeavesNameLabelAndFlag();
    void unreadableListLeavesEverything();
    void save_data();
    void save();
    void saveIndex_data();
    void saveIndex();
    void saveWritesTheExistingFileWhateverItsCase();
    void secondSaveChangesNothing();
    void longListIsSavedWhole();
    void symlinkAndPermissionsSurvive();
    void failedIndexWriteLeavesBothFiles_data();
    void failedIndexWriteLeavesBothFiles();
    void failedListWriteLeavesTheList_data();
    void failedListWriteLeavesTheList();
};

void ListFilesTest::load_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("editor");

    QTest::newRow("capitals and an empty line")
        << QByteArray("Cat\r\nDOG\r\n\r\n") << "cat\r\ndog\r\n\r\n";
    QTest::newRow("last line without an ending") << QByteArray("cat\r\ndog") << "cat\r\ndog\r\n";
    QTest::newRow("lone LF and CR") << QByteArray("cat\ndog\rowl\r\n") << "cat\r\ndog\r\nowl\r\n";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("Windows-1252 capital")
        << QByteArray("\xc9t\xc9\r\n") << QStringLiteral("été\r\n");
}

void ListFilesTest::load() {
    QFETCH(QByteArray, file);
    QFETCH(QString, editor);

    KestrelFixture fx;
    frmMain& main = startWithLists(fx);
    KestrelFixture::writeFile(fx.listPath("animals"), file);
    QString name = QStringLiteral("animals");
    QVERIFY(main.txtEditor_GetEntries(name));
    QCOMPARE(main.txtEditor->Text(), editor);
}

void ListFilesTest::loadLeavesNameLabelAndFlag() {
    KestrelFixture fx;
    frmMain& main = startWithLists(fx);
    globals::ListChanged = true;
    QString name = QStringLiteral("ANIMALS"); // found whatever the case
    QVERIFY(main.txtEditor_GetEntries(name));
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat\r\ndog\r\n"));
    QVERIFY(main.txtEditor->isVisibleTo(&main));
    QCOMPARE(ui::caption(main.lblVisibleHelp), globals::HelpText[2]);
    QVERIFY(main.mnuSave->isEnabled() && main.mnuPaste->isEnabled());
    // Its callers set these.
    QVERIFY(globals::CurrentCategory.isEmpty());
    QVERIFY(main.lblCategoryLabel->text().isEmpty());
    QVERIFY(globals::ListChanged);
}

void ListFilesTest::unreadableListLeavesEverything() {
    KestrelFixture fx;
    frmMain& main = startWithLists(fx);
    editList(main, "colors", "red\r\nblue");
    QFile::remove(fx.listPath("animals"));
    QString name = QStringLiteral("animals");
    QVERIFY(!main.txtEditor_GetEntries(name));
    QCOMPARE(fx.platform().messages.size(), 1);
    QVERIFY(fx.platform().messages[0].text.contains(fx.listPath("animals")));
    QCOMPARE(fx.platform().messages[0].style, 0);
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("red\r\nblue"));
    QCOMPARE(globals::CurrentCategory, QStringLiteral("colors"));
    QVERIFY(globals::ListChanged);
}

void ListFilesTest::save_data() {
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("empty line dropped, last word kept")
        << "cat\r\n\r\ndog" << QByteArray("cat\r\ndog\r\n");
    QTest::newRow("only line breaks") << "\r\n\r\n\r\n" << QByteArray();
    QTest::newRow("empty text") << "" << QByteArray();
    QTest::newRow("capitals loaded from outside are saved small") << "CAT\r\nDog\r\n"
                                                                  << QByteArray("cat\r\ndog\r\n");
    QTest::newRow("leading empty lines") << "\r\n\r\nowl\r\n" << QByteArray("owl\r\n");
    QTest::newRow("Windows-1252 letter")
        << QStringLiteral("\u00e9t\u00e9\r\n") << QByteArray("\xe9t\xe9\r\n");
}

void ListFilesTest::save() {
    QFETCH(QString, editor);
    QFETCH(QByteArray, file);

    KestrelFixture fx;
    frmMain& main = startWithLists(fx);
    editList(main, "animals", editor);
    main.txtEditor_SaveEntries();
    QCOMPARE(KestrelFixture::readFile(fx.listPath("animals")), file);
    QCOMPARE(globals::ListChanged, false);
    QCOMPARE(main.undoHistory().undoTop(), 0);
    QVERIFY(fx.platform().messages.isEmpty()); // a save says nothing itself
}

void ListFilesTest::saveIndex_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("index");

    // The index is rewritten from the names held: the line without a file goes.
    QTest::newRow("existing name, other case: no line added")
        << "ANIMALS" << QByteArray("Animals\r\ncolors\r\ncolors\r\n");
    QTest::newRow("new name appended in small letters, stale line dropped")
        << "Birds" << QByteArray("Animals\r\ncolors\r\ncolors\r\nbirds\r\n");
}

void ListFilesTest::saveIndex() {
    QFETCH(QString, name);
    QFETCH(QByteArray, index);

    KestrelFixture fx;
    fx.writeIndex({"Animals", "colors", "colors", "nofile"});
    fx.writeList("animals", {"cat"});
    fx.writeList("colors", {"red"});
    frmMain& main = fx.startProgram();
    editList(main, name, "owl\r\n");
    main.txtEditor_SaveEntries();
    QCOMPARE(KestrelFixture::readFile(fx.indexPath()), index);
    QVERIFY(globals::FindListName(name, globals::ListNames, globals::ListCount) > 0);
}

void ListFilesTest::saveWritesTheExistingFileWhateverItsCase() {
    KestrelFixture fx;
    fx.writeIndex({"Cats"});
    fx.writeList("cats", {"tom"});
    frmMain& main = fx.startProgram();
    editList(main, "Cats", "tom\r\nfelix\r\n");
    main.txtEditor_SaveEntries();
    QCOMPARE(KestrelFixture::readFile(fx.listPath("cats")), QByteArray("tom\r\nfelix\r\n"));
    QCOMPARE(QDir(fx.listFolder()).entryList(QDir::Files), QStringList{"cats.txt"});
    QCOMPARE(KestrelFixture::readFile(fx.indexPath()), QByteArray("Cats\r\n"));
}

void ListFilesTest::secondSaveChangesNothing() {
    KestrelFixture fx;
    frmMain& main = startWithLists(fx);
    editList(main, "Birds", "owl\r\nrobin\r\n");
    main.txtEditor_SaveEntries();
    const QByteArray index = KestrelFixture::readFile(fx.indexPath());
    const QByteArray list = KestrelFixture::readFile(fx.listPath("Birds"));
    main.txtEditor_SaveEntries();
    QCOMPARE(KestrelFixture::readFile(fx.indexPath()), index);
    QCOMPARE(KestrelFixture::readFile(fx.listPath("Birds")), list);
    QCOMPARE(index, QByteArray("animals\r\ncolors\r\nbirds\r\n"));
}

void ListFilesTest::longListIsSavedWhole() {
    KestrelFixture fx;
    frmMain& main = startWithLists(fx);
    QString text;
    QByteArray expected;
    for (int i = 0; i < 5000; ++i) {
        const QString word =
            QStringLiteral("word") + QChar(u'a' + i % 26) + QChar(u'a' + i / 26 % 26);
        text += word + QStringLiteral("\r\n");
        expected += word.toLatin1() + "\r\n";
    }
    QVERIFY(text.size() > 32766);
    editList(main, "animals", text);
    main.txtEditor_SaveEntries();
    QCOMPARE(KestrelFixture::readFile(fx.listPath("animals")), expected);
}

void ListFilesTest::symlinkAndPermissionsSurvive() {
    KestrelFixture fx;
    frmMain& main = startWithLists(fx);
    const QString elsewhere = fx.root() + QStringLiteral("/shared-colors.txt");
    QFile::rename(fx.listPath("colors"), elsewhere);
    QVERIFY(QFile::link(elsewhere, fx.listPath("colors")));
    QFile(fx.listPath("animals"))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    const QFileDevice::Permissions before = QFile(fx.listPath("animals")).permissions();

    editList(main, "colors", "blue\r\n");
    main.txtEditor_SaveEntries();
    QVERIFY(QFileInfo(fx.listPath("colors")).isSymLink());
    QCOMPARE(KestrelFixture::readFile(elsewhere), QByteArray("blue\r\n"));

    editList(main, "animals", "ant\r\n");
    main.txtEditor_SaveEntries();
    QCOMPARE(KestrelFixture::readFile(fx.listPath("animals")), QByteArray("ant\r\n"));
    QCOMPARE(QFile(fx.listPath("animals")).permissions(), before);
}

void ListFilesTest::failedIndexWriteLeavesBothFiles_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("immutable index file") << "immutable";
    QTest::newRow("disk full") << "full";
}

void ListFilesTest::failedIndexWriteLeavesBothFiles() {
    QFETCH(QString, fault);
    KestrelFixture fx;
    std::unique_ptr<SmallDisk> disk;
    if (fault == "full") {
        disk = std::make_unique<SmallDisk>(fx.kestrelFolder(), 256);
        if (!disk->ok())
            QSKIP(qPrintable("needs a tmpfs: " + disk->error()));
    }
    frmMain& main = startWithLists(fx);
    const QByteArray index = KestrelFixture::readFile(fx.indexPath());
    if (fault == "immutable") {
        const QString why = setImmutable(fx.indexPath(), true);
        if (!why.isEmpty())
            QSKIP(qPrintable("needs chattr: " + why));
    } else {
        disk->fill(0);
    }
    editList(main, "Birds", "owl\r\n");

    QCOMPARE(endsProgram([&] { main.txtEditor_SaveEntries(); }), std::optional<int>(1));
    if (fault == "immutable")
        setImmutable(fx.indexPath(), false);
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text,
             QStringLiteral("could not write VocabularyLists.txt.  Do you have permission?"));
    QCOMPARE(fx.platform().messages[0].style, 16);
    QCOMPARE(KestrelFixture::readFile(fx.indexPath()), index);
    QVERIFY(!QFile::exists(fx.listPath("Birds")));
    QCOMPARE(QDir(fx.kestrelFolder()).entryList(QDir::Files | QDir::Hidden),
             fault == "full" ? (QStringList{".filler", "VocabularyLists.txt"})
                             : QStringList{"VocabularyLists.txt"});
}

void ListFilesTest::failedListWriteLeavesTheList_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("immutable list file") << "immutable";
    QTest::newRow("disk full after the index") << "full";
    QTest::newRow("list folder is a file") << "file";
}

void ListFilesTest::failedListWriteLeavesTheList() {
    QFETCH(QString, fault);
    KestrelFixture fx;
    std::unique_ptr<SmallDisk> disk;
    if (fault == "full") {
        disk = std::make_unique<SmallDisk>(fx.kestrelFolder(), 256);
        if (!disk->ok())
            QSKIP(qPrintable("needs a tmpfs: " + disk->error()));
    }
    frmMain& main = startWithLists(fx);
    QString text;
    for (int i = 0; i < 4000; ++i)
        text += QStringLiteral("elephant\r\n"); // 40 kB: more than is left
    editList(main, "animals", text);
    QString listPath = fx.listPath("animals");
    if (fault == "immutable") {
        const QString why = setImmutable(listPath, true);
        if (!why.isEmpty())
            QSKIP(qPrintable("needs chattr: " + why));
    } else if (fault == "full") {
        disk->fill(8);
    } else {
        QDir(fx.listFolder()).removeRecursively();
        KestrelFixture::writeFile(fx.listFolder(), "a file");
        listPath = fx.listPath("animals");
    }

    QCOMPARE(endsProgram([&] { main.txtEditor_SaveEntries(); }), std::optional<int>(1));
    if (fault == "immutable")
        setImmutable(listPath, false);
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text, QStringLiteral("could not write ") + listPath +
                                                 QStringLiteral(".  Do you have permissions?"));
    QCOMPARE(fx.platform().messages[0].style, 16);
    if (fault != "file")
        QCOMPARE(KestrelFixture::readFile(listPath), QByteArray("cat\r\ndog\r\n"));
    // No temporary file is left behind beside the list.
    if (fault != "file")
        QCOMPARE(QDir(fx.listFolder()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"animals.txt", "colors.txt"}));
}

QTEST_MAIN(ListFilesTest)
#include "tst_listFiles.moc"

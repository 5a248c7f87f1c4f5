// The list commands as a user goes through them: New, Open, Save, Save As,
// the unsaved-changes prompt, Exit and Delete a List, checked on the files
// they leave and on what the window shows.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "commands/frmAddCategory.h"
#include "commands/frmAreYouSure.h"
#include "commands/frmDelete.h"
#include "commands/frmNewSure.h"
#include "commands/frmOpen.h"
#include "commands/frmReplaceReally.h"
#include "commands/frmSaveAs.h"
#include "core/globals.h"
#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"
#include "ui/look.h"

#include "ui/ListBox.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
void choose(QListWidget* list, const QString& row) {
    const QList<QListWidgetItem*> items = list->findItems(row, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable("no row " + row));
    list->setCurrentItem(items.constFirst());
}

QStringList rows(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// File > Open of the row named.
void openList(KestrelFixture& fx, frmMain& main, const QString& row) {
    fx.platform().play<frmOpen>([row](frmOpen& d) {
        choose(d.List1, row);
        d.cmdOK_Click();
    });
    main.mnuOpen_Click();
}

// Answers the unsaved-changes prompt, recording its question.
void answerPrompt(KestrelFixture& fx, bool yes, QString* question = nullptr) {
    fx.platform().play<frmAreYouSure>([yes, question](frmAreYouSure& d) {
        if (question)
            *question = ui::caption(d.Label1);
        yes ? d.cmdYes_Click() : d.cmdNo_Click();
    });
}

void typeInto(frmMain& main, const QString& letters) {
    main.txtEditor->setSelStart(int(main.txtEditor->Text().size()));
    QTest::keyClicks(main.txtEditor, letters);
}

} // namespace

class ListCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // Open
    void openShowsTheList();
    void openNeverMindCloseBoxAndNoRow_data();
    void openNeverMindCloseBoxAndNoRow();
    void openWithNoLists();
    void reopeningDiscardsUnsavedEdits();
    void doubleClickOpens();
    void enterOpensTheChosenRowOnly();
    void listRemovedWhileTheDialogIsOpen();
    // The prompt
    void promptKeys_data();
    void promptKeys();
    void promptBeforeOpen_data();
    void promptBeforeOpen();
    // Save and Save As
    void saveShowsSuccess();
    void saveAsShortName_data();
    void saveAsShortName();
    void saveAsNewName();
    void saveAsExistingName_data();
    void saveAsExistingName();
    void saveAsQuestionsNameTheirList();
    // New
    void newList();
    void newShortNameChangesNothing();
    void newExistingName_data();
    void newExistingName();
    void newAfterPromptNoThenCancel();
    void newAfterPromptYesSavesFirst();
    // Exit
    void exit_data();
    void exit();
    // Delete
    void deleteCurrentList();
    void deleteOtherListKeepsTheEditor();
    void deleteRemovesEveryCopyAndLowersTheRest();
    void deleteCancelAndNoRow_data();
    void deleteCancelAndNoRow();
    void deleteReadOnlyFile();
    void deleteThatCannotDeleteEndsProgram();
    // The index's limit
    void newListBeyondTheLimitIsNotSaved();
};

void ListCommandsTest::openShowsTheList() {
    KestrelFixture fx;
    fx.writeIndex({"Animals"});
    fx.writeList("animals", {"Cat", "dog"});
    frmMain& main = fx.startProgram();
    openList(fx, main, "Animals");
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat\r\ndog\r\n"));
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: animals"));
    QCOMPARE(globals::CurrentCategory, QStringLiteral("Animals"));
    QCOMPARE(ui::caption(main.lblVisibleHelp), globals::HelpText[2]);
    QVERIFY(main.mnuSave->isEnabled() && main.mnuUndo->isEnabled());
    QVERIFY(!globals::ListChanged);
    main.mnuUndo_Click(); // nothing to undo
    QCOMPARE(fx.platform().beeps, 300);
}

void ListCommandsTest::openNeverMindCloseBoxAndNoRow_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Never Mind") << "cancel";
    QTest::newRow("close box") << "close";
    QTest::newRow("OK with no row chosen") << "ok";
}

void ListCommandsTest::openNeverMindCloseBoxAndNoRow() {
    QFETCH(QString, how);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "blue");
    fx.platform().play<frmAreYouSure>([](frmAreYouSure& d) { d.cmdNo_Click(); });
    fx.platform().play<frmOpen>([how](frmOpen& d) {
        d.List1->setCurrentItem(nullptr);
        if (how == "cancel")
            d.cmdCancel_Click();
        else if (how == "close")
            d.closeBoxClicked();
        else
            d.cmdOK_Click();
    });
    main.mnuOpen_Click();
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("red\r\nblue"));
    QCOMPARE(globals::CurrentCategory, QStringLiteral("colors"));
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: colors"));
    QVERIFY(globals::ListChanged);
}

void ListCommandsTest::openWithNoLists() {
    KestrelFixture fx;
    fx.writeIndex({"gone"});
    frmMain& main = fx.startProgram();
    fx.platform().play<frmOpen>([](frmOpen& d) {
        QVERIFY(!d.List1->isVisibleTo(&d));
        QVERIFY(!d.cmdCancel->isVisibleTo(&d));
        QCOMPARE(ui::caption(d.Label1),
                 QStringLiteral("No word lists.  \r\rUse 'File > New' to start one."));
        d.cmdOK_Click();
    });
    main.mnuOpen_Click();
    QVERIFY(!main.txtEditor->isVisibleTo(&main));
    QVERIFY(main.lblCategoryLabel->text().isEmpty());
    QVERIFY(globals::CurrentCategory.isEmpty());
    QVERIFY(!main.mnuSave->isEnabled());

    // A list appears: the next Open is back to normal.
    fx.writeIndex({"gone", "birds"});
    fx.writeList("birds", {"owl"});
    fx.platform().play<frmOpen>([](frmOpen& d) {
        QVERIFY(d.List1->isVisibleTo(&d) && d.cmdCancel->isVisibleTo(&d));
        QCOMPARE(ui::caption(d.Label1), QStringLiteral("Select the word list you want:"));
        QCOMPARE(d.cmdCancel->text(), QStringLiteral("Never Mind"));
        QCOMPARE(rows(d.List1), QStringList{"birds"});
        choose(d.List1, "birds");
        d.cmdOK_Click();
    });
    main.mnuOpen_Click();
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("owl\r\n"));
}

void ListCommandsTest::reopeningDiscardsUnsavedEdits() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "animals");
    typeInto(main, "cow");
    answerPrompt(fx, false);
    openList(fx, main, "animals");
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("cat\r\ndog\r\n"));
    QVERIFY(!globals::ListChanged);
    QCOMPARE(fx.listBytes("animals"), QByteArray("cat\r\ndog\r\n"));
}

void ListCommandsTest::doubleClickOpens() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    fx.platform().play<frmOpen>([](frmOpen& d) {
        choose(d.List1, "fruit");
        d.List1_DblClick();
    });
    main.mnuOpen_Click();
    QCOMPARE(globals::CurrentCategory, QStringLiteral("fruit"));
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("apple\r\n"));
}

void ListCommandsTest::enterOpensTheChosenRowOnly() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    fx.platform().play<frmOpen>([](frmOpen& d) {
        d.activateWindow();
        d.List1->setFocus();
        QTest::qWait(10);
        QVERIFY(d.List1->currentItem() == nullptr); // nothing looks chosen
        QTest::keyClick(d.List1, Qt::Key_Down);     // the first row
        QTest::keyClick(d.List1, Qt::Key_Down);
        QCOMPARE(d.List1->selectedItems().constFirst()->text(), QStringLiteral("colors"));
        QTest::keyClick(d.List1, Qt::Key_Return);
    });
    main.mnuOpen_Click();
    QCOMPARE(globals::CurrentCategory, QStringLiteral("colors"));
    QCOMPARE(main.focusWidget(), main.txtEditor); // ready for typing
}

void ListCommandsTest::listRemovedWhileTheDialogIsOpen() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    answerPrompt(fx, false);
    fx.platform().play<frmOpen>([&fx](frmOpen& d) {
        QFile::remove(fx.listPath("fruit"));
        choose(d.List1, "fruit");
        d.cmdOK_Click();
    });
    main.mnuOpen_Click();
    QCOMPARE(fx.platform().messages.size(), 1);
    QVERIFY(fx.platform().messages[0].text.contains(fx.listPath("fruit")));
    // Still the colors list: a later Save writes it under its own name.
    QCOMPARE(globals::CurrentCategory, QStringLiteral("colors"));
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: colors"));
    QVERIFY(globals::ListChanged);
    main.mnuSave_Click();
    QCOMPARE(fx.listBytes("colors"), QByteArray("red\r\ntan\r\n"));
    QVERIFY(!QFile::exists(fx.listPath("fruit")));
}

void ListCommandsTest::promptKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onNo"); // the focus moved to No first
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Enter on Yes, which has the focus")
        << int(Qt::Key_Return) << false << true << true;
    QTest::newRow("Space on Yes") << int(Qt::Key_Space) << false << true << true;
    QTest::newRow("Enter on No") << int(Qt::Key_Return) << true << true << false;
    QTest::newRow("Esc does nothing") << int(Qt::Key_Escape) << false << false << false;
}

void ListCommandsTest::promptKeys() {
    QFETCH(int, key);
    QFETCH(bool, onNo);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    fx.platform().play<frmAreYouSure>([&](frmAreYouSure& d) {
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), d.cmdYes);
        if (onNo)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(!d.isVisible(), closes);
        if (!closes)
            d.cmdNo_Click();
    });
    fx.platform().play<frmOpen>([](frmOpen& d) { d.cmdCancel_Click(); });
    main.mnuOpen_Click();
    QCOMPARE(fx.listBytes("colors"), saved ? QByteArray("red\r\ntan\r\n") : "red\r\n");
}

void ListCommandsTest::promptBeforeOpen_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes saves first") << true;
    QTest::newRow("No saves nothing") << false;
}

void ListCommandsTest::promptBeforeOpen() {
    QFETCH(bool, yes);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    fx.writeIndex({"animals", "colors", "fruit"});
    openList(fx, main, "animals");
    globals::CurrentCategory = QStringLiteral("Animals"); // named as stored
    typeInto(main, "cow");
    QString question;
    answerPrompt(fx, yes, &question);
    fx.platform().play<frmOpen>([](frmOpen& d) { d.cmdCancel_Click(); });
    main.mnuOpen_Click();

    QCOMPARE(question,
             QStringLiteral("'Animals' has been changed since it was last saved.  Save it now?"));
    QCOMPARE(fx.listBytes("animals"), yes ? QByteArray("cat\r\ndog\r\ncow\r\n") : "cat\r\ndog\r\n");
    QCOMPARE(globals::ListChanged, !yes);
    QVERIFY(fx.platform().messages.isEmpty()); // no Success after the prompt's save
    // Without changes, no prompt.
    globals::ListChanged = false;
    fx.platform().play<frmOpen>([](frmOpen& d) { d.cmdCancel_Click(); });
    main.mnuOpen_Click();
    QCOMPARE(fx.platform().shownDialogs.count("frmAreYouSure"), 1);
}

void ListCommandsTest::saveShowsSuccess() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    QFile::remove(fx.indexPath());
    main.mnuSave_Click(); // no change: both files are written all the same
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\n"));
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text, QStringLiteral("Word list was saved."));
    QCOMPARE(fx.platform().messages[0].style, 0);
    QCOMPARE(fx.platform().messages[0].title, QStringLiteral("Success"));
}

void ListCommandsTest::saveAsShortName_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("one letter") << "b";
}

void ListCommandsTest::saveAsShortName() {
    QFETCH(QString, name);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    fx.platform().play<frmSaveAs>([name](frmSaveAs& d) {
        QVERIFY(d.txtName->Text().isEmpty()); // emptied at every showing
        QTest::keyClicks(d.txtName, name);
        QTest::keyClick(d.txtName, Qt::Key_Return); // Enter is OK
    });
    main.mnuSaveAs_Click();
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\n"));
    QCOMPARE(fx.listBytes("colors"), QByteArray("red\r\n"));
    QCOMPARE(QDir(fx.listFolder()).count(), 5u); // ., .. and three lists
    QCOMPARE(globals::CurrentCategory, QStringLiteral("colors"));
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: colors"));
    QVERIFY(globals::ListChanged);
}

void ListCommandsTest::saveAsNewName() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    fx.platform().play<frmSaveAs>([](frmSaveAs& d) {
        QTest::keyClicks(d.txtName, "Earth Tones");
        d.cmdOK_Click();
    });
    main.mnuSaveAs_Click();
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\nearth tones\r\n"));
    QCOMPARE(fx.listBytes("Earth Tones"), QByteArray("red\r\ntan\r\n"));
    QCOMPARE(fx.listBytes("colors"), QByteArray("red\r\n")); // the old list keeps its words
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: Earth Tones"));
    QCOMPARE(globals::CurrentCategory, QStringLiteral("Earth Tones"));
    QVERIFY(!globals::ListChanged);
    QVERIFY(fx.platform().messages.isEmpty());
}

void ListCommandsTest::saveAsExistingName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("yes");
    QTest::newRow("the current list, Yes") << "colors" << true;
    QTest::newRow("another list in capitals, Yes") << "FRUIT" << true;
    QTest::newRow("another list, No") << "Fruit" << false;
}

void ListCommandsTest::saveAsExistingName() {
    QFETCH(QString, name);
    QFETCH(bool, yes);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    QString question;
    fx.platform().play<frmSaveAs>([&fx, name, yes, &question](frmSaveAs& d) {
        QTest::keyClicks(d.txtName, name);
        fx.platform().play<frmReplaceReally>([yes, &question](frmReplaceReally& r) {
            question = ui::caption(r.Label1);
            yes ? r.cmdYes_Click() : r.cmdNo_Click();
        });
        d.cmdOK_Click();
    });
    main.mnuSaveAs_Click();

    QCOMPARE(question,
             QStringLiteral("Sorry, but \r\r    ") + name +
                 QStringLiteral("\r\r is already a category.\rDo you want to replace it?"));
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\n"));
    QCOMPARE(QDir(fx.listFolder()).count(), 5u); // no second file in another case
    const QString target = name.toLower();
    if (yes) {
        QCOMPARE(fx.listBytes(target), QByteArray("red\r\ntan\r\n"));
        QCOMPARE(globals::CurrentCategory, name);
        QCOMPARE(main.lblCategoryLabel->text(), "category: " + name);
        QVERIFY(!globals::ListChanged);
    } else {
        QCOMPARE(fx.listBytes(target), QByteArray("apple\r\n"));
        QCOMPARE(globals::CurrentCategory, QStringLiteral("colors"));
        QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: colors"));
        QVERIFY(globals::ListChanged);
    }
}

void ListCommandsTest::saveAsQuestionsNameTheirList() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    QStringList questions;
    for (const char* name : {"animals", "fruit"}) {
        fx.platform().play<frmSaveAs>([&fx, name, &questions](frmSaveAs& d) {
            QTest::keyClicks(d.txtName, name);
            fx.platform().play<frmReplaceReally>([&questions](frmReplaceReally& r) {
                questions << ui::caption(r.Label1).split(u'\r').at(2).trimmed();
                r.cmdNo_Click();
            });
            d.cmdOK_Click();
        });
        main.mnuSaveAs_Click();
    }
    QCOMPARE(questions, (QStringList{"animals", "fruit"}));
}

void ListCommandsTest::newList() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    fx.platform().play<frmAddCategory>([](frmAddCategory& d) {
        QVERIFY(d.txtName->Text().isEmpty());
        QTest::keyClicks(d.txtName, "Birds");
        QTest::keyClick(d.txtName, Qt::Key_Return);
    });
    main.mnuNew_Click();
    QCOMPARE(fx.platform().shownDialogs, (QStringList{"frmPassword", "frmAddCategory"}));
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: birds"));
    QCOMPARE(globals::CurrentCategory, QStringLiteral("Birds"));
    QVERIFY(main.txtEditor->isVisibleTo(&main));
    QVERIFY(main.txtEditor->Text().isEmpty());
    QVERIFY(main.mnuSaveAs->isEnabled() && main.mnuCut->isEnabled());
    QVERIFY(!globals::ListChanged);
    main.mnuUndo_Click();
    QCOMPARE(fx.platform().beeps, 300);
    // Nothing is written until the first save.
    QVERIFY(!QFile::exists(fx.listPath("Birds")));
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\n"));
    typeInto(main, "owl");
    main.mnuSave_Click();
    QCOMPARE(fx.listBytes("Birds"), QByteArray("owl\r\n"));
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\nbirds\r\n"));
}

void ListCommandsTest::newShortNameChangesNothing() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    answerPrompt(fx, false);
    fx.platform().play<frmAddCategory>([](frmAddCategory& d) {
        QTest::keyClicks(d.txtName, "b");
        d.cmdOK_Click();
    });
    main.mnuNew_Click();
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("red\r\ntan"));
    QCOMPARE(globals::CurrentCategory, QStringLiteral("colors"));
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: colors"));
    QVERIFY(globals::ListChanged);
}

void ListCommandsTest::newExistingName_data() {
    QTest::addColumn<bool>("editCurrent");
    QTest::addColumn<QString>("editor");
    QTest::newRow("new version") << false << "";
    QTest::newRow("edit current") << true << "cat\r\ndog\r\n";
}

void ListCommandsTest::newExistingName() {
    QFETCH(bool, editCurrent);
    QFETCH(QString, editor);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "fruit");
    QString question;
    fx.platform().play<frmAddCategory>([&](frmAddCategory& d) {
        QTest::keyClicks(d.txtName, "Animals");
        fx.platform().play<frmNewSure>([&](frmNewSure& s) {
            question = ui::caption(s.Label1);
            QVERIFY(!s.hasCloseBox());
            editCurrent ? s.cmdEdit_Click() : s.cmdNew_Click();
        });
        d.cmdOK_Click();
    });
    main.mnuNew_Click();
    QCOMPARE(question, QStringLiteral("'Animals' is already a category.\rDo you want to make a "
                                      "new version or edit the current one?"));
    QCOMPARE(main.txtEditor->Text(), editor);
    QCOMPARE(main.lblCategoryLabel->text(), QStringLiteral("category: animals"));
    QCOMPARE(globals::CurrentCategory, QStringLiteral("Animals"));
    QVERIFY(!globals::ListChanged);
    QCOMPARE(fx.listBytes("animals"), QByteArray("cat\r\ndog\r\n")); // until saved
    main.mnuSave_Click();
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\nfruit\r\n"));
    QCOMPARE(QDir(fx.listFolder()).count(), 5u);
}

void ListCommandsTest::newAfterPromptNoThenCancel() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    answerPrompt(fx, false);
    fx.platform().play<frmAddCategory>([](frmAddCategory& d) {
        QTest::keyClicks(d.txtName, "Birds");
        d.cmdCancel_Click();
        QVERIFY(d.txtName->Text().isEmpty());
    });
    main.mnuNew_Click();
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("red\r\ntan"));
    QVERIFY(globals::ListChanged);
    QCOMPARE(fx.listBytes("colors"), QByteArray("red\r\n"));
}

void ListCommandsTest::newAfterPromptYesSavesFirst() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    answerPrompt(fx, true);
    fx.platform().play<frmAddCategory>([&fx](frmAddCategory& d) {
        QCOMPARE(fx.listBytes("colors"),
                 QByteArray("red\r\ntan\r\n")); // saved before the name is asked
        QTest::keyClicks(d.txtName, "Birds");
        d.cmdOK_Click();
    });
    main.mnuNew_Click();
    QCOMPARE(globals::CurrentCategory, QStringLiteral("Birds"));
}

void ListCommandsTest::exit_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("no changes: no question") << false << false << QByteArray("red\r\n");
    QTest::newRow("changes, Yes") << true << true << QByteArray("red\r\ntan\r\n");
    QTest::newRow("changes, No") << true << false << QByteArray("red\r\n");
}

void ListCommandsTest::exit() {
    QFETCH(bool, changed);
    QFETCH(bool, yes);
    QFETCH(QByteArray, saved);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    if (changed) {
        typeInto(main, "tan");
        answerPrompt(fx, yes);
    }
    QCOMPARE(endsProgram([&] { main.mnuExit_Click(); }), std::optional<int>(0));
    QCOMPARE(fx.platform().shownDialogs.count("frmAreYouSure"), changed ? 1 : 0);
    QCOMPARE(fx.listBytes("colors"), saved);
    QVERIFY(fx.platform().messages.isEmpty());
}

void ListCommandsTest::deleteCurrentList() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    fx.platform().play<frmDelete>([](frmDelete& d) {
        QCOMPARE(rows(d.List1), (QStringList{"animals", "colors", "fruit"}));
        QVERIFY(d.List1->selectedItems().isEmpty());
        choose(d.List1, "colors");
        d.cmdOK_Click();
    });
    main.mnuDeleteList_Click();
    QVERIFY(!QFile::exists(fx.listPath("colors")));
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\nfruit\r\n"));
    QVERIFY(!main.txtEditor->isVisibleTo(&main));
    QVERIFY(main.txtEditor->Text().isEmpty());
    QVERIFY(main.lblCategoryLabel->text().isEmpty());
    QVERIFY(globals::CurrentCategory.isEmpty());
    QCOMPARE(ui::caption(main.lblVisibleHelp), globals::HelpText[1]);
    QVERIFY(!globals::ListChanged);
    for (QAction* a : {main.mnuSave, main.mnuSaveAs, main.mnuUndo, main.mnuRedo, main.mnuCut,
                       main.mnuCopy, main.mnuPaste})
        QVERIFY(!a->isEnabled());
    QVERIFY(main.mnuExport->isEnabled() && main.mnuDeleteList->isEnabled());
    QVERIFY(fx.platform().messages.isEmpty());

    // The name is free again: New takes it without asking.
    fx.platform().play<frmAddCategory>([](frmAddCategory& d) {
        QTest::keyClicks(d.txtName, "colors");
        d.cmdOK_Click();
    });
    main.mnuNew_Click();
    QCOMPARE(fx.platform().shownDialogs.count("frmNewSure"), 0);
}

void ListCommandsTest::deleteOtherListKeepsTheEditor() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    openList(fx, main, "colors");
    typeInto(main, "tan");
    fx.platform().play<frmDelete>([](frmDelete& d) {
        choose(d.List1, "fruit");
        d.cmdOK_Click();
    });
    main.mnuDeleteList_Click();
    QVERIFY(!QFile::exists(fx.listPath("fruit")));
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("red\r\ntan"));
    QCOMPARE(ui::caption(main.lblVisibleHelp), globals::HelpText[2]);
    QVERIFY(globals::ListChanged); // the prompt will still offer to save
    answerPrompt(fx, true);
    fx.platform().play<frmOpen>([](frmOpen& d) {
        QCOMPARE(rows(d.List1), (QStringList{"animals", "colors"}));
        d.cmdCancel_Click();
    });
    main.mnuOpen_Click();
    QCOMPARE(fx.listBytes("colors"), QByteArray("red\r\ntan\r\n"));
}

void ListCommandsTest::deleteRemovesEveryCopyAndLowersTheRest() {
    KestrelFixture fx;
    fx.writeIndex({"Animals", "COLORS", "animals", "Fruit"});
    fx.writeList("animals", {"cat"});
    fx.writeList("COLORS", {"red"});
    fx.writeList("Fruit", {"fig"});
    frmMain& main = fx.startProgram();
    fx.platform().play<frmDelete>([](frmDelete& d) {
        choose(d.List1, "Animals");
        d.cmdOK_Click();
    });
    main.mnuDeleteList_Click();
    QCOMPARE(fx.indexBytes(), QByteArray("colors\r\nfruit\r\n"));
    QVERIFY(!QFile::exists(fx.listPath("animals")));
    QCOMPARE(globals::ListCount, qint16(2));
}

void ListCommandsTest::deleteCancelAndNoRow_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("Cancel") << true;
    QTest::newRow("OK with no row") << false;
}

void ListCommandsTest::deleteCancelAndNoRow() {
    QFETCH(bool, cancel);
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    fx.writeIndex({"Animals", "colors", "fruit"});
    fx.platform().play<frmDelete>([cancel](frmDelete& d) {
        QVERIFY(!d.hasCloseBox());
        cancel ? d.cmdCancel_Click() : d.cmdOK_Click();
    });
    main.mnuDeleteList_Click();
    QCOMPARE(fx.indexBytes(), QByteArray("Animals\r\ncolors\r\nfruit\r\n"));
    QCOMPARE(QDir(fx.listFolder()).count(), 5u);
}

void ListCommandsTest::deleteReadOnlyFile() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    QFile(fx.listPath("fruit")).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);
    fx.platform().play<frmDelete>([](frmDelete& d) {
        choose(d.List1, "fruit");
        d.cmdOK_Click();
    });
    main.mnuDeleteList_Click();
    QVERIFY(!QFile::exists(fx.listPath("fruit")));
    QVERIFY(fx.platform().messages.isEmpty());
}

void ListCommandsTest::deleteThatCannotDeleteEndsProgram() {
    KestrelFixture fx;
    frmMain& main = fx.startWithSampleLists();
    const QString why = setImmutable(fx.listPath("fruit"), true);
    if (!why.isEmpty())
        QSKIP(qPrintable("needs chattr: " + why));
    fx.platform().play<frmDelete>([](frmDelete& d) {
        choose(d.List1, "fruit");
        d.cmdOK_Click();
    });
    const std::optional<int> ended = endsProgram([&] { main.mnuDeleteList_Click(); });
    setImmutable(fx.listPath("fruit"), false);
    QCOMPARE(ended, std::optional<int>(1));
    QCOMPARE(fx.platform().messages.size(), 1);
    QCOMPARE(fx.platform().messages[0].text, QStringLiteral("could not delete ") +
                                                 fx.listPath("fruit") +
                                                 QStringLiteral(".  Do you have permissions?"));
    QCOMPARE(fx.platform().messages[0].style, 16);
    // The index was rewritten first, as the message's place in the order says.
    QCOMPARE(fx.indexBytes(), QByteArray("animals\r\ncolors\r\n"));
    QCOMPARE(fx.listBytes("fruit"), QByteArray("apple\r\n"));
}

void ListCommandsTest::newListBeyondTheLimitIsNotSaved() {
    KestrelFixture fx;
    QStringList names; // ten thousand names of letters: "aaaa", "aaab", ...
    for (int i = 0; i < 10000; ++i) {
        QString name;
        for (int n = i, k = 0; k < 4; ++k, n /= 26)
            name.prepend(QChar(u'a' + n % 26));
        names << name;
    }
    fx.writeIndex(names);
    for (const QString& name : names)
        KestrelFixture::writeFile(fx.listPath(name), "word\r\n");
    frmMain& main = fx.startProgram();
    const QByteArray before = fx.indexBytes();
    fx.platform().play<frmAddCategory>([](frmAddCategory& d) {
        QTest::keyClicks(d.txtName, "Extra");
        d.cmdOK_Click();
    });
    main.mnuNew_Click();
    typeInto(main, "owl");

    main.mnuSave_Click();
    QCOMPARE(fx.platform().messages.size(), 1);
    QVERIFY(fx.platform().messages[0].text.contains("10000"));
    QCOMPARE(fx.platform().messages[0].style, 0);
    QVERIFY(!QFile::exists(fx.listPath("Extra")));
    QCOMPARE(fx.indexBytes(), before);
    QVERIFY(globals::ListChanged);

    // Exit's Yes cannot save it either: the program stays, with the words.
    answerPrompt(fx, true);
    QCOMPARE(endsProgram([&] { main.mnuExit_Click(); }), std::nullopt);
    QCOMPARE(main.txtEditor->Text(), QStringLiteral("owl"));
    QVERIFY(globals::ListChanged);

    // Under the name of a list that exists, it is saved.
    fx.platform().play<frmSaveAs>([&fx](frmSaveAs& d) {
        QTest::keyClicks(d.txtName, "aaab");
        fx.platform().play<frmReplaceReally>([](frmReplaceReally& r) { r.cmdYes_Click(); });
        d.cmdOK_Click();
    });
    main.mnuSaveAs_Click();
    QCOMPARE(fx.listBytes("aaab"), QByteArray("owl\r\n"));
    QCOMPARE(fx.indexBytes(), before);
    QCOMPARE(globals::CurrentCategory, QStringLiteral("aaab"));
}

QTEST_MAIN(ListCommandsTest)
#include "tst_listCommands.moc"

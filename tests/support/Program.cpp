#include "Program.h"

#include "KestrelFixture.h"

#include "app/frmMain.h"
#include "app/frmPassword.h"
#include "commands/NameDialog.h"
#include "commands/frmNewSure.h"
#include "core/globals.h"
#include "exchange/frmDuplicate.h"
#include "store/textFile.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/ListDialog.h"
#include "ui/MultiLineTextBox.h"
#include "ui/QuestionDialog.h"
#include "ui/SingleLineTextBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLockFile>
#include <QTest>
#include <QThread>

#include <cstdio>

#include <utility>

namespace {
// Plays a dialog: a button's answer, the rows to choose (then OK), or a name
// to type (then OK). The handlers are called directly, never through a
// signal, so that the end of the program can be thrown through them.
void answer(ui::Dialog& dlg, const QString& word) {
    if (auto* d = qobject_cast<ui::QuestionDialog*>(&dlg))
        return word == "yes" ? d->cmdYes_Click() : d->cmdNo_Click();
    if (auto* d = qobject_cast<ui::ListDialog*>(&dlg)) {
        if (word == "cancel" || word == "close")
            return word == "cancel" ? d->cmdCancel_Click() : d->closeBoxClicked();
        for (const QString& row : word == "ok" ? QStringList() : word.split(u'+')) {
            const QList<QListWidgetItem*> found = d->List1->findItems(row, Qt::MatchExactly);
            if (found.isEmpty())
                throw ScriptError("no row " + row.toStdString());
            found[0]->setSelected(true);
        }
        return d->cmdOK_Click();
    }
    if (auto* d = qobject_cast<frmNewSure*>(&dlg))
        return word == "edit" ? d->cmdEdit_Click() : d->cmdNew_Click();
    if (auto* d = qobject_cast<frmDuplicate*>(&dlg)) { // "rename+skip": one after the other
        for (const QString& choice : word.split(u'+'))
            if (choice == "all") // the answer stands for the rest
                d->chkForTheRest->setChecked(true);
            else if (d->isVisible())
                choice == "replace" ? d->cmdReplace_Click()
                : choice == "skip"  ? d->cmdSkip_Click()
                                    : d->cmdRename_Click();
        return;
    }
    auto* d = qobject_cast<commands::NameDialog*>(&dlg);
    if (!d)
        throw ScriptError("cannot answer " + std::string(dlg.metaObject()->className()));
    if (word == QLatin1String("cancel"))
        return d->cmdCancel_Click();
    QTest::keyClicks(d->txtName, word.section(u'~', 0, 0));
    if (word.contains(u'~')) { // the rest committed by an input method
        QInputMethodEvent commit;
        commit.setCommitString(word.section(u'~', 1));
        QApplication::sendEvent(d->txtName, &commit);
    }
    d->cmdOK_Click();
}
} // namespace

Program::Program(const QString& root) : root_(root) {
    ui::Forms::unloadAll();
}

Program::~Program() {
    ui::Forms::unloadAll();
}

frmMain& Program::main() {
    return ui::Forms::get<frmMain>();
}

std::optional<int> Program::start(const QStringList& answers) {
    platform.play<frmPassword>([](frmPassword& d) {
        d.Text1->setText(QStringLiteral("quorp7"));
        d.cmdOK_Click();
    });
    for (const QString& word : answers)
        queue(word);
    try {
        main().Form_Load();
    } catch (const core::ProgramEnded& ended) {
        return ended.exitCode;
    }
    return std::nullopt;
}

void Program::queue(const QString& word) {
    if (word.startsWith(u'@'))
        platform.answerFile(word.size() > 1 ? root_ + u'/' + word.mid(1) : QString());
    else
        platform.play([word](ui::Dialog& dlg) { answer(dlg, word); });
}

void Program::step(const QStringList& words) {
    frmMain& m = main();
    const QString& what = words[0];
    const bool selected = std::exchange(selected_, false);
    if (what == "type" || what == "press") {
        if (!selected)
            m.txtEditor->setSelStart(int(m.txtEditor->Text().size()));
        if (what == "type") {
            QTest::keyClicks(m.txtEditor, words.value(1));
        } else {
            const QKeyCombination key = QKeySequence(words.value(1))[0];
            QTest::keyClick(m.txtEditor, key.key(), key.keyboardModifiers());
        }
    } else if (what == "text") { // a long text, quicker than typing it
        m.txtEditor->setText(
            store::decodeText(KestrelFixture::readFile(root_ + u'/' + words.value(1))));
        globals::ListChanged = true;
    } else if (what == "file" && words.value(2) == "-") { // a file removed by another program
        QFile::remove(filePath(root_, words.value(1)));
    } else if (what == "file") { // a file changed by another program
        KestrelFixture::writeFile(filePath(root_, words.value(1)), lines(words.value(2)));
    } else if (what == "lock" || what == "unlock") { // chattr +i, -i
        const QString why = setImmutable(filePath(root_, words.value(1)), what == "lock");
        if (!why.isEmpty())
            throw ScriptError(why.toStdString());
    } else if (what == "hold") { // another copy rewriting the index
        heldIndex_ = std::make_unique<QLockFile>(root_ + QStringLiteral("/kestrel/.quillbox.lock"));
        heldIndex_->setStaleLockTime(0);
        heldIndex_->lock();
    } else if (what == "release") {
        heldIndex_.reset();
    } else if (what == "journal") { // the words in the journal, as a second after a change
        m.recovery().bringUpToDate();
        QCoreApplication::processEvents(); // what the journal's thread has to tell
    } else if (what == "restart") {        // killed, then started again
        m.recovery().journal().settle();   // after the journal's thread did what it was handed
        ui::Forms::unloadAll();
        resetProgramState();
        if (const std::optional<int> ended = start(words.mid(1)))
            throw core::ProgramEnded{*ended};
        if (platform.pendingPlayers() > 0)
            throw ScriptError("unused answers after the start");
    } else if (what == "copy" || what == "left") {
        // A journal of another copy: still running ("copy"), or ended ("left").
        auto journal = std::make_unique<store::RecoveryJournal>();
        journal->setText(QString::fromLatin1(lines(words.value(2))));
        journal->follow(words.value(3, globals::KestrelFolder), words.value(1), true);
        journal->flush(5000);
        if (what == "copy")
            otherCopies_.push_back(std::move(journal));
    } else if (what == "sessionEnds") { // a signal, or the end of the desktop session
        m.sessionEnds();
    } else if (what == "serve") { // until a signal ends the program, say
        std::printf("SERVING\n");
        std::fflush(stdout);
        QApplication::exec();
    } else if (what == "wait") { // long enough for the file system's clock to move on
        QThread::msleep(50);
    } else if (what == "select") {
        m.txtEditor->select(words.value(1).toInt(), words.value(2).toInt());
        selected_ = true;
    } else { // a menu command, or the close box, with the answers to its dialogs
        static const QMap<QString, void (frmMain::*)()> commands{
            {"New", &frmMain::mnuNew_Click},           {"Open", &frmMain::mnuOpen_Click},
            {"Save", &frmMain::mnuSave_Click},         {"SaveAs", &frmMain::mnuSaveAs_Click},
            {"Import", &frmMain::mnuImport_Click},     {"Export", &frmMain::mnuExport_Click},
            {"Delete", &frmMain::mnuDeleteList_Click}, {"Exit", &frmMain::mnuExit_Click},
            {"Undo", &frmMain::mnuUndo_Click},         {"Redo", &frmMain::mnuRedo_Click},
            {"Cut", &frmMain::mnuCut_Click},           {"Copy", &frmMain::mnuCopy_Click},
            {"Paste", &frmMain::mnuPaste_Click}};
        if (!commands.contains(what) && what != "Close")
            throw ScriptError("unknown step " + what.toStdString());
        for (const QString& word : words.mid(1))
            queue(word);
        if (what == "Close") { // the window's close box
            QCloseEvent close;
            QApplication::sendEvent(&m, &close);
        } else {
            (m.*commands[what])();
        }
        if (platform.pendingPlayers() > 0)
            throw ScriptError("unused answers after " + what.toStdString());
    }
}

std::optional<int> Program::run(const QString& script) {
    try {
        for (const QString& s : script.split(u';', Qt::SkipEmptyParts))
            step(s.trimmed().split(u','));
        // The files as they are once the journal's thread did what it was handed.
        main().recovery().journal().settle();
    } catch (const core::ProgramEnded& ended) {
        return ended.exitCode;
    } catch (const ScriptError& e) {
        error_ = QString::fromStdString(e.what());
        if (platform.endsProcess)
            std::printf("SCRIPT ERROR %s\n", e.what());
    }
    return std::nullopt;
}

QString Program::state() {
    if (!error_.isEmpty())
        return QStringLiteral("script error: ") + error_;
    frmMain& m = main();
    QString editor = m.txtEditor->Text();
    editor.replace(QLatin1String("\r\n"), QLatin1String("|"));
    int enabled = 0; // of the commands that need an open list
    for (QAction* a :
         {m.mnuSave, m.mnuSaveAs, m.mnuUndo, m.mnuRedo, m.mnuCut, m.mnuCopy, m.mnuPaste})
        enabled += a->isEnabled();
    return QStringList{globals::CurrentCategory, m.lblCategoryLabel->text(),
                       m.txtEditor->isVisibleTo(&m) ? editor : QStringLiteral("(hidden)"),
                       globals::ListChanged ? QStringLiteral("changed")
                                            : QStringLiteral("unchanged"),
                       enabled == 7   ? QStringLiteral("editing")
                       : enabled == 0 ? QStringLiteral("no list")
                                      : QStringLiteral("%1 of 7 enabled").arg(enabled)}
        .join(QLatin1String(" / "));
}

// Runs one writer of the program in-process, the way a user reaches it: the
// program's own start-up (registry, password, index reload), then one
// command played through its dialogs. The fault matrix runs it again and
// again, with the fault shim preloaded, on a fresh copy of an installation.
//
//   writerDriver <case folder> check
//   writerDriver <case folder> save <list> <words file>
//   writerDriver <case folder> saveas <list> <new name> <words file>
//   writerDriver <case folder> import <exchange file>
//   writerDriver <case folder> delete <list>
//   writerDriver <case folder> export <exchange file> <list>...
//
// The case folder holds config/quillbox/registry.reg, which names the Kestrel
// folder. What the user would see goes to stdout, one line each:
//   MESSAGE <style> <title>|<text>    a message box (title empty: the program's)
//   INDEX <name>                      check: one entry of the list index
//   END <code>                        the program ended (after a fatal message)
//   DONE                              the command returned
// The words file's lines become the editor's text, CR LF after each.

#include "app/frmMain.h"
#include "app/frmPassword.h"
#include "commands/frmDelete.h"
#include "commands/frmOpen.h"
#include "commands/frmSaveAs.h"
#include "core/globals.h"
#include "exchange/frmDuplicate.h"
#include "exchange/frmExport.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/MultiLineTextBox.h"
#include "ui/SingleLineTextBox.h"
#include "ui/platform.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QByteArray& line) {
    const QByteArray out = line + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
}

[[noreturn]] void giveUp(const QString& why) {
    say("DRIVER-ERROR " + why.toUtf8());
    std::fflush(nullptr);
    _exit(3);
}

// Selects the rows whose text is one of names; every name must have a row.
void selectRows(QListWidget* list, const QStringList& names) {
    for (const QString& name : names) {
        const QList<QListWidgetItem*> rows = list->findItems(name, Qt::MatchExactly);
        if (rows.isEmpty())
            giveUp(QStringLiteral("no row ") + name);
        rows.constFirst()->setSelected(true);
    }
}

// The user: answers every message box with OK, plays each dialog the
// command shows, and names the file in the file dialogs. The end of the
// program is immediate, as in the real program: nothing is unwound.
class DriverPlatform : public ui::Platform {
public:
    QStringList rows;   // rows to choose in frmOpen, frmDelete or frmExport
    QString newName;    // typed into frmSaveAs
    QString chosenFile; // answer of the file dialogs

    void msgBox(const QString& text, int style, const QString& title) override {
        say("MESSAGE " + QByteArray::number(style) + ' ' + title.toUtf8() + '|' + text.toUtf8());
    }
    void beep() override {}
    void hold(int) override {}
    [[noreturn]] void endProgram(int exitCode) override {
        say("END " + QByteArray::number(exitCode));
        std::fflush(nullptr);
        _exit(exitCode);
    }
    void showModal(ui::Dialog& dlg) override {
        dlg.show();
        if (auto* d = qobject_cast<frmPassword*>(&dlg)) {
            d->Text1->setText(QStringLiteral("quorp7"));
            d->cmdOK_Click();
        } else if (auto* d = qobject_cast<frmOpen*>(&dlg)) {
            selectRows(d->List1, rows);
            d->cmdOK_Click();
        } else if (auto* d = qobject_cast<frmSaveAs*>(&dlg)) {
            d->txtName->setText(newName);
            d->cmdOK_Click();
        } else if (auto* d = qobject_cast<frmDelete*>(&dlg)) {
            selectRows(d->List1, rows);
            d->cmdOK_Click();
        } else if (auto* d = qobject_cast<frmExport*>(&dlg)) {
            selectRows(d->List1, rows);
            d->cmdOK_Click();
        } else if (auto* d = qobject_cast<frmDuplicate*>(&dlg)) {
            d->cmdReplace_Click();
        } else {
            giveUp(QStringLiteral("unexpected dialog ") +
                   QString::fromLatin1(dlg.metaObject()->className()));
        }
        if (dlg.isVisible())
            giveUp(QStringLiteral("dialog left open: ") +
                   QString::fromLatin1(dlg.metaObject()->className()));
    }
    QString getOpenFileName(const QString&, const QString&) override { return chosenFile; }
    QString getSaveFileName(const QString&, const QString&) override { return chosenFile; }
};

QString editorText(const QString& wordsFile) {
    QFile file(wordsFile);
    if (!file.open(QIODevice::ReadOnly))
        giveUp(QStringLiteral("cannot read ") + wordsFile);
    QString text;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty())
            text += QString::fromLatin1(line) + QStringLiteral("\r\n");
    return text;
}

// Opens list through File > Open and puts text in the editor, as typed.
void openAndEdit(frmMain& main, DriverPlatform& user, const QString& list, const QString& text) {
    user.rows = {list};
    main.mnuOpen_Click();
    if (globals::CurrentCategory != list)
        giveUp(QStringLiteral("could not open ") + list);
    main.txtEditor->setText(text);
    globals::ListChanged = true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillbox"));
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() < 2)
        giveUp(QStringLiteral("usage: writerDriver <case folder> <command> [arguments]"));
    const QString caseFolder = args[0];
    const QString command = args[1];
    auto arg = [&args](int i) {
        if (i >= args.size())
            giveUp(QStringLiteral("missing argument"));
        return args[i];
    };

    qputenv("XDG_CONFIG_HOME", QFile::encodeName(caseFolder + QStringLiteral("/config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(caseFolder + QStringLiteral("/no-system-config")));

    DriverPlatform user;
    ui::installPlatform(&user);
    frmMain& main = ui::Forms::get<frmMain>();
    main.Form_Load();

    if (command == QLatin1String("check")) {
        for (const QString& name : store::currentListNames())
            say("INDEX " + name.toUtf8());
    } else if (command == QLatin1String("save")) {
        openAndEdit(main, user, arg(2), editorText(arg(3)));
        main.mnuSave_Click();
    } else if (command == QLatin1String("saveas")) {
        openAndEdit(main, user, arg(2), editorText(arg(4)));
        user.newName = arg(3);
        main.mnuSaveAs_Click();
    } else if (command == QLatin1String("import")) {
        user.chosenFile = arg(2);
        main.mnuImport_Click();
    } else if (command == QLatin1String("delete")) {
        user.rows = {arg(2)};
        main.mnuDeleteList_Click();
    } else if (command == QLatin1String("export")) {
        user.chosenFile = arg(2);
        user.rows = args.mid(3);
        main.mnuExport_Click();
    } else {
        giveUp(QStringLiteral("unknown command ") + command);
    }
    say("DONE");
    std::fflush(nullptr);
    _exit(0);
}

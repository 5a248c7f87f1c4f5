#include "app/frmMain.h"

#include "app/frmPassword.h"
#include "app/registry.h"
#include "commands/listCommands.h"
#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "editing/keyFilters.h"
#include "editing/rejection.h"
#include "exchange/exchangeCommands.h"
#include "store/ListStore.h"
#include "store/listFiles.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"
#include "ui/frmAbout.h"
#include "ui/help.h"
#include "ui/instructions.h"
#include "ui/look.h"
#include "ui/platform.h"
#include "ui/reports.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>

namespace {
// The inner area, below the menu bar.
constexpr int kInnerWidth = 13740;
constexpr int kInnerHeight = 6885;
} // namespace

frmMain::frmMain() {
    setWindowTitle(core::kProgramTitle);
    setWindowIcon(QIcon(QStringLiteral(":/quillbox/quillbox.png")));
    ui::applyLook(this);

    auto* inner = new QWidget(this);
    ui::applyLook(inner);
    setCentralWidget(inner);

    lblVisibleHelp = new QLabel(inner);
    lblVisibleHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblVisibleHelp->setWordWrap(true);
    lblVisibleHelp->setForegroundRole(QPalette::WindowText);
    ui::placeTwips(lblVisibleHelp, 480, 1440, 6495, 4695);

    lblCategoryLabel = new QLabel(inner);
    ui::setCaption(lblCategoryLabel, QStringLiteral("current Category"));
    ui::placeTwips(lblCategoryLabel, 7560, 600, 4695, 375);

    txtEditor = new ui::MultiLineTextBox(inner);
    ui::placeTwips(txtEditor, 7560, 1080, 4815, 5055);
    txtEditor->KeyPress = [this](int& KeyAscii) { txtEditor_KeyPress(KeyAscii); };
    txtEditor->Change = [this] { txtEditor_Change(); };

    buildMenus();
    resize(ui::twips(kInnerWidth), ui::twips(kInnerHeight) + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    QString t;
    if (!globals::GetRegistryText(globals::kHKeyLocalMachine, globals::kQuillboxAppPathKey,
                                  globals::kAppPathValue, t) ||
        t.isEmpty())
        core::fatal(messages::notInstalled());

    globals::KestrelFolder = globals::GetKestrelFolder();
    if (globals::KestrelFolder.isEmpty())
        core::fatal(messages::kestrelNotInstalled());

    ui::ShowModal(ui::Forms::get<frmPassword>());

    store::removeLeftoverTemporaryFiles(globals::KestrelFolder);
    store::removeLeftoverTemporaryFiles(store::listFolderPath());
    const store::Result index = globals::LoadListIndex();
    if (index.outcome == store::Outcome::FolderNotMade)
        core::fatal(messages::noPermission());
    if (index.outcome == store::Outcome::TooMany)
        core::fatal(messages::tooManyListsInIndex(globals::kMaxLists));
    ui::report(index);
    globals::BuildInstructions();

    showNoList();
    globals::ListChanged = false;
    recovery_.offer();
}

QAction* frmMain::addItem(QMenu* menu, const QString& caption, const QString& shortcut,
                          bool enabled, void (frmMain::*handler)()) {
    QAction* item = menu->addAction(caption);
    if (!shortcut.isEmpty())
        item->setShortcut(QKeySequence(shortcut));
    item->setEnabled(enabled);
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return item;
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuNew = addItem(mnuFile, QStringLiteral("&New ..."), QStringLiteral("Ctrl+N"), true,
                     &frmMain::mnuNew_Click);
    mnuOpen = addItem(mnuFile, QStringLiteral("&Open ..."), QStringLiteral("Ctrl+O"), true,
                      &frmMain::mnuOpen_Click);
    mnuSave = addItem(mnuFile, QStringLiteral("&Save "), QStringLiteral("Ctrl+S"), false,
                      &frmMain::mnuSave_Click);
    mnuSaveAs = addItem(mnuFile, QStringLiteral("Save &As ..."), QString(), false,
                        &frmMain::mnuSaveAs_Click);
    mnuDashes = mnuFile->addSeparator();
    mnuImport = addItem(mnuFile, QStringLiteral("&Import Word Lists"), QStringLiteral("Ctrl+I"),
                        true, &frmMain::mnuImport_Click);
    mnuExport = addItem(mnuFile, QStringLiteral("&Export Word Lists"), QStringLiteral("Ctrl+E"),
                        true, &frmMain::mnuExport_Click);
    mnuDahes3 = mnuFile->addSeparator();
    mnuExit = addItem(mnuFile, QStringLiteral("E&xit"), QString(), true, &frmMain::mnuExit_Click);

    mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuUndo = addItem(mnuEdit, QStringLiteral("&Undo"), QStringLiteral("Ctrl+Z"), false,
                      &frmMain::mnuUndo_Click);
    mnuRedo = addItem(mnuEdit, QStringLiteral("&Redo"), QStringLiteral("Ctrl+Y"), false,
                      &frmMain::mnuRedo_Click);
    mnuDashes2 = mnuEdit->addSeparator();
    mnuCut = addItem(mnuEdit, QStringLiteral("Cu&t"), QStringLiteral("Ctrl+X"), false,
                     &frmMain::mnuCut_Click);
    mnuCopy = addItem(mnuEdit, QStringLiteral("&Copy"), QStringLiteral("Ctrl+C"), false,
                      &frmMain::mnuCopy_Click);
    mnuPaste = addItem(mnuEdit, QStringLiteral("&Paste"), QStringLiteral("Ctrl+V"), false,
                       &frmMain::mnuPaste_Click);
    mnuDashes4 = mnuEdit->addSeparator();
    mnuDeleteList = addItem(mnuEdit, QStringLiteral("Delete a List"), QString(), true,
                            &frmMain::mnuDeleteList_Click);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelpContents = addItem(mnuHelp, QStringLiteral("&Contents ..."), QString(), true,
                              &frmMain::mnuHelpContents_Click);
    mnuHelpAbout = addItem(mnuHelp, QStringLiteral("&About ..."), QString(), true,
                           &frmMain::mnuHelpAbout_Click);
}

void frmMain::mnuEnable_All() {
    for (QAction* item : {mnuSave, mnuSaveAs, mnuExport, mnuEdit->menuAction(), mnuUndo, mnuRedo,
                          mnuCut, mnuCopy, mnuPaste, mnuDeleteList})
        item->setEnabled(true);
}

void frmMain::mnuDisable_EditSave() {
    for (QAction* item : {mnuSave, mnuSaveAs, mnuUndo, mnuRedo, mnuCut, mnuCopy, mnuPaste})
        item->setEnabled(false);
}

bool frmMain::txtEditor_GetEntries(QString& Category) {
    QByteArray bytes;
    const store::Result read = store::ListStore::instance().readList(Category, bytes);
    if (!read.ok()) {
        ui::report(read);
        return false;
    }
    txtEditor->setText(store::editorText(bytes));
    showEditing();
    return true;
}

QByteArray frmMain::txtEditor_WriteWords() const {
    return store::listFileBytes(txtEditor->Text());
}

bool frmMain::txtEditor_SaveEntries() {
    const store::Result saved =
        store::ListStore::instance().save(globals::CurrentCategory, txtEditor_WriteWords());
    // After a failure the words and the Changed flag stay, so that the user
    // can mend the fault and save again.
    if (!saved.ok()) {
        ui::report(saved);
        return false;
    }
    globals::ListChanged = false;
    txtEditor_ResetUndo();
    return true;
}

void frmMain::txtEditor_KeyPress(int& KeyAscii) {
    switch (editing::filterEditorKey(KeyAscii)) {
    case editing::EditorKey::Copy:
        mnuCopy_Click();
        break;
    case editing::EditorKey::Paste:
        mnuPaste_Click();
        globals::ListChanged = true;
        break;
    case editing::EditorKey::Cut:
        mnuCut_Click();
        globals::ListChanged = true;
        break;
    case editing::EditorKey::Typed:
        globals::ListChanged = true;
        break;
    case editing::EditorKey::Refused:
        globals::SignalRejection(*txtEditor);
        break;
    }
}

void frmMain::txtEditor_Change() {
    // Every change the user makes counts: the Delete key, Undo and Redo too.
    if (!txtEditor->settingText())
        globals::ListChanged = true;
    recovery_.textChanged();
    recovery_.update();
    if (restoringStep) {
        restoringStep = false; // the change was Undo's or Redo's own
        return;
    }
    if (txtEditor->lastEdit().position < 0) {
        txtEditor_ResetUndo(); // a change the history cannot take back
        return;
    }
    txtEditor_RecordUndo();
}

void frmMain::txtEditor_RecordUndo() {
    const ui::MultiLineTextBox::Edit& edit = txtEditor->lastEdit();
    undo_.record(edit.position, edit.removed, edit.added, txtEditor->cursorPosition());
}

void frmMain::txtEditor_ResetUndo() {
    undo_.reset();
}

void frmMain::showStep(const editing::UndoHistory::Move& move) {
    // Only the span that differs is replaced, so the view stays where it is.
    restoringStep = true;
    txtEditor->replace(move.replaceStart, move.replaceLength, move.replacement);
    restoringStep = false; // also when the replacement changed nothing
    txtEditor->setCursorPosition(move.cursor);
}

void frmMain::txtEditor_Undo() {
    if (!undo_.canUndo()) {
        globals::SignalRejection(*txtEditor);
        return;
    }
    showStep(undo_.undo());
}

void frmMain::mnuUndo_Click() {
    txtEditor_Undo();
}

void frmMain::mnuRedo_Click() {
    if (!undo_.canRedo()) {
        globals::SignalRejection(*txtEditor);
        return;
    }
    showStep(undo_.redo());
}

void frmMain::mnuCopy_Click() {
    clipText = txtEditor->SelText();
}

void frmMain::mnuCut_Click() {
    clipText = txtEditor->SelText();
    txtEditor->setSelText(QString());
    globals::ListChanged = true;
}

void frmMain::mnuPaste_Click() {
    txtEditor->setSelText(clipText);
    globals::ListChanged = true;
}

void frmMain::Form_QueryUnload(bool& Cancel) {
    Cancel = !commands::mayEnd(*this);
}

void frmMain::Form_Unload() {
    recovery_.discard();
    recovery_.bringUpToDate(); // the journal gone before the program
    core::EndProgram();
}

void frmMain::sessionEnds() {
    recovery_.bringUpToDate();
    core::EndProgram();
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->ignore(); // the window stays until the program ends
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (!cancel)
        Form_Unload();
}

// Menu commands. After each, the recovery journal follows the words that
// are unsaved now.
void frmMain::mnuNew_Click() {
    commands::newList(*this);
    recovery_.update();
}
void frmMain::mnuOpen_Click() {
    commands::openList(*this);
    recovery_.update();
}
void frmMain::mnuSave_Click() {
    commands::saveList(*this);
    recovery_.update();
}
void frmMain::mnuSaveAs_Click() {
    commands::saveListAs(*this);
    recovery_.update();
}
void frmMain::mnuImport_Click() {
    exchange::importLists(*this);
    recovery_.update();
}
void frmMain::mnuExport_Click() {
    exchange::exportLists(*this);
    recovery_.update();
}
void frmMain::mnuExit_Click() {
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (!cancel)
        Form_Unload();
    recovery_.update();
}
void frmMain::mnuDeleteList_Click() {
    commands::deleteList(*this);
    recovery_.update();
}
void frmMain::mnuHelpContents_Click() {
    const QString path = ui::programFolder() + u'/' + ui::kHelpFileName;
    if (!ui::showHelpTopic(path, ui::kFirstHelpTopic))
        core::MsgBox(messages::helpNotInstalled());
}
void frmMain::mnuHelpAbout_Click() {
    ui::ShowModal(ui::Forms::get<frmAbout>());
}

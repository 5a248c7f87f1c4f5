#include "ui/frmMain.h"

#include "ui/MultiLineTextBox.h"
#include "ui/look.h"
#include "ui/services.h"

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
    setWindowTitle(ui::kProgramTitle);
    setWindowIcon(QIcon(QStringLiteral(":/quillbox/quillbox.png")));
    ui::ApplyLook(this);

    auto* inner = new QWidget(this);
    ui::ApplyLook(inner);
    setCentralWidget(inner);

    lblVisibleHelp = new QLabel(inner);
    lblVisibleHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblVisibleHelp->setWordWrap(true);
    lblVisibleHelp->setForegroundRole(QPalette::WindowText);
    ui::PlaceTwips(lblVisibleHelp, 480, 1440, 6495, 4695);

    lblCategoryLabel = new QLabel(inner);
    ui::SetCaption(lblCategoryLabel, QStringLiteral("current Category"));
    ui::PlaceTwips(lblCategoryLabel, 7560, 600, 4695, 375);

    txtEditor = new ui::MultiLineTextBox(inner);
    ui::PlaceTwips(txtEditor, 7560, 1080, 4815, 5055);
    setTabOrder(txtEditor, txtEditor);

    buildMenus();
    resize(ui::Twips(kInnerWidth), ui::Twips(kInnerHeight) + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

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
    mnuExit =
        addItem(mnuFile, QStringLiteral("E&xit"), QString(), true, &frmMain::mnuExit_Click);

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

void frmMain::Form_Unload() { ui::EndProgram(); }

void frmMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    Form_Unload();
}

// Commands still to come.
void frmMain::mnuNew_Click() {}
void frmMain::mnuOpen_Click() {}
void frmMain::mnuSave_Click() {}
void frmMain::mnuSaveAs_Click() {}
void frmMain::mnuImport_Click() {}
void frmMain::mnuExport_Click() {}
void frmMain::mnuExit_Click() {}
void frmMain::mnuUndo_Click() {}
void frmMain::mnuRedo_Click() {}
void frmMain::mnuCut_Click() {}
void frmMain::mnuCopy_Click() {}
void frmMain::mnuPaste_Click() {}
void frmMain::mnuDeleteList_Click() {}
void frmMain::mnuHelpContents_Click() {}
void frmMain::mnuHelpAbout_Click() {}

#include "ui/MainWindow.h"

#include "core/globals.h"
#include "ui/MultiLineTextBox.h"
#include "ui/look.h"

#include <QLabel>

namespace ui {

namespace {
MainWindow* theMainWindow = nullptr;
} // namespace

MainWindow::MainWindow() {
    theMainWindow = this;
}

MainWindow::~MainWindow() {
    if (theMainWindow == this)
        theMainWindow = nullptr;
}

void MainWindow::showNoList() {
    setCaption(lblCategoryLabel, QString());
    txtEditor->setText(QString());
    txtEditor->setVisible(false);
    mnuDisable_EditSave();
    setCaption(lblVisibleHelp, globals::HelpText[1]);
}

void MainWindow::showEditing() {
    txtEditor->setVisible(true);
    setCaption(lblVisibleHelp, globals::HelpText[2]);
    mnuEnable_All();
}

MainWindow& mainWindow() {
    Q_ASSERT(theMainWindow);
    return *theMainWindow;
}

} // namespace ui

// Start-up: the main window's load handler.

#include "app/frmPassword.h"
#include "app/globals.h"
#include "app/registry.h"
#include "store/listIndex.h"
#include "ui/Forms.h"
#include "ui/MultiLineTextBox.h"
#include "ui/frmMain.h"
#include "ui/instructions.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QLabel>

void frmMain::Form_Load() {
    const QString notInstalled = QStringLiteral("Quillbox not properly installed.");
    QString t;
    if (!globals::GetRegistryText(globals::kHKeyLocalMachine, globals::kQuillboxAppPathKey,
                                  globals::kAppPathValue, t))
        ui::Fatal(notInstalled);
    if (t.isEmpty())
        ui::Fatal(notInstalled);

    globals::KestrelFolder = globals::GetKestrelFolder();
    if (globals::KestrelFolder.isEmpty())
        ui::Fatal(QStringLiteral(" Kestrel not installed. "));

    ui::ShowModal(ui::Forms::get<frmPassword>());

    globals::LoadListIndex();
    globals::BuildInstructions();

    ui::SetCaption(lblVisibleHelp, globals::HelpText[1]);
    txtEditor->setVisible(false);
    globals::ListChanged = false;
    ui::SetCaption(lblCategoryLabel, QString());
}

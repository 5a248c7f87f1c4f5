#include "app/endSignals.h"
#include "app/frmMain.h"
#include "ui/Forms.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillbox"));
    QApplication::setQuitOnLastWindowClosed(false);
    ui::installLook();
    ui::WidgetPlatform platform;
    ui::installPlatform(&platform);

    frmMain& main = ui::Forms::get<frmMain>();
    // Ended from outside, the unsaved words are kept for the next start.
    app::onEndFromOutside(&main, [&main] { main.sessionEnds(); });
    app::onExitFromOutside([&main] { main.recovery().bringUpToDate(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main,
                     [&main] { main.recovery().bringUpToDate(); });
    main.Form_Load();
    main.show();
    main.activateWindow(); // the password dialog had the focus
    const int code = QApplication::exec();
    app::onExitFromOutside(nullptr);
    ui::Forms::unloadAll();
    return code;
}

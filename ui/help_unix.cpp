// Help where the system has no HTML Help: the program's own viewer.
#include "ui/help.h"

#include "ui/Forms.h"
#include "ui/HelpViewer.h"

namespace ui {

bool showHelpTopic(const QString& helpFile, const QString& topic) {
    if (!ChmFile::ensureLibrary())
        return false;
    HelpViewer& viewer = Forms::get<HelpViewer>();
    viewer.displayTopic(helpFile, topic);
    viewer.show();
    if (viewer.isMinimized())
        viewer.showNormal();
    viewer.raise();
    viewer.activateWindow();
    return true;
}

} // namespace ui

#include "ui/help.h"

#include <QCoreApplication>

namespace ui {

namespace {
QString& programFolderOverride() {
    static QString folder;
    return folder;
}
} // namespace

QString programFolder() {
    const QString& folder = programFolderOverride();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void setProgramFolder(const QString& folder) {
    programFolderOverride() = folder;
}

} // namespace ui

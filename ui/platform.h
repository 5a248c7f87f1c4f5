#pragma once
// The window services that need widgets: modal show and the platform's file
// dialogs, on top of the message box, beep and end of the program of
// ui/services.h. The widget implementation is installed by main(); tests
// install a scripted one that answers message boxes, plays the user inside
// each modal dialog and turns the end of the program into an exception.

#include "core/services.h"

#include <QString>

class QWidget;

namespace ui {

class Dialog;

class Platform : public core::Services {
public:
    // Shows dlg and returns once it has hidden itself.
    virtual void showModal(Dialog& dlg) = 0;
    // The chosen file's full path, or an empty string when the user cancelled.
    // filter is "text|pattern".
    virtual QString getOpenFileName(const QString& title, const QString& filter) = 0;
    virtual QString getSaveFileName(const QString& title, const QString& filter) = 0;
};

// The real thing: Qt's message boxes, dialogs and file dialogs.
class WidgetPlatform : public Platform {
public:
    void msgBox(const QString& text, int style, const QString& title) override;
    void beep() override;
    void hold(int milliseconds) override;
    [[noreturn]] void endProgram(int exitCode) override;
    void showModal(Dialog& dlg) override;
    QString getOpenFileName(const QString& title, const QString& filter) override;
    QString getSaveFileName(const QString& title, const QString& filter) override;

private:
    qint64 lastBell_ = -1;
};

Platform& platform();
// Installs p as the platform and as the services; nullptr uninstalls.
void installPlatform(Platform* p);

// The window a new dialog or message box belongs over: the innermost modal
// dialog shown, else the main window (never the help viewer beside it).
QWidget* ownerWindow();

// Modal show: loads the dialog on its first showing (Form_Load), runs its
// Form_Activate, shows it and returns when it has hidden itself.
void ShowModal(Dialog& dlg);

} // namespace ui

#include "ui/platform.h"

#include "ui/Dialog.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QThread>

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ui {

namespace {
Platform* installed = nullptr;
WidgetPlatform* widgetPlatform() {
    static WidgetPlatform instance;
    return &instance;
}

// "text|pattern" as a Qt name filter that shows the text and matches the pattern.
QString nameFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(u'|');
    if (bar < 0)
        return filter;
    const QString text = filter.left(bar);
    const QString pattern = filter.mid(bar + 1);
    // Qt takes the pattern from the last parentheses of the text.
    if (text.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
        return text;
    return text + QLatin1String(" (") + pattern + QLatin1Char(')');
}

// The dialogs shown modally now, innermost last.
QList<QPointer<QWidget>> modalDialogs;
} // namespace

// (The active window is not always known: after a dialog closes, the window
// system may not have given the focus back yet.)
QWidget* ownerWindow() {
    for (auto it = modalDialogs.crbegin(); it != modalDialogs.crend(); ++it)
        if (*it && (*it)->isVisible())
            return *it;
    // The main window, not the help viewer beside it.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && dynamic_cast<MainWindow*>(top))
            return top;
    return nullptr;
}

namespace {
void centreOverItsOwner(QWidget& dlg) {
    const QWidget* over = ownerWindow();
    QRect area;
    if (over) {
        area = over->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    QRect frame = dlg.frameGeometry();
    frame.moveCenter(area.center());
    dlg.move(frame.topLeft());
}

QString runFileDialog(QFileDialog::AcceptMode mode, const QString& title, const QString& filter) {
    QFileDialog dialog(ownerWindow(), title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(nameFilter(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

void WidgetPlatform::msgBox(const QString& text, int style, const QString& title) {
    QMessageBox box(style == core::vbCritical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    title.isEmpty() ? core::kProgramTitle : title, text, QMessageBox::Ok,
                    ownerWindow());
    box.exec();
}

void WidgetPlatform::beep() {
    // The rejection signal asks for hundreds of beeps in a row; one bell per
    // tenth of a second is all an ear can tell apart.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (lastBell_ >= 0 && now - lastBell_ < 100)
        return;
    lastBell_ = now;
    QApplication::beep();
}

void WidgetPlatform::hold(int milliseconds) {
    QThread::msleep(milliseconds);
}

void WidgetPlatform::endProgram(int exitCode) {
    std::fflush(nullptr);
#ifdef _WIN32
    // _Exit ends through ExitProcess, which stops the other threads wherever
    // they are and then runs every library's detach code: the journal's
    // thread, asleep in the threads library, could leave it a lock that it
    // then waited for, for ever. TerminateProcess ends at once, as _Exit
    // means to; every file the program wrote is synced already.
    TerminateProcess(GetCurrentProcess(), UINT(exitCode));
#endif
    std::_Exit(exitCode);
}

void WidgetPlatform::showModal(Dialog& dlg) {
    if (!dlg.isVisible())
        centreOverItsOwner(dlg);
    modalDialogs.append(&dlg);
    dlg.exec(); // returns when the dialog hides itself
    modalDialogs.removeLast();
}

QString WidgetPlatform::getOpenFileName(const QString& title, const QString& filter) {
    return runFileDialog(QFileDialog::AcceptOpen, title, filter);
}

QString WidgetPlatform::getSaveFileName(const QString& title, const QString& filter) {
    return runFileDialog(QFileDialog::AcceptSave, title, filter);
}

Platform& platform() {
    return installed ? *installed : *widgetPlatform();
}

void installPlatform(Platform* p) {
    installed = p;
    core::installServices(p);
}

void ShowModal(Dialog& dlg) {
    dlg.loadOnce();
    dlg.Form_Activate();
    platform().showModal(dlg);
}

} // namespace ui

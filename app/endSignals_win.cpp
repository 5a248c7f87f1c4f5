// Windows sends a windowed program no signals: the session's end comes as
// WM_QUERYENDSESSION, which Qt turns into the application's
// commitDataRequest, then as WM_ENDSESSION to every top-level window. Qt
// answers the latter by quitting, which closes the windows and would put the
// unsaved-changes question to a user who is logging off, and hold the
// session's end up with it. The first WM_ENDSESSION that ends the session
// runs the handler instead.
#include "app/endSignals.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>

#include <windows.h>

namespace app {

namespace {
class SessionEnd final : public QAbstractNativeEventFilter {
public:
    QPointer<QObject> context;
    std::function<void()> handler;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG" || !handler || !context)
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_ENDSESSION || msg->wParam == FALSE)
            return false;
        const std::function<void()> run = std::move(handler);
        handler = nullptr; // once: the message comes to each top-level window
        run();
        return false;
    }
};
} // namespace

void onEndFromOutside(QObject* context, std::function<void()> handler) {
    static SessionEnd filter;
    if (filter.handler || !QCoreApplication::instance())
        return;
    filter.context = context;
    filter.handler = std::move(handler);
    QCoreApplication::instance()->installNativeEventFilter(&filter);
}

// A Windows program has no connection to its display that can break, which
// is what ends the program with exit() elsewhere.
void onExitFromOutside(std::function<void()>) {}

} // namespace app

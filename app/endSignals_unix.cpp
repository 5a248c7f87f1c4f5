// POSIX: a signal handler may do next to nothing safely, so it writes one
// byte to a socket pair, and the event loop reads it and runs the handler.
#include "app/endSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace app {

namespace {
int pair[2] = {-1, -1};

extern "C" void signalled(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pair[0], &byte, 1);
}
} // namespace

void onEndFromOutside(QObject* context, std::function<void()> handler) {
    if (pair[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    auto* notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [notifier, handler = std::move(handler)] {
                         notifier->setEnabled(false);
                         char byte;
                         [[maybe_unused]] const ssize_t n = ::read(pair[1], &byte, 1);
                         handler();
                     });
    struct sigaction action = {};
    action.sa_handler = signalled;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

} // namespace app

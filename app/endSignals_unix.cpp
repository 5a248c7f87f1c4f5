// POSIX: a signal handler may do next to nothing safely, so it writes one
// byte to a socket pair, and the event loop reads it and runs the handler.
// It also starts a timer that ends the process 2.8 s on, should the event
// loop not have ended it by then (the loop itself may be held up, by a save
// on a disk that stalls); a second signal ends the process at once.
#include "app/endSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/socket.h>
#include <unistd.h>

namespace app {

namespace {
int pair[2] = {-1, -1};
timer_t bound;
std::atomic<int> firstSignal{0}; // lock-free: safe in a signal handler
std::function<void()> exitHandler;

extern "C" void boundReached(int) {
    if (const int signal = firstSignal.load())
        ::_exit(128 + signal);
}

extern "C" void signalled(int signal) {
    if (firstSignal.exchange(signal) != 0)
        ::_exit(128 + signal);
    itimerspec at = {}; // 2.8 s: time for the journal's 2 s, and for the end
    at.it_value.tv_sec = 2;
    at.it_value.tv_nsec = 800 * 1000 * 1000;
    ::timer_settime(bound, 0, &at, nullptr);
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pair[0], &byte, 1);
}

extern "C" void exiting(int status, void*) {
    if (!exitHandler)
        return;
    const QCoreApplication* program = QCoreApplication::instance();
    if (program && QThread::currentThread() == program->thread())
        exitHandler();
    std::fflush(nullptr);
    std::_Exit(status);
}
} // namespace

void onEndFromOutside(QObject* context, std::function<void()> handler) {
    sigevent atBound = {};
    atBound.sigev_notify = SIGEV_SIGNAL;
    atBound.sigev_signo = SIGALRM;
    if (pair[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0 ||
        ::timer_create(CLOCK_MONOTONIC, &atBound, &bound) != 0)
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
    action.sa_handler = boundReached;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGALRM, &action, nullptr);
    action.sa_handler = signalled;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

void onExitFromOutside(std::function<void()> handler) {
    // on_exit (not atexit) is told the exit status.
    [[maybe_unused]] static const int registered = ::on_exit(exiting, nullptr);
    exitHandler = std::move(handler);
}

} // namespace app

#pragma once
// The ends that come from outside the program: the desktop session ending,
// a closed terminal, an interrupt. On POSIX systems SIGTERM, SIGHUP and
// SIGINT; the handler runs in the event loop, not in the signal handler. On
// Windows the end of the session (WM_ENDSESSION).

#include <functional>

class QObject;

namespace app {

// Calls handler, in the event loop of context's thread, when the program is
// asked to end from outside. Once per run.
void onEndFromOutside(QObject* context, std::function<void()> handler);

} // namespace app

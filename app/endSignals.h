#pragma once
// The ends that come from outside the program: the desktop session ending,
// a closed terminal, an interrupt. On POSIX systems SIGTERM, SIGHUP and
// SIGINT; the handler runs in the event loop, not in the signal handler. On
// Windows the end of the session (WM_ENDSESSION).

#include <functional>

class QObject;

namespace app {

// Calls handler, in the event loop of context's thread, when the program is
// asked to end from outside. Once per run. On POSIX systems the end is
// bounded: whatever holds it up (a disk that stalls under a save) is cut
// short 2.8 s after the first signal, with the exit status 128 + that
// signal; a second signal ends the program at once, with 128 + its number.
void onEndFromOutside(QObject* context, std::function<void()> handler);

// Calls handler when a library ends the process with exit() (Qt's X11
// platform does when the connection to the display breaks), then ends the
// process at once with that exit status, so that the windows are never torn
// down by the static destructors against a display that is gone. Set it once
// the windows exist; an empty handler lets exit() go on (the program's own
// end). The handler runs only when exit() is called on the main thread.
void onExitFromOutside(std::function<void()> handler);

} // namespace app

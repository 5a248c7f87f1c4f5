#pragma once
// Message box, beep and the end of the program: the services that every layer
// may call, the store included. They dispatch to the installed Services; the
// widget implementation lives in ui/platform.h and tests install their own.
// This header needs Qt Core only.

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace core {

// Message box styles.
constexpr int vbOKOnly = 0;
constexpr int vbCritical = 16;

inline const QString kProgramTitle = QStringLiteral("Quillbox");

// What the test services throw instead of ending the process, so that a test
// sees "the program ends" in-process.
struct ProgramEnded {
    int exitCode;
};

class Services {
public:
    virtual ~Services() = default;
    // Returns when the user has closed the box. An empty title shows the program's title.
    virtual void msgBox(const QString& text, int style, const QString& title) = 0;
    // One short system sound.
    virtual void beep() = 0;
    // Keeps what is on the screen for a moment while nothing else runs.
    virtual void hold(int milliseconds) = 0;
    // Stops the process at once: no handler runs, no window is asked.
    [[noreturn]] virtual void endProgram(int exitCode) = 0;
};

// Used when no widget layer is installed (command-line tools, benchmarks).
class ConsoleServices : public Services {
public:
    void msgBox(const QString& text, int, const QString& title) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title.isEmpty() ? kProgramTitle : title),
                     qPrintable(text));
    }
    void beep() override {}
    void hold(int) override {}
    [[noreturn]] void endProgram(int exitCode) override {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
};

namespace detail {
inline ConsoleServices consoleServices;
inline Services* installedServices = &consoleServices;
} // namespace detail

inline Services& services() {
    return *detail::installedServices;
}
// Installs s (nullptr restores the console services); returns the previous one.
inline Services* installServices(Services* s) {
    Services* previous = detail::installedServices;
    detail::installedServices = s ? s : &detail::consoleServices;
    return previous;
}

inline void MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString()) {
    services().msgBox(text, style, title);
}
inline void Beep() {
    services().beep();
}
// exitCode 0 for an ordinary end (File > Exit, the close box), 1 after a fatal message.
[[noreturn]] inline void EndProgram(int exitCode = 0) {
    services().endProgram(exitCode);
    std::abort(); // not reached: endProgram ends the process or throws
}

// Shows a critical message and ends the program: the answer to every failure
// that the program cannot go on from.
[[noreturn]] inline void fatal(const QString& text) {
    MsgBox(text, vbCritical);
    EndProgram(1);
}

} // namespace core

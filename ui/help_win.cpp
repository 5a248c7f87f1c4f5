// Help on Windows: the system's HTML Help, loaded when first asked for, as a
// help file expects. It shows its own window.
#include "ui/help.h"

#include <QDir>

#include <windows.h>

namespace ui {

namespace {
constexpr UINT kDisplayTopic = 0; // HH_DISPLAY_TOPIC
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HtmlHelpFn htmlHelp() {
    static const HtmlHelpFn function = [] {
        HMODULE library = LoadLibraryW(L"hhctrl.ocx");
        return library ? reinterpret_cast<HtmlHelpFn>(
                             reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")))
                       : nullptr;
    }();
    return function;
}
} // namespace

bool showHelpTopic(const QString& helpFile, const QString& topic) {
    const HtmlHelpFn show = htmlHelp();
    if (!show)
        return false;
    // The ANSI call takes the path and the topic in the system's code page.
    const QByteArray path = QDir::toNativeSeparators(helpFile).toLocal8Bit();
    const QByteArray name = topic.toLocal8Bit();
    // No window: the file is missing or is no help file. HTML Help says so
    // itself on some systems and not on others, so the program says so.
    return show(nullptr, path.constData(), kDisplayTopic,
                reinterpret_cast<DWORD_PTR>(name.constData())) != nullptr;
}

} // namespace ui

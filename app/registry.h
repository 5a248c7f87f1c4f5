#pragma once
// The registry lookups of start-up. On Windows they read the registry itself;
// elsewhere the HKEY_LOCAL_MACHINE hive is the text file
// quillbox/registry.reg under the XDG configuration folders (the user's
// first, then the system's), in the registry editor's export format.

#include <QString>

#include <cstdint>

namespace globals {

// The 32-bit handle of the HKEY_LOCAL_MACHINE root.
constexpr std::uint32_t kHKeyLocalMachine = 0x80000002u;

inline const QString kQuillboxAppPathKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quillbox.exe");
inline const QString kKestrelAppPathKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe");
inline const QString kAppPathValue = QStringLiteral("PATH");

// Reads a value of at most 1024 bytes (a string's terminating NUL counted).
// True when the key was opened and the value read: text then holds a string
// value without its terminating NUL, "&h" and the hexadecimal digits of a
// DWORD, or is left as passed for other types. False otherwise, with text
// empty. Key paths and value names match without regard to case.
bool GetRegistryText(std::uint32_t root, const QString& keyPath, const QString& valueName,
                     QString& text);

// Kestrel's folder from its application-path entry, or an empty text.
QString GetKestrelFolder();

} // namespace globals

#pragma once
// The registry editor's export format ("REGEDIT4" or "Windows Registry Editor
// Version 5.00"), read into the values a program would get back from the
// registry's ANSI calls. Key sections may begin with the root's name
// (HKEY_LOCAL_MACHINE or HKLM) or leave it out; sections of other roots are
// ignored.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace app {

enum RegistryType : std::uint32_t {
    REG_NONE_TYPE = 0,
    REG_SZ_TYPE = 1,
    REG_EXPAND_SZ_TYPE = 2,
    REG_BINARY_TYPE = 3,
    REG_DWORD_TYPE = 4,
    REG_MULTI_SZ_TYPE = 7,
};

struct RegistryValue {
    std::uint32_t type = REG_NONE_TYPE;
    // As the ANSI call returns it: strings in Windows-1252, a string written
    // as "text" with its terminating NUL.
    QByteArray data;
};

class RegistryHive {
public:
    // nullopt for a file that is not in the format.
    static std::optional<RegistryHive> parse(const QByteArray& fileBytes);

    bool hasKey(const QString& keyPath) const;
    // nullptr when the key or the value does not exist. "" is the default value.
    const RegistryValue* value(const QString& keyPath, const QString& valueName) const;
    // Each value: its key's path (under HKEY_LOCAL_MACHINE) and its name, both
    // in small letters, and the value.
    void forEachValue(
        const std::function<void(const QString&, const QString&, const RegistryValue&)>& f) const;

private:
    using Key = QHash<QString, RegistryValue>; // lower-cased value name -> value
    QHash<QString, Key> keys_;                 // lower-cased key path -> values

    friend class HiveParser;
};

} // namespace app

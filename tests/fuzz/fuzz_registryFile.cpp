// Fuzzes the registry file parser: each input is the bytes of a registry file,
// parsed and then asked for the values that start-up looks up, in any case.

#include "app/registryHive.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<app::RegistryHive> hive = app::RegistryHive::parse(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QString kestrel =
        QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe");
    // Keys and value names match without regard to case; no key, no value.
    for (const QString& key : {kestrel, QStringLiteral("HKLM\\") + kestrel, QStringLiteral("a")})
        for (const QString& name : {QStringLiteral("PATH"), QString()})
            if (hive && (hive->value(key.toLower(), name.toLower()) != hive->value(key, name) ||
                         (hive->value(key, name) && !hive->hasKey(key))))
                std::abort();
    return 0;
}

// Fuzzes the registry file parser: each input is the bytes of a registry
// file, parsed and then asked for the values start-up looks up.

#include "app/registryHive.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "registry parser: %s\n", what);
        std::abort();
    }
}

const QStringList kKeys{
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe"),
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quillbox.exe"),
    QStringLiteral("software\\microsoft\\windows\\currentversion\\app paths\\KESTREL.EXE"),
    QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe"),
    QStringLiteral("a"),
    QString(),
};
const QStringList kValueNames{QStringLiteral("PATH"), QStringLiteral("path"), QString()};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<app::RegistryHive> hive = app::RegistryHive::parse(bytes);
    if (!hive)
        return 0;
    for (const QString& key : kKeys) {
        const bool hasKey = hive->hasKey(key);
        check(hive->hasKey(key.toLower()) == hasKey, "key paths matched with regard to case");
        for (const QString& name : kValueNames) {
            const app::RegistryValue* value = hive->value(key, name);
            check(!value || hasKey, "a value of a key that does not exist");
            check(hive->value(key.toUpper(), name.toLower()) == value,
                  "value names matched with regard to case");
        }
    }
    return 0;
}

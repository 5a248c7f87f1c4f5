// The registry lookups on Windows, through advapi32's ANSI calls.

#include "app/registry.h"
#include "store/textFile.h"

#include <windows.h>

namespace globals {

bool GetRegistryText(std::uint32_t root, const QString& keyPath, const QString& valueName,
                     QString& text) {
    const QString passed = text;
    HKEY key = nullptr;
    const QByteArray path = store::encodeText(keyPath);
    if (RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)), path.constData(), 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        text.clear();
        if (key)
            RegCloseKey(key);
        return false;
    }
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    const QByteArray name = store::encodeText(valueName);
    if (RegQueryValueExA(key, name.constData(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        text.clear();
        RegCloseKey(key);
        return false;
    }
    QByteArray bytes(buffer, static_cast<qsizetype>(size));
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    if (type == REG_SZ) {
        text = store::decodeText(bytes);
    } else if (type == REG_DWORD) {
        DWORD dword = 0;
        memcpy(&dword, buffer, size < sizeof dword ? size : sizeof dword);
        text = QStringLiteral("&h") + QString::number(dword, 16).toUpper();
    } else {
        text = passed;
    }
    RegCloseKey(key);
    return true;
}

} // namespace globals

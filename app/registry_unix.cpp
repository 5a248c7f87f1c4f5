// The registry lookups elsewhere than on Windows: the HKEY_LOCAL_MACHINE hive
// is the registry file, quillbox/registry.reg under the XDG configuration
// folders.
#include "app/registry.h"

#include "app/registryHive.h"
#include "store/files.h"
#include "store/textFile.h"

#include <QStandardPaths>

namespace globals {

namespace {
constexpr qsizetype kBufferSize = 1024;

std::optional<app::RegistryHive> readHive() {
    const QString path = QStandardPaths::locate(QStandardPaths::GenericConfigLocation,
                                                QStringLiteral("quillbox/registry.reg"));
    if (path.isEmpty())
        return std::nullopt;
    const store::ReadResult file = store::readFile(path, store::kMaxRegistryFileBytes);
    if (file.status != store::FileStatus::Ok)
        return std::nullopt;
    return app::RegistryHive::parse(file.bytes);
}
} // namespace

bool GetRegistryText(std::uint32_t root, const QString& keyPath, const QString& valueName,
                     QString& text) {
    const QString passed = text;
    text.clear();
    if (root != kHKeyLocalMachine)
        return false; // the file holds that root only
    const std::optional<app::RegistryHive> hive = readHive();
    if (!hive || !hive->hasKey(keyPath))
        return false;
    const app::RegistryValue* value = hive->value(keyPath, valueName);
    if (!value || value->data.size() > kBufferSize)
        return false;
    QByteArray bytes = value->data;
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    if (value->type == app::REG_SZ_TYPE) {
        text = store::decodeText(bytes);
    } else if (value->type == app::REG_DWORD_TYPE) {
        quint32 dword = 0;
        for (qsizetype i = 0; i < 4 && i < value->data.size(); ++i)
            dword |= quint32(static_cast<unsigned char>(value->data.at(i))) << (8 * i);
        text = QStringLiteral("&h") + QString::number(dword, 16).toUpper();
    } else {
        text = passed; // other types give no text
    }
    return true;
}

} // namespace globals

#include "app/registry.h"

namespace globals {

QString GetKestrelFolder() {
    QString t;
    if (GetRegistryText(kHKeyLocalMachine, kKestrelAppPathKey, kAppPathValue, t))
        return t;
    return QString();
}

} // namespace globals

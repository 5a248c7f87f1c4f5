#include "store/listIndex.h"

namespace globals {

store::Result LoadListIndex() {
    return store::ListStore::instance().reload();
}

int FindListName(const QString& name, const std::vector<QString>& table, const qint16& count) {
    for (int i = 1; i <= count; ++i) {
        const QString& entry = table[std::size_t(i)];
        if (entry.size() == name.size() && entry.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

} // namespace globals

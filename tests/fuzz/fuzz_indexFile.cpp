// Fuzzes the list index reload: each input is the contents of
// VocabularyLists.txt, reloaded against a list folder of a few list files; the
// list index it leaves is checked.

#include "core/globals.h"
#include "require.h"
#include "store/ListStore.h"
#include "store/listFiles.h"
#include "store/listIndex.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Each input rewrites the index file: in memory where a tmpfs is offered.
    static QTemporaryDir shm(QStringLiteral("/dev/shm/quillbox-fuzz-XXXXXX")), tmp;
    globals::KestrelFolder = (shm.isValid() ? shm.path() : tmp.path()) + "/kestrel";
    const QString folder = globals::KestrelFolder + "/Vocab Categories/";
    QDir().mkpath(folder + "folder.txt"); // a folder is no list file
    for (const char* name :
         {"animals", "Cats", "cats", "big cats", "", "caf\xC3\xA9", "../outside"})
        require(QFile(folder + QString::fromUtf8(name) + ".txt").open(QIODevice::WriteOnly));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // At most 10000 lines, as many as the index can hold.
    if (size > std::size_t(globals::kMaxLists))
        return 0;
    QFile index(store::indexFilePath());
    require(index.open(QIODevice::WriteOnly) &&
            index.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size) &&
            index.flush());
    globals::LoadListIndex();
    QHash<QString, int> first; // a name in small letters -> the first entry holding it
    for (int i = 1; i <= globals::ListCount; ++i) {
        const QString& name = globals::ListNames[i];
        const int position = *first.insert(name.toLower(), first.value(name.toLower(), i));
        // Every name held has its list file in the list folder, and the lookup
        // finds the first entry equal to it without regard to case.
        const QFileInfo file(store::ListStore::instance().pathOf(name));
        require(file.isFile() &&
                file.canonicalPath() == QDir(store::listFolderPath()).canonicalPath());
        require(globals::FindListName(name, globals::ListNames, globals::ListCount) == position);
    }
    return 0;
}

// Fuzzes the list index reload: each input is the contents of
// VocabularyLists.txt, reloaded against a list folder that holds a few list
// files, and the list index it leaves is checked.

#include "core/globals.h"
#include "core/services.h"
#include "store/listFiles.h"
#include "store/listIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "index reload: %s\n", what);
        std::abort();
    }
}

// Messages go nowhere; the end of the program comes back as an exception.
class FuzzServices : public core::Services {
public:
    void msgBox(const QString&, int, const QString&) override {}
    void beep() override {}
    void hold(int) override {}
    [[noreturn]] void endProgram(int exitCode) override { throw core::ProgramEnded{exitCode}; }
};

// Each input rewrites the index file: keep it in memory where the system
// offers a tmpfs, as a disk file system may write every rewrite through.
QString temporaryFolder() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return base + QStringLiteral("/quillbox-fuzz-XXXXXX");
}

struct Installation {
    QTemporaryDir dir{temporaryFolder()};
    QString canonicalListFolder;

    Installation() {
        check(dir.isValid(), "cannot make a temporary folder");
        globals::KestrelFolder = dir.path() + QStringLiteral("/kestrel");
        const QString folder = globals::KestrelFolder + QStringLiteral("/Vocab Categories");
        QDir().mkpath(folder);
        for (const char* name : {"animals", "Cats", "cats", "big cats", "", "caf\xC3\xA9",
                                 "\xC3\x84RGER", "a.b", " spaced "}) {
            QFile file(folder + u'/' + QString::fromUtf8(name) + QStringLiteral(".txt"));
            check(file.open(QIODevice::WriteOnly) && file.write("word\r\n") == 6,
                  "cannot write a list file");
        }
        QDir(folder).mkdir(QStringLiteral("folder.txt")); // not a list file
        QFile outside(globals::KestrelFolder + QStringLiteral("/outside.txt"));
        check(outside.open(QIODevice::WriteOnly), "cannot write a file");
        canonicalListFolder = QFileInfo(folder).canonicalFilePath();
    }
};

Installation* installation = nullptr;
FuzzServices services;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static Installation kestrel;
    installation = &kestrel;
    core::installServices(&services);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        QFile index(store::indexFilePath());
        check(index.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the index");
        check(index.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size),
              "cannot write the index");
    }
    globals::ListCount = 0;
    try {
        globals::LoadListIndex();
    } catch (const core::ProgramEnded&) {
        // More than 10000 names with files: the program would end here.
        check(globals::ListCount == globals::kMaxLists, "ended before the maximum");
        return 0;
    }

    const int count = globals::ListCount;
    check(count >= 0 && count <= globals::kMaxLists, "count out of range");
    QHash<QString, int> firstPosition; // case-folded name -> first entry holding it
    for (int i = 1; i <= count; ++i) {
        const QString& name = globals::ListNames[i];
        const QString folded = name.toCaseFolded();
        const auto first = firstPosition.constFind(folded);
        const int expected = first == firstPosition.cend() ? i : *first;
        if (first == firstPosition.cend()) {
            firstPosition.insert(folded, i);
            // Every name held has its list file, inside the list folder.
            const QFileInfo file(store::resolveListFile(name));
            check(file.isFile(), "a name without a list file was kept");
            check(file.canonicalPath() == installation->canonicalListFolder,
                  "a name resolved outside the list folder");
        }
        // The lookup finds the first entry equal to it without regard to case.
        check(globals::FindListName(name, globals::ListNames, globals::ListCount) == expected,
              "the lookup did not find the first equal entry");
    }
    return 0;
}

#include "ui/ChmFile.h"

#include "store/files.h"

#include <QFile>

#include <deque>
#include <utility>

#include <dlfcn.h>

namespace {

// The part of chmlib's interface the help uses, declared here so that the
// program builds without chmlib's header and loads the library at run time.
constexpr int kChmMaxPathLen = 512;
constexpr int kChmResolveSuccess = 0;

struct ChmUnitInfo {
    unsigned long long start;
    unsigned long long length;
    int space;
    int flags;
    char path[kChmMaxPathLen + 1];
};

using ChmOpenFn = ::chmFile* (*)(const char*);
using ChmCloseFn = void (*)(::chmFile*);
using ChmResolveObjectFn = int (*)(::chmFile*, const char*, ChmUnitInfo*);
using ChmRetrieveObjectFn = long long (*)(::chmFile*, ChmUnitInfo*, unsigned char*,
                                          unsigned long long, long long);

// A help topic, a picture or a stylesheet is small; anything larger is a
// damaged entry, not something to allocate.
constexpr unsigned long long kLargestObject = 64ull * 1024 * 1024;

const char* const kDefaultLibrary = "libchm.so.1";
void* openLibrary(const QString& name) {
    return dlopen(QFile::encodeName(name).constData(), RTLD_NOW | RTLD_LOCAL);
}
void* findSymbol(void* library, const char* symbol) {
    return dlsym(library, symbol);
}

template <class Fn> Fn symbol(void* library, const char* name) {
    // Function pointers from the loader arrive as object pointers.
    return reinterpret_cast<Fn>(findSymbol(library, name));
}

} // namespace

namespace ui {

struct ChmFile::Api {
    QString name;
    ChmOpenFn open = nullptr;
    ChmCloseFn close = nullptr;
    ChmResolveObjectFn resolve = nullptr;
    ChmRetrieveObjectFn retrieve = nullptr;
};

namespace {
QString& librarySetting() {
    static QString name = QString::fromLatin1(kDefaultLibrary);
    return name;
}
// Libraries stay loaded for the run, so an open file never outlives its
// functions; a deque keeps the entries where they are.
std::deque<ChmFile::Api>& loadedApis() {
    static std::deque<ChmFile::Api> apis;
    return apis;
}

const ChmFile::Api* currentApi() {
    for (const ChmFile::Api& api : loadedApis())
        if (api.name == librarySetting())
            return &api;
    void* library = openLibrary(librarySetting());
    if (!library)
        return nullptr;
    ChmFile::Api api;
    api.name = librarySetting();
    api.open = symbol<ChmOpenFn>(library, "chm_open");
    api.close = symbol<ChmCloseFn>(library, "chm_close");
    api.resolve = symbol<ChmResolveObjectFn>(library, "chm_resolve_object");
    api.retrieve = symbol<ChmRetrieveObjectFn>(library, "chm_retrieve_object");
    if (!api.open || !api.close || !api.resolve || !api.retrieve)
        return nullptr;
    loadedApis().push_back(std::move(api));
    return &loadedApis().back();
}
} // namespace

bool ChmFile::ensureLibrary() {
    return currentApi() != nullptr;
}

void ChmFile::setLibraryName(const QString& name) {
    librarySetting() = name;
}

QString ChmFile::libraryName() {
    return librarySetting();
}

ChmFile::~ChmFile() {
    close();
}

bool ChmFile::open(const QString& path) {
    close();
    const Api* api = currentApi();
    if (!api)
        return false;
    // chmlib opens whatever it is given and waits on a pipe: only an
    // ordinary file is handed to it.
    if (store::fileKind(path) != store::FileStatus::Ok)
        return false;
    handle_ = api->open(QFile::encodeName(path).constData());
    if (handle_)
        api_ = api;
    return handle_ != nullptr;
}

void ChmFile::close() {
    if (handle_)
        api_->close(handle_);
    handle_ = nullptr;
    api_ = nullptr;
}

std::optional<QByteArray> ChmFile::read(const QString& objectPath) const {
    if (!handle_)
        return std::nullopt;
    QByteArray path = objectPath.toUtf8();
    if (!path.startsWith('/'))
        path.prepend('/');
    if (path.size() > kChmMaxPathLen)
        return std::nullopt;
    ChmUnitInfo info{};
    if (api_->resolve(handle_, path.constData(), &info) != kChmResolveSuccess)
        return std::nullopt;
    if (info.length > kLargestObject)
        return std::nullopt;
    const auto length = static_cast<long long>(info.length);
    QByteArray content(static_cast<qsizetype>(length), Qt::Uninitialized);
    if (length == 0)
        return content;
    const long long got =
        api_->retrieve(handle_, &info, reinterpret_cast<unsigned char*>(content.data()), 0, length);
    if (got != length)
        return std::nullopt;
    return content;
}

} // namespace ui

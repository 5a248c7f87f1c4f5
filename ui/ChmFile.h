#pragma once
// Read access to a compiled help file (.chm) through chmlib, which is loaded
// when first needed rather than linked, so that the program starts and runs
// without it; only the help needs it.

#include <QByteArray>
#include <QString>

#include <optional>

struct chmFile; // chmlib's handle of an open file

namespace ui {

class ChmFile {
public:
    struct Api;

    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // Loads chmlib (once per library name) and resolves the functions this
    // class needs; false when the library or one of them cannot be found.
    static bool ensureLibrary();
    // The library to load: "libchm.so.1" unless a test names another one,
    // for example one that does not exist. Takes effect at the next
    // ensureLibrary().
    static void setLibraryName(const QString& name);
    static QString libraryName();

    // Opens the file at path, closing the one open before; false when the
    // library is missing or the file is missing, unreadable or not a
    // compiled help file.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }

    // The content of the object at objectPath ("/Topic.htm"; a path without
    // the leading slash counts from the root too), or nothing when the file
    // does not hold it or it cannot be read whole.
    std::optional<QByteArray> read(const QString& objectPath) const;

private:
    const Api* api_ = nullptr;
    ::chmFile* handle_ = nullptr;
};

} // namespace ui

#pragma once
// A fresh installation for one test, in a temporary folder: a Kestrel folder
// (kestrel/ with its list folder), a registry file naming it
// (XDG_CONFIG_HOME points at config/), the user's data folder (XDG_DATA_HOME
// points at data/, where the recovery journals go), and the program's state
// reset.
//
// Files are named as tests write them: "index" is VocabularyLists.txt, a
// name ending in ".kte" or holding a "/" is a path in the temporary folder,
// any other name is a list: "Vocab Categories/<name>.txt". Their bytes are
// written as lines, in Windows-1252: lines("cat|dog") is "cat\r\ndog\r\n"; "="
// before the text gives it raw ("=cat\ndog"). Three values make other things than ordinary
// files: "<link>path" a symbolic link to a path in the temporary folder (or an
// absolute one), "<pipe>" a named pipe, "<sparse>" a sparse file of 100 GB.
// "{inode}" in a name is the file's own file number, in base 36.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

using Files = QMap<QString, QByteArray>;

// In an expected set of files: this file must not exist.
inline const QByteArray kGone = QByteArrayLiteral("<gone>");

QByteArray lines(const QString& text);
// Files from pairs of name and lines(): files({"index", "cats", "cats", "tom"}).
Files files(std::initializer_list<QString> namesAndLines);
// base, with the files of more added or put in place of its own.
Files with(Files base, const Files& more);
// The path of a file named as above, in the installation at root.
QString filePath(const QString& root, const QString& name);

class KestrelFixture {
public:
    KestrelFixture();
    ~KestrelFixture();
    KestrelFixture(const KestrelFixture&) = delete;
    KestrelFixture& operator=(const KestrelFixture&) = delete;

    QString root() const { return dir_.path(); }
    QString kestrelFolder() const { return root() + QStringLiteral("/kestrel"); }
    QString listFolder() const { return kestrelFolder() + QStringLiteral("/Vocab Categories"); }
    QString path(const QString& name) const { return filePath(root(), name); }

    // Both programs registered, Kestrel at kestrelFolder(); the list folder made.
    void registerBoth();
    void writeRegistry(const QByteArray& contents);
    // Sets the shared Kestrel folder, as start-up does.
    void useKestrelFolder();

    // Writes each file (kGone removes it).
    void write(const Files& files);
    // Every file of the installation but the registry's (never read whole when
    // not an ordinary file, or a sparse one).
    Files files() const;
    // files() as it must be after a command that changed only changes.
    Files after(const Files& before, const Files& changes) const;

    static void writeFile(const QString& path, const QByteArray& bytes);
    static QByteArray readFile(const QString& path); // kGone when missing

private:
    QTemporaryDir dir_;
    QByteArray oldConfigHome_;
    QByteArray oldConfigDirs_;
    QByteArray oldDataHome_;
};

// The shared state and everything the store holds, as in a fresh process.
void resetProgramState();

// A fault that root cannot bypass: chattr +i / -i; an empty string on success, else the reason.
QString setImmutable(const QString& path, bool immutable);

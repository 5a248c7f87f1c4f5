#pragma once
// A fresh installation for one test: a temporary folder holding a Kestrel
// folder and a registry file (XDG_CONFIG_HOME points at it), the program's
// shared state reset, no window loaded, and the scripted platform installed.

#include "ScriptedPlatform.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class frmMain;
#include <memory>
#include <optional>

class KestrelFixture {
public:
    KestrelFixture();
    ~KestrelFixture();

    QString root() const { return dir_.path(); }
    QString kestrelFolder() const { return root() + QStringLiteral("/kestrel"); }
    QString listFolder() const { return kestrelFolder() + QStringLiteral("/Vocab Categories"); }
    QString indexPath() const { return kestrelFolder() + QStringLiteral("/VocabularyLists.txt"); }
    QString listPath(const QString& name) const {
        return listFolder() + u'/' + name + QStringLiteral(".txt");
    }

    // Writes the registry file: both programs registered, Kestrel at kestrelFolder().
    void registerBoth();
    void writeRegistry(const QByteArray& contents);

    // Makes the Kestrel folder and its list folder.
    void makeFolders();
    // Each line followed by CR LF.
    void writeIndex(const QStringList& names);
    void writeList(const QString& name, const QStringList& words);
    // Sets the shared Kestrel folder without start-up.
    void useKestrelFolder();

    static void writeFile(const QString& path, const QByteArray& bytes);
    static QByteArray readFile(const QString& path);
    static QByteArray crlf(const QStringList& lines);

    ScriptedPlatform& platform() { return *platform_; }

    // Start-up as a user goes through it: registered, the right password,
    // the main window in its state with no list open.
    frmMain& startProgram();
    // startProgram() over three lists: animals (cat, dog), colors (red), fruit (apple).
    frmMain& startWithSampleLists();

    QByteArray indexBytes() const { return readFile(indexPath()); }
    QByteArray listBytes(const QString& name) const { return readFile(listPath(name)); }

private:
    QTemporaryDir dir_;
    QByteArray oldConfigHome_;
    QByteArray oldConfigDirs_;
    std::unique_ptr<ScriptedPlatform> platform_;
};

// Runs f and returns the exit code it ended the program with, or nullopt when
// it returned normally.
std::optional<int> endsProgram(const std::function<void()>& f);

// Fault injection that root cannot bypass. Each reports why it cannot be set
// up (not root, no tmpfs, no chattr), so the test can skip with that reason.
class SmallDisk {
public:
    // Mounts a tmpfs of kilobytes at folder (created if needed).
    SmallDisk(const QString& folder, int kilobytes);
    ~SmallDisk();
    bool ok() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    // Fills the disk until at most kilobytes stay free.
    void fill(int kilobytesLeft);

private:
    QString folder_;
    QString error_;
};

// chattr +i / -i; an empty string on success, else the reason.
QString setImmutable(const QString& path, bool immutable);

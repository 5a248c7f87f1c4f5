#include "KestrelFixture.h"

#include "app/globals.h"
#include "ui/Forms.h"

#include <QDir>
#include <QFile>

namespace {
const QByteArray kRegistryHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray kAppPaths = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                             "App Paths\\";
} // namespace

KestrelFixture::KestrelFixture()
    : oldConfigHome_(qgetenv("XDG_CONFIG_HOME")), oldConfigDirs_(qgetenv("XDG_CONFIG_DIRS")),
      platform_(std::make_unique<ScriptedPlatform>()) {
    ui::Forms::unloadAll();
    globals::ResetState();
    QDir(root()).mkpath(QStringLiteral("config/quillbox"));
    QDir(root()).mkpath(QStringLiteral("system-config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root() + QStringLiteral("/config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root() + QStringLiteral("/system-config")));
}

KestrelFixture::~KestrelFixture() {
    ui::Forms::unloadAll();
    globals::ResetState();
    qputenv("XDG_CONFIG_HOME", oldConfigHome_);
    qputenv("XDG_CONFIG_DIRS", oldConfigDirs_);
}

void KestrelFixture::registerBoth() {
    QByteArray reg = kRegistryHeader;
    reg += "[" + kAppPaths + "Quillbox.exe]\r\n\"PATH\"=\"C:\\\\Program Files\\\\Quillbox\"\r\n\r\n";
    QByteArray folder = QFile::encodeName(kestrelFolder());
    folder.replace("\\", "\\\\").replace("\"", "\\\"");
    reg += "[" + kAppPaths + "kestrel.exe]\r\n\"PATH\"=\"" + folder + "\"\r\n";
    writeRegistry(reg);
}

void KestrelFixture::writeRegistry(const QByteArray& contents) {
    writeFile(root() + QStringLiteral("/config/quillbox/registry.reg"), contents);
}

void KestrelFixture::makeFolders() { QDir().mkpath(listFolder()); }

void KestrelFixture::writeIndex(const QStringList& names) {
    makeFolders();
    writeFile(indexPath(), crlf(names));
}

void KestrelFixture::writeList(const QString& name, const QStringList& words) {
    makeFolders();
    writeFile(listPath(name), crlf(words));
}

void KestrelFixture::useKestrelFolder() { globals::KestrelFolder = kestrelFolder(); }

void KestrelFixture::writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray KestrelFixture::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

QByteArray KestrelFixture::crlf(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += line.toLatin1() + "\r\n";
    return out;
}

std::optional<int> endsProgram(const std::function<void()>& f) {
    try {
        f();
    } catch (const ui::ProgramEnded& ended) {
        return ended.exitCode;
    }
    return std::nullopt;
}

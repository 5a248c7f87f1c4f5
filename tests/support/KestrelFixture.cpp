#include "KestrelFixture.h"

#include "app/frmMain.h"
#include "app/frmPassword.h"
#include "core/globals.h"
#include "ui/Forms.h"

#include <QLineEdit>
#include <QProcess>

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
    globals::resetState();
    QDir(root()).mkpath(QStringLiteral("config/quillbox"));
    QDir(root()).mkpath(QStringLiteral("system-config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root() + QStringLiteral("/config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root() + QStringLiteral("/system-config")));
}

KestrelFixture::~KestrelFixture() {
    ui::Forms::unloadAll();
    globals::resetState();
    qputenv("XDG_CONFIG_HOME", oldConfigHome_);
    qputenv("XDG_CONFIG_DIRS", oldConfigDirs_);
}

void KestrelFixture::registerBoth() {
    QByteArray reg = kRegistryHeader;
    reg +=
        "[" + kAppPaths + "Quillbox.exe]\r\n\"PATH\"=\"C:\\\\Program Files\\\\Quillbox\"\r\n\r\n";
    QByteArray folder = QFile::encodeName(kestrelFolder());
    folder.replace("\\", "\\\\").replace("\"", "\\\"");
    reg += "[" + kAppPaths + "kestrel.exe]\r\n\"PATH\"=\"" + folder + "\"\r\n";
    writeRegistry(reg);
}

void KestrelFixture::writeRegistry(const QByteArray& contents) {
    writeFile(root() + QStringLiteral("/config/quillbox/registry.reg"), contents);
}

void KestrelFixture::makeFolders() {
    QDir().mkpath(listFolder());
}

void KestrelFixture::writeIndex(const QStringList& names) {
    makeFolders();
    writeFile(indexPath(), crlf(names));
}

void KestrelFixture::writeList(const QString& name, const QStringList& words) {
    makeFolders();
    writeFile(listPath(name), crlf(words));
}

void KestrelFixture::useKestrelFolder() {
    globals::KestrelFolder = kestrelFolder();
}

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
    } catch (const core::ProgramEnded& ended) {
        return ended.exitCode;
    }
    return std::nullopt;
}

frmMain& KestrelFixture::startProgram() {
    registerBoth();
    makeFolders();
    platform().play<frmPassword>([](frmPassword& d) {
        d.Text1->setText(QStringLiteral("quorp7"));
        d.cmdOK_Click();
    });
    frmMain& main = ui::Forms::get<frmMain>();
    main.Form_Load();
    return main;
}

frmMain& KestrelFixture::startWithSampleLists() {
    writeIndex({"animals", "colors", "fruit"});
    writeList("animals", {"cat", "dog"});
    writeList("colors", {"red"});
    writeList("fruit", {"apple"});
    return startProgram();
}

namespace {
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000))
        return program + QStringLiteral(" did not run");
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAllStandardError());
    return QString();
}
} // namespace

SmallDisk::SmallDisk(const QString& folder, int kilobytes) : folder_(folder) {
    QDir().mkpath(folder);
    error_ = run(QStringLiteral("mount"),
                 {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                  QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), folder});
}

SmallDisk::~SmallDisk() {
    if (ok())
        run(QStringLiteral("umount"), {folder_});
}

void SmallDisk::fill(int kilobytesLeft) {
    // dd stops with "no space left"; then free what should stay free.
    const QString filler = folder_ + QStringLiteral("/.filler");
    run(QStringLiteral("dd"),
        {QStringLiteral("if=/dev/zero"), QStringLiteral("of=") + filler, QStringLiteral("bs=1k")});
    if (kilobytesLeft > 0)
        run(QStringLiteral("truncate"),
            {QStringLiteral("-s"), QStringLiteral("-%1k").arg(kilobytesLeft), filler});
}

QString setImmutable(const QString& path, bool immutable) {
    return run(QStringLiteral("chattr"),
               {immutable ? QStringLiteral("+i") : QStringLiteral("-i"), path});
}

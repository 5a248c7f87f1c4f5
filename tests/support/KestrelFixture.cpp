#include "KestrelFixture.h"

#include "store/RecoveryJournal.h"
#include "store/codePage.h"

#include "core/globals.h"
#include "store/ListStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <array>

#include <sys/stat.h>

namespace {
// What only POSIX systems have: named pipes, and file numbers in names.
bool makePipe(const QString& path) {
#ifdef _WIN32
    Q_UNUSED(path);
    return false;
#else
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
#endif
}

quint64 fileNumber(const QString& path) {
#ifdef _WIN32
    Q_UNUSED(path);
    return 0;
#else
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
#endif
}

// Text as Kestrel's files hold it, in Windows-1252.
QByteArray codePage(const QString& text) {
    const std::array<char16_t, 256>& table = store::windows1252();
    QByteArray out;
    for (const QChar c : text)
        out += char(std::find(table.begin(), table.end(), c.unicode()) - table.begin());
    return out;
}

// A file whose name holds its own file number in base 36 where path says
// "{inode}": what the program's replacement leaves when it is killed.
void writeNamedAfterInode(const QString& path, const QByteArray& bytes) {
    const QString made = path + QStringLiteral(".new");
    KestrelFixture::writeFile(made, bytes);
    QFile::rename(made, QString(path).replace(QLatin1String("{inode}"),
                                              QString::number(fileNumber(made), 36)));
}

constexpr qint64 kMaxRead = 1 << 30; // a larger file is the sparse one
} // namespace

QByteArray lines(const QString& text) {
    if (text.startsWith(u'='))
        return codePage(text.mid(1));
    QByteArray out;
    if (!text.isEmpty())
        for (const QString& line : text.split(u'|'))
            out += codePage(line) + "\r\n";
    return out;
}

Files files(std::initializer_list<QString> namesAndLines) {
    Files out;
    for (auto it = namesAndLines.begin();
         it != namesAndLines.end() && it + 1 != namesAndLines.end(); it += 2)
        out[*it] = lines(*(it + 1));
    return out;
}

Files with(Files base, const Files& more) {
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        base[it.key()] = it.value();
    return base;
}

void resetProgramState() {
    globals::resetState();
    store::ListStore::instance().reset();
}

KestrelFixture::KestrelFixture()
    : oldConfigHome_(qgetenv("XDG_CONFIG_HOME")), oldConfigDirs_(qgetenv("XDG_CONFIG_DIRS")),
      oldDataHome_(qgetenv("XDG_DATA_HOME")) {
    resetProgramState();
    QDir(root()).mkpath(QStringLiteral("config/quillbox"));
    QDir(root()).mkpath(QStringLiteral("system-config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root() + QStringLiteral("/config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root() + QStringLiteral("/system-config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root() + QStringLiteral("/data")));
}

KestrelFixture::~KestrelFixture() {
    resetProgramState();
    qputenv("XDG_CONFIG_HOME", oldConfigHome_);
    qputenv("XDG_CONFIG_DIRS", oldConfigDirs_);
    qputenv("XDG_DATA_HOME", oldDataHome_);
}

QString filePath(const QString& root, const QString& name) {
    if (name == QLatin1String("index"))
        return root + QStringLiteral("/kestrel/VocabularyLists.txt");
    if (name.endsWith(QLatin1String(".kte")) || name.contains(u'/'))
        return root + u'/' + name;
    return root + QStringLiteral("/kestrel/Vocab Categories/") + name + QStringLiteral(".txt");
}

void KestrelFixture::registerBoth() {
    QByteArray folder = QFile::encodeName(kestrelFolder());
    folder.replace("\\", "\\\\").replace("\"", "\\\"");
    const QByteArray key =
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    writeRegistry("Windows Registry Editor Version 5.00\r\n\r\n" + key +
                  "Quillbox.exe]\r\n\"PATH\"=\"/opt/quillbox\"\r\n\r\n" + key +
                  "kestrel.exe]\r\n\"PATH\"=\"" + folder + "\"\r\n");
    QDir().mkpath(listFolder());
}

void KestrelFixture::writeRegistry(const QByteArray& contents) {
    writeFile(root() + QStringLiteral("/config/quillbox/registry.reg"), contents);
}

void KestrelFixture::useKestrelFolder() {
    globals::KestrelFolder = kestrelFolder();
}

void KestrelFixture::write(const Files& files) {
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString file = path(it.key());
        const QByteArray& value = it.value();
        QFile::remove(file);
        if (value == kGone)
            continue;
        QDir().mkpath(QFileInfo(file).path());
        if (value.startsWith("<link>"))
            QFile::link(value.startsWith("<link>/") ? value.mid(6) : root() + '/' + value.mid(6),
                        file);
        else if (value == "<pipe>")
            makePipe(file);
        else if (file.contains(QLatin1String("{inode}")))
            writeNamedAfterInode(file, value);
        else if (value != "<sparse>")
            writeFile(file, value);
        else if (writeFile(file, {}), !QFile(file).resize(100LL << 30))
            qFatal("cannot make the sparse file %s", qPrintable(file));
    }
}

Files KestrelFixture::files() const {
    Files out;
    const QString lists = listFolder() + u'/';
    QDirIterator it(root(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QString name = file.mid(root().size() + 1);
        const QFileInfo info(file);
        const bool journal =
            name.startsWith(QLatin1String("data/")) && name.endsWith(QLatin1String(".journal"));
        if (journal && info.isFile() && !info.isSymLink() && info.size() <= kMaxRead) {
            // A recovery journal, "journal <list>": its words, or, when it
            // could not be offered, what follows its header.
            const QByteArray bytes = readFile(file);
            const qsizetype list = bytes.indexOf("\nlist ") + 6;
            store::LeftJournal journal;
            out["journal " + QString::fromUtf8(QByteArray::fromPercentEncoding(
                                 bytes.mid(list, bytes.indexOf('\n', list) - list)))] =
                store::RecoveryJournal::read(file, journal) ? journal.text.toUtf8()
                                                            : bytes.mid(bytes.indexOf("\n\n") + 2);
            continue;
        }
        if (!journal && (name.startsWith(QLatin1String("config/")) ||
                         name.startsWith(QLatin1String("system-config/")) ||
                         (name.startsWith(QLatin1String("data/quillbox/journals/")) &&
                          name.endsWith(QLatin1String(".lock")))))
            continue;
        if (name == QLatin1String("kestrel/VocabularyLists.txt"))
            name = QStringLiteral("index");
        else if (file.startsWith(lists) && file.endsWith(QLatin1String(".txt")) &&
                 !file.mid(lists.size()).contains(u'/'))
            name = file.mid(lists.size()).chopped(4);
        QString target = info.symLinkTarget();
        if (target.startsWith(root() + u'/'))
            target = target.mid(root().size() + 1);
        out[name] = info.isSymLink()         ? "<link>" + target.toUtf8()
                    : !info.isFile()         ? QByteArray("<pipe>")
                    : info.size() > kMaxRead ? QByteArray("<sparse>")
                                             : readFile(file);
    }
    return out;
}

Files KestrelFixture::after(const Files& before, const Files& changes) const {
    Files out = with(before, changes);
    out.removeIf([](Files::iterator file) { return file.value() == kGone; });
    return out;
}

void KestrelFixture::writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray KestrelFixture::readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : kGone;
}

QString setImmutable(const QString& path, bool immutable) {
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {immutable ? "+i" : "-i", path});
    if (!chattr.waitForFinished(10000))
        return QStringLiteral("chattr did not run");
    if (chattr.exitStatus() != QProcess::NormalExit || chattr.exitCode() != 0)
        return "chattr: " + QString::fromLocal8Bit(chattr.readAllStandardError());
    return QString();
}

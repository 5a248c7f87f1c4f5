// Reading and replacing files on Windows, through Qt: QSaveFile replaces a
// file atomically, and writes in place where the folder takes no new file.
// Windows has no pipes or devices among ordinary paths, and the program keeps
// no stamps there: every reload reads the files again.
#include "store/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <io.h>
#include <windows.h>

namespace store {

void setUnnamedTemporaries(bool) {}

ReadResult readFile(const QString& path, qint64 limit) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = FileStatus::Missing;
        return result;
    }
    if (!info.isFile()) {
        result.status = FileStatus::NotRegular;
        return result;
    }
    if (info.size() > limit) {
        result.status = FileStatus::TooLarge;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;
    result.bytes = file.read(limit + 1);
    if (result.bytes.size() > limit) {
        result.bytes.clear();
        result.status = FileStatus::TooLarge;
    } else if (file.error() == QFileDevice::NoError) {
        result.status = FileStatus::Ok;
    }
    return result;
}

PathKind pathKind(const QString& path, qint64 limit) {
    const QFileInfo info(path);
    if (info.isSymLink())
        return PathKind::Other;
    if (!info.exists())
        return PathKind::Missing;
    return info.isFile() && info.size() <= limit ? PathKind::Plain : PathKind::Other;
}

FileStatus fileKind(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return FileStatus::Missing;
    return info.isFile() ? FileStatus::Ok : FileStatus::NotRegular;
}

QChar pathSeparator() {
    return u'\\';
}

bool fitsFileSystem(const QString& fileName) {
    constexpr qsizetype kMaxFileNameLength = 255;
    // Device names that Windows reserves, with any extension.
    static const QStringList reserved{
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    const QString base = fileName.section(u'.', 0, 0);
    return fileName.size() <= kMaxFileNameLength && !reserved.contains(base, Qt::CaseInsensitive);
}

struct AtomicFile::Impl {
    Impl(const QString& p, bool own) : file(p), own(own) { file.setDirectWriteFallback(!own); }
    QSaveFile file;
    bool own; // links refused, no writing in place, open after the commit
    bool failed = false;
    QFile added; // own: the file after its commit, for what is added to it
};

AtomicFile::AtomicFile(const QString& path, Links links)
    : d(std::make_unique<Impl>(path, links == Links::Refuse)) {}

AtomicFile::~AtomicFile() = default;

FileStatus AtomicFile::open() {
    const QFileInfo info(d->file.fileName());
    if ((info.exists() && !info.isFile()) || (d->own && info.isSymLink()))
        return FileStatus::NotRegular;
    return d->file.open(QIODevice::WriteOnly) ? FileStatus::Ok : FileStatus::Failed;
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (d->failed || d->file.write(bytes) != bytes.size())
        d->failed = true;
    return !d->failed;
}

bool AtomicFile::commit() {
    if (d->failed || !d->file.commit())
        return false;
    if (d->own) {
        d->added.setFileName(d->file.fileName());
        return d->added.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    return true;
}

bool AtomicFile::append(const QByteArray& bytes) {
    return d->added.isOpen() && d->added.write(bytes) == bytes.size() && d->added.flush() &&
           ::FlushFileBuffers(HANDLE(::_get_osfhandle(d->added.handle())));
}

bool AtomicFile::isAtPath() const {
    return d->added.isOpen(); // Windows removes or replaces no file that is open
}

FileStatus replaceable(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() ? FileStatus::NotRegular : FileStatus::Ok;
}

bool removeFile(const QString& path) {
    QFile file(path);
    if (file.remove())
        return true;
    // A read-only file is deleted all the same.
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    return file.remove() || !QFileInfo::exists(path);
}

// QSaveFile removes its temporary file itself when it fails; none that the
// program could tell for its own is ever left.
void removeLeftoverTemporaryFiles(const QString&) {}

FileStamp stampOf(const QString&) {
    return FileStamp();
}

bool isSettled(const FileStamp&) {
    return false;
}

OpenFolder::OpenFolder() = default;

OpenFolder::~OpenFolder() {
    close();
}

void OpenFolder::close() {
    path_.clear();
    handle_ = -1;
}

bool OpenFolder::list(const QString& folder, const Entry& entry) {
    close();
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    path_ = folder;
    handle_ = 0;
    for (const QFileInfo& file : dir.entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort)) {
        const QByteArray name = file.fileName().toUtf8();
        entry(name.constData(), name.size(), file.isFile());
    }
    return true;
}

ReadResult OpenFolder::read(const QByteArray& name, qint64 limit) const {
    if (handle_ < 0)
        return ReadResult();
    return readFile(QDir(path_).filePath(QString::fromUtf8(name)), limit);
}

} // namespace store

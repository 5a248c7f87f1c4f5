#include "store/IndexLock.h"

#include "store/files.h"

namespace store {

namespace {
// A lock file of QLockFile's holds a few short lines.
constexpr qint64 kLargestLock = 4096;
// A lock older than this was left by a copy that did not finish: a rewrite
// of 10000 names takes well under a second.
constexpr int kStaleMilliseconds = 30000;

// Whether path may be a lock of this program's: nothing, or a small ordinary
// file. Anything else is never opened, so nothing can block on it.
bool mayBeLock(const QString& path) {
    return pathKind(path, kLargestLock) != PathKind::Other;
}

// Whether the folder takes a new file: asked as QLockFile asks before it
// removes a lock that it takes for stale, by making its ".rmlock" beside it.
bool folderTakesNewFiles(const QString& lockPath) {
    const QString probePath = lockPath + QStringLiteral(".rmlock");
    if (!mayBeLock(probePath))
        return false;
    QLockFile probe(probePath);
    return probe.tryLock(0) || probe.error() == QLockFile::LockFailedError;
}
} // namespace

IndexLock::IndexLock(const QString& path) : lock_(path) {
    if (!mayBeLock(path) || !mayBeLock(path + QStringLiteral(".rmlock")))
        return; // not a lock of this program's: left as it is
    lock_.setStaleLockTime(kStaleMilliseconds);
    if (lock_.tryLock(0)) {
        state_ = State::Held;
        return;
    }
    // Another copy holds it, or it was left by one that has gone in a folder
    // that lets nobody remove it: then nobody can take it, and nobody waits.
    if (lock_.error() != QLockFile::LockFailedError || !folderTakesNewFiles(path))
        return;
    if (lock_.tryLock(kWaitMilliseconds))
        state_ = State::Held;
    else if (lock_.error() == QLockFile::LockFailedError)
        state_ = State::Busy;
}

} // namespace store

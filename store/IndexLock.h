#pragma once
// The right to rewrite the index, held by one copy of the program at a time:
// a QLockFile beside the index. Each rewrite reads the index again under it
// and applies only its own change, so that two copies on one folder lose
// nothing.
//
// Taking it never blocks and never spins: a lock left by a copy that has
// gone (another process, another host's, or simply old) is taken over as
// QLockFile does; another copy's lock is waited for at most kWaitMilliseconds,
// asleep; and where no lock can be made (a folder that takes no new file, or
// a lock path that is a folder, a pipe, a device, a link, or a large file: not
// a lock of this program's) the rewrite goes on without one.

#include <QLockFile>
#include <QString>

namespace store {

class IndexLock {
public:
    static constexpr int kWaitMilliseconds = 3000;

    explicit IndexLock(const QString& path);
    IndexLock(const IndexLock&) = delete;
    IndexLock& operator=(const IndexLock&) = delete;

    enum class State { Held, Without, Busy };
    State state() const { return state_; }
    // Another copy of the program held it all the time it was waited for.
    bool busy() const { return state_ == State::Busy; }

private:
    QLockFile lock_;
    State state_ = State::Without;
};

} // namespace store

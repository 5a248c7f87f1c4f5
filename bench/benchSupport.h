#pragma once
// Small timing helpers for the benchmarks: median of repeated runs, and the
// plain durable file operations a minimal program would do, as the floor the
// program's own figures are compared with.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// Median wall time of runs calls of f, in milliseconds; setup runs untimed before each.
inline double medianMs(int runs, const std::function<void()>& f,
                       const std::function<void()>& setup = {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        QElapsedTimer timer;
        timer.start();
        f();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A file written, nothing more.
void plainWrite(const QString& path, const QByteArray& bytes);
// write, fdatasync, rename over the target, fsync of the folder.
bool plainDurableWrite(const QString& path, const QByteArray& bytes);
// unlink and fsync of the folder.
bool plainDurableRemove(const QString& path);
QByteArray plainRead(const QString& path);
// One listing of a folder (readdir, the names collected); the number of entries.
int plainList(const QString& folder);

// The machine, for the record.
void printMachine();

} // namespace bench

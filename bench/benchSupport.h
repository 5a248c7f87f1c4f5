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

// The program's figure and its floor, run in turns (program, floor, program,
// floor...), each run after its setup: the median of the pairs' ratios, and
// the median times of each. Taking the two in turns keeps a change of the
// machine's load from falling on one of them only.
struct Ratio {
    double ratio;
    double programMs;
    double floorMs;
};
inline Ratio medianRatio(int pairs, const std::function<void()>& program,
                         const std::function<void()>& floor,
                         const std::function<void()>& setup = {}) {
    std::vector<double> ratios, programTimes, floorTimes;
    for (int i = 0; i < pairs; ++i) {
        const double p = medianMs(1, program, setup), f = medianMs(1, floor, setup);
        ratios.push_back(p / f);
        programTimes.push_back(p);
        floorTimes.push_back(f);
    }
    const auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return {median(ratios), median(programTimes), median(floorTimes)};
}

// The machine, for the record.
void printMachine();

} // namespace bench

// Clocks and counters the benchmark programs share: processor time of the whole process (every
// thread, so the GL driver's rasteriser threads count too), wall time, and peak memory.
#pragma once

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <vector>

inline long long RealtimeNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

inline double MonotonicSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

inline long PeakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct CpuSample {
    double cpu = 0.0;   // user + system seconds of the process
    double wall = 0.0;  // monotonic seconds

    static CpuSample Now() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        CpuSample s;
        s.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                usage.ru_stime.tv_usec / 1e6;
        s.wall = MonotonicSeconds();
        return s;
    }
    // Processor seconds per wall second since `earlier`; 1.0 is one core fully busy.
    double CpuPerWallSince(const CpuSample& earlier) const {
        const double wall = this->wall - earlier.wall;
        return wall > 0 ? (cpu - earlier.cpu) / wall : 0.0;
    }
};

// How regularly updates came: their rate, the 99th percentile of |interval - period| and how
// many started more than one period after the time the schedule gave them.
struct PacingReport {
    double updatesPerSecond = 0.0;
    double p99DeviationMs = 0.0;
    int late = 0;
    int updates = 0;
};

inline PacingReport AnalysePacing(const std::vector<double>& starts, double period) {
    PacingReport r;
    r.updates = static_cast<int>(starts.size());
    if (starts.size() < 2) return r;
    r.updatesPerSecond = (starts.size() - 1) / (starts.back() - starts.front());
    std::vector<double> deviations;
    deviations.reserve(starts.size());
    // The schedule restarts at a late update, so one stall counts once, not for every update
    // after it.
    double anchor = starts.front();
    int sinceAnchor = 0;
    for (size_t i = 1; i < starts.size(); ++i) {
        deviations.push_back(std::fabs(starts[i] - starts[i - 1] - period));
        ++sinceAnchor;
        const double due = anchor + period * sinceAnchor;
        if (starts[i] - due > period) {
            ++r.late;
            anchor = starts[i];
            sinceAnchor = 0;
        }
    }
    std::sort(deviations.begin(), deviations.end());
    const size_t at = std::min(deviations.size() - 1, deviations.size() * 99 / 100);
    r.p99DeviationMs = deviations[at] * 1000.0;
    return r;
}

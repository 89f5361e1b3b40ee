#pragma once
// The median time of repeated runs of a piece of work, in milliseconds. `settle` runs
// after each piece inside the timing (for example the event loop painting what the
// piece changed).
#include <QElapsedTimer>
#include <algorithm>
#include <vector>

template <typename Work, typename Settle = void (*)()>
double medianMs(
    int runs, Work work, Settle settle = [] {}) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work(run);
        settle();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

#pragma once
// Shared set-up of the travel model tests: the factory travel inputs set directly,
// and a step-by-step trace of a run.
#include "SimModule.h"

#include <vector>

struct StepRecord {
    float t, x, v, a;
    short phase, stopRequest;
    float stopJerk;
    bool correctionEnabled;
};

// The factory travel parameters (the catalogue's defaults) and the default travel.
inline void setFactoryInputs(SimModule& m) {
    m.speedTable = {0.1f, 0.2f, 0.4f, 1.0f, 0.0f};
    m.PA = 0.4f;
    m.NA = 0.5f;
    m.S1 = m.S2 = m.S3 = m.S4 = 0.7f;
    m.VS = 0.05f;
    m.AS = 0.1f;
    m.startHoldTime = 0.3f;
    m.brakeOpenDelay = 0.3f;
    m.brakeCloseDelay = 0.3f;
    m.D = 15.0f;
}

// prepareTravel, then every step of a run while t < D.
inline std::vector<StepRecord> traceRun(SimModule& m) {
    std::vector<StepRecord> trace;
    m.state.phase = TravelPhase::Idle;
    m.prepareTravel();
    while (m.state.t < m.D) {
        m.stepTravel();
        const TravelState& s = m.state;
        trace.push_back(
            {s.t, s.x, s.v, s.a, s.phase, s.stopRequest, s.stopJerk, s.correctionEnabled});
    }
    return trace;
}

// Index of the first record at or after `from` satisfying `pred`, or -1.
template <typename Pred>
int findStep(const std::vector<StepRecord>& trace, Pred pred, int from = 0) {
    for (int i = from; i < int(trace.size()); ++i)
        if (pred(trace[std::size_t(i)]))
            return i;
    return -1;
}

#pragma once
// Shared set-up of the travel model tests: the factory travel inputs set directly,
// a step-by-step trace of a run, and the program's catalogue feeding the model.
#include "DataFiles.h"
#include "LangModule.h"
#include "ParamModule.h"
#include "RecordingPrompts.h"
#include "SimModule.h"

#include <algorithm>
#include <vector>

struct StepRecord {
    float t, x, v, a;
    short phase, stopRequest;
    float stopJerk;
    bool correctionEnabled;
};

// The model with the catalogue's default travel inputs and string controls.
struct Model {
    SimModule m;
    TextStopModeControls controls;

    explicit Model(int stopMode = 1, const QString& slowingCm = QStringLiteral("120"),
                   const QString& stoppingCm = QStringLiteral("5")) {
        m.setControls(&controls);
        m.speedTable = {0.1f, 0.2f, 0.4f, 1.0f, 0.0f};
        m.PA = 0.4f;
        m.NA = 0.5f;
        m.S1 = m.S2 = m.S3 = m.S4 = 0.7f;
        m.VS = 0.05f;
        m.AS = 0.1f;
        m.startHoldTime = m.brakeOpenDelay = m.brakeCloseDelay = 0.3f;
        controls.setStopModeIndex(stopMode);
        controls.setText(StopModeBox::SlowingDistance, slowingCm);
        controls.setText(StopModeBox::StoppingDistance, stoppingCm);
    }

    // prepareTravel, then every step of a run while t < D.
    std::vector<StepRecord> trace() {
        std::vector<StepRecord> steps;
        m.state.phase = TravelPhase::Idle;
        m.prepareTravel();
        while (m.state.t < m.D) {
            m.stepTravel();
            const TravelState& s = m.state;
            steps.push_back(
                {s.t, s.x, s.v, s.a, s.phase, s.stopRequest, s.stopJerk, s.correctionEnabled});
        }
        return steps;
    }
};

// Index of the first record at or after `from` satisfying `pred`, or -1.
template <typename Pred>
int findStep(const std::vector<StepRecord>& trace, Pred pred, int from = 0) {
    for (int i = std::max(from, 0); i < int(trace.size()); ++i)
        if (pred(trace[std::size_t(i)]))
            return i;
    return -1;
}

// The shipped pack (empty: the first in sorted order, as the program loads) and its
// definition file, the defaults through the setter, the model listening.
struct Program {
    RecordingPrompts prompts;
    LangModule lang{binFolder(), prompts};
    ParamModule params{lang, prompts};
    SimModule sim;
    TextStopModeControls controls;

    explicit Program(QString pack = QString()) {
        sim.setControls(&controls);
        if (pack.isEmpty() && lang.FindLanguagePacks(QStringLiteral("t")))
            pack = lang.packs().first().fileName;
        lang.LoadLanguagePack(pack);
        params.LoadParamDefinitions(binFolder());
        params.addListener(&sim);
        params.LoadDefaultParameters();
    }
    float value(const QString& id) const { return params.valueById(id, -99.0f); }
};

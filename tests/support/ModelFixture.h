#pragma once
// Shared set-up of the travel model tests.
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "sim/SimModule.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"

#include <vector>

// The model with the catalogue's default travel inputs set directly.
struct Model {
    SimModule m;
    TextStopModeControls controls;

    explicit Model(int stopMode = 1) {
        m.setControls(&controls);
        TravelInputs in;
        in.speedTable = {0.1f, 0.2f, 0.4f, 1.0f, 0.0f};
        in.PA = 0.4f;
        in.NA = 0.5f;
        // Distinct jerks: a controller that uses one in place of another must show.
        in.S1 = 0.6f;
        in.S2 = 0.7f;
        in.S3 = 0.8f;
        in.S4 = 0.9f;
        in.VS = 0.05f;
        in.AS = 0.1f;
        in.startHoldTime = in.brakeOpenDelay = in.brakeCloseDelay = 0.3f;
        m.setInputs(in);
        controls.setStopModeIndex(stopMode);
        controls.setText(StopModeBox::SlowingDistance, QStringLiteral("120"));
        controls.setText(StopModeBox::StoppingDistance, QStringLiteral("5"));
    }

    // prepareTravel, then the state after every step of a run while t < D.
    std::vector<TravelState> trace() {
        std::vector<TravelState> steps;
        m.prepareTravel();
        while (m.state.t < m.duration()) {
            m.stepTravel();
            steps.push_back(m.state);
        }
        return steps;
    }
};

// Changes some of the model's inputs: `edit` receives them.
template <typename Edit> void editInputs(SimModule& m, Edit edit) {
    TravelInputs in = m.inputs();
    edit(in);
    m.setInputs(in);
}

// Index of the first record at or after `from` whose `field` equals `value`, or -1.
template <typename T>
int findStep(const std::vector<TravelState>& trace, T TravelState::*field, T value, int from = 0) {
    for (int i = from; i < int(trace.size()); ++i)
        if (trace[i].*field == value)
            return i;
    return -1;
}

// The program's start-up: a shipped pack (by default the first in sorted order), its
// definition file, the defaults through the setter, the model listening.
struct Program {
    RecordingPrompts prompts;
    LangModule lang{binFolder()};
    ParamModule params{lang, prompts};
    SimModule sim;
    TextStopModeControls controls;

    explicit Program(QString pack = QString()) {
        sim.setControls(&controls);
        if (pack.isEmpty() && lang.FindLanguagePacks())
            pack = lang.packs().first().fileName;
        lang.LoadLanguagePack(pack);
        params.LoadParamDefinitions(binFolder());
        params.addListener(&sim);
        params.LoadDefaultParameters();
    }
    float value(const QString& id) const { return params.valueById(id, -99.0f); }
};

// A 60 s travel run of the model alone (preparation and jerk fit included, nothing
// drawn): its median time and the steps computed per second.
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/Prompts.h"
#include "platform/StderrPrompts.h"
#include "sim/SimModule.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Keeps the samples from being optimised away without storing them.
class Checksum final : public TravelPlotter {
public:
    void plot(const TravelSample& s) override { sum += double(s.x) + double(s.v); }
    double sum = 0.0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    // The inputs come the way the program gets them: the first shipped language pack,
    // its definition file and the factory set through the setter.
    StderrPrompts prompts;
    LangModule lang(qEnvironmentVariable("LIFTDRIVE_BIN_DIR"));
    if (!lang.FindLanguagePacks())
        return 1;
    lang.LoadLanguagePack(lang.packs().first().fileName);
    ParamModule params(lang, prompts);
    if (!params.LoadParamDefinitions(lang.folder()))
        return 1;
    SimModule sim;
    TextStopModeControls controls;
    sim.setControls(&controls);
    params.addListener(&sim);
    params.LoadDefaultParameters();
    // The program's start: the default travel laid down for 15 s, then 60 s chosen;
    // by distance, so both slowdowns are distance-controlled.
    sim.setDuration(15.0f);
    sim.setDefaultTravel();
    sim.setDuration(60.0f);
    controls.setStopModeIndex(0);
    controls.setText(StopModeBox::SlowingDistance, QStringLiteral("150"));
    controls.setText(StopModeBox::StoppingDistance, QStringLiteral("5"));

    constexpr int runs = 101;
    std::vector<double> millis;
    std::vector<double> stepsPerSecond;
    Checksum checksum;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const RunReport report = sim.simulate(&params, lang, &checksum);
        const double ns = double(timer.nsecsElapsed());
        if (!report.ran)
            return 1;
        millis.push_back(ns / 1e6);
        stepsPerSecond.push_back(double(report.steps) / (ns / 1e9));
    }
    std::printf("BENCH model_60s_ms %.4f ms\n", median(millis));
    std::printf("BENCH model_steps_per_s %.0f steps/s\n", median(stepsPerSecond));
    std::fprintf(stderr, "(checksum %.3f)\n", checksum.sum);
    return 0;
}

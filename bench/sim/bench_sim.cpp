// A 60 s travel run of the model alone (preparation and jerk fit included, nothing
// drawn): its median time and the steps computed per second.
#include "LangModule.h"
#include "Prompts.h"
#include "SimModule.h"
#include "StderrPrompts.h"

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
    StderrPrompts prompts;
    LangModule lang(QString(), prompts);
    SimModule sim;
    TextStopModeControls controls;
    sim.setControls(&controls);
    sim.speedTable = {0.1f, 0.2f, 0.4f, 1.0f, 0.0f};
    sim.PA = 0.4f;
    sim.NA = 0.5f;
    sim.S1 = sim.S2 = sim.S3 = sim.S4 = 0.7f;
    sim.VS = 0.05f;
    sim.AS = 0.1f;
    sim.startHoldTime = sim.brakeOpenDelay = sim.brakeCloseDelay = 0.3f;
    // The program's start: the default travel laid down for 15 s, then 60 s chosen;
    // by distance, so both slowdowns are distance-controlled.
    sim.D = 15.0f;
    sim.setDefaultTravel();
    sim.D = 60.0f;
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
        const RunReport report =
            sim.simulate(nullptr, lang, prompts, QStringLiteral("bench"), &checksum);
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

#include "emulator/CarTravel.h"

#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/StderrPrompts.h"
#include "sim/SimModule.h"

#include <QFileInfo>
#include <cmath>
#include <random>

namespace CarTravel {

namespace {

class Collector final : public TravelPlotter {
public:
    void plot(const TravelSample& s) override { samples << CarSample{s.v, s.a}; }
    QList<CarSample> samples;
};

// Below this the brake holds the car: the lagging speed would only creep towards 0.
constexpr double AtRest = 0.002; // m/s

} // namespace

QList<CarSample> follow(const QList<CarSample>& command, double v0, const Car& car) {
    QList<CarSample> commanded = command;
    if (v0 > 0.0 && car.creep > 0.0) {
        qsizetype last = -1; // the command's last sample at levelling speed
        for (qsizetype k = 0; k < command.size(); ++k)
            if (command[k].v >= 0.999 * v0)
                last = k;
        if (last >= 0)
            commanded.insert(last + 1, qsizetype(std::lround(car.creep / SampleEvery)),
                             CarSample{float(v0), 0.0f});
    }
    const double follows = car.lag > 0.0 ? 1.0 - std::exp(-SampleEvery / car.lag) : 1.0;
    std::mt19937 random(car.seed);
    std::uniform_real_distribution<double> noise(-car.noise, car.noise);
    QList<CarSample> out;
    double v = 0.0;
    for (qsizetype k = 0; k < commanded.size() || v > 0.0; ++k) {
        const double target = k < commanded.size() ? commanded[k].v : 0.0;
        const double before = v;
        v += (target - v) * follows;
        if (target <= 0.0 && v < AtRest)
            v = 0.0;
        const double a = (v - before) / SampleEvery;
        CarSample s{float(v), float(a)};
        if (v > 0.0) {
            s.v = float(std::max(0.0, v + noise(random)));
            // Lifting the load (and the car's share of the counterweight) takes more
            // current than lowering it.
            s.upAmps = float(std::max(1.0, 14.0 + 6.0 * v + 5.0 * a));
            s.downAmps = float(std::max(1.0, 8.0 + 3.0 * v + 5.0 * a));
        }
        out.append(s);
    }
    return out;
}

QList<CarSample> fromModel(const std::array<std::uint16_t, 128>& words, const QString& definitions,
                           const Car& car) {
    StderrPrompts prompts;
    LangModule lang{QFileInfo(definitions).absolutePath()};
    lang.setText(int(TextId::DefinitionFile), QFileInfo(definitions).fileName());
    ParamModule params(lang, prompts);
    if (definitions.isEmpty() || !params.LoadParamDefinitions(lang.folder()))
        return {};
    // Identifiers and scales only: the drive's words are taken as they are.
    for (ParamDef& def : params.ParamCatalogue) {
        def.minValue = -1e9f;
        def.maxValue = 1e9f;
    }
    SimModule sim;
    params.addListener(&sim);
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        if (def.id.isEmpty() || def.scale == 0.0f)
            continue;
        params.SetParameter(k, float(std::int16_t(words[std::size_t(k)])) / def.scale);
    }
    params.removeListener(&sim);
    sim.setDuration(Duration);
    sim.setDefaultTravel();
    Collector collector;
    if (const RunReport run = sim.simulate(&params, lang, &collector); !run.ran) {
        prompts.warning(QStringLiteral("liftdrive-emulator"), run.refusal);
        return {};
    }
    // The model plots every 10th step of 1 ms: one sample every SampleEvery.
    return follow(collector.samples, double(params.valueById(QStringLiteral("V0"))), car);
}

} // namespace CarTravel

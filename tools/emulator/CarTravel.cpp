#include "emulator/CarTravel.h"

#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/StderrPrompts.h"
#include "sim/SimModule.h"

#include <QFileInfo>

namespace CarTravel {

namespace {

class Collector final : public TravelPlotter {
public:
    void plot(const TravelSample& s) override { samples << CarSample{s.v, s.a}; }
    QList<CarSample> samples;
};

} // namespace

QList<CarSample> fromModel(const std::array<std::uint16_t, 128>& words,
                           const QString& definitions) {
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
    sim.D = Duration;
    sim.setDefaultTravel();
    Collector collector;
    if (const RunReport run = sim.simulate(&params, lang, &collector); !run.ran) {
        prompts.warning(QStringLiteral("liftdrive-emulator"), run.refusal);
        return {};
    }
    return collector.samples;
}

} // namespace CarTravel

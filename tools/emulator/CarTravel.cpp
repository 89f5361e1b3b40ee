#include "emulator/CarTravel.h"

#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/NumberText.h"
#include "platform/StderrPrompts.h"
#include "sim/SimModule.h"

#include <QFile>

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
    QFile file(definitions);
    if (definitions.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    StderrPrompts prompts;
    LangModule lang(QString(), prompts);
    ParamModule params(lang, prompts);
    // Identifiers and scales only: the drive's words are taken as they are.
    while (!file.atEnd()) {
        QByteArray line = file.readLine(64 * 1024);
        const int comment = line.indexOf(';');
        if (comment >= 0)
            line.truncate(comment);
        const QList<QByteArray> parts = line.trimmed().split(':');
        if (parts.size() < 10)
            continue;
        bool ok = false;
        const int index = parts[1].trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= ParamModule::Count)
            continue;
        ParamDef& def = params.ParamCatalogue[std::size_t(index)];
        def.id = QString::fromLatin1(parts[3].trimmed());
        def.scale = float(NumberText::leadingNumber(QString::fromLatin1(parts[8])));
        def.minValue = -1e9f;
        def.maxValue = 1e9f;
    }
    SimModule sim;
    params.addListener(&sim);
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        if (def.id.isEmpty() || def.scale == 0.0f)
            continue;
        const int w = words[std::size_t(k)];
        params.SetParameter(k, float(w >= 32768 ? w - 65536 : w) / def.scale);
    }
    params.removeListener(&sim);
    sim.D = Duration;
    sim.setDefaultTravel();
    Collector collector;
    if (!sim.simulate(&params, lang, prompts, QStringLiteral("liftdrive-emulator"), &collector).ran)
        return {};
    return collector.samples;
}

} // namespace CarTravel

// The model's connections to the rest of the program: inputs from the parameter
// catalogue, the checked run that `simulate` draws, and the stop-mode handler.
#include "sim/SimModule.h"

#include "lang/LangModule.h"
#include "platform/NumberText.h"

#include <cmath>

namespace {

// Captions of the four stop-mode boxes (their labels' text indexes).
QString boxCaption(const LangModule& lang, StopModeBox box) {
    switch (box) {
    case StopModeBox::SlowingDistance:
        return lang.LangText(TextId::SlowingDistance);
    case StopModeBox::StoppingDistance:
        return lang.LangText(TextId::StoppingDistance);
    case StopModeBox::SlowingS:
        return lang.LangText(TextId::SlowingJerk);
    case StopModeBox::StoppingS:
        return lang.LangText(TextId::StoppingJerk);
    }
    return QString();
}

QString mustNotBeZero(const LangModule& lang, const QString& what) {
    return lang.LangText(TextId::SimZeroInput).arg(what);
}

QString holdsNoNumber(const LangModule& lang, StopModeBox box) {
    return lang.LangText(TextId::SimBoxNotNumber).arg(boxCaption(lang, box));
}

// The duration selector's label, without a trailing colon.
QString durationName(const LangModule& lang) {
    QString name = lang.LangText(TextId::Duration).trimmed();
    while (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

// Inputs the catalogue sets as they change. The first six (accelerations and jerks)
// are also reloaded at every run, with the speeds.
struct CatalogueInput {
    const char16_t* id;
    float TravelInputs::*member;
};
const CatalogueInput kInputs[] = {
    {u"PA", &TravelInputs::PA},
    {u"NA", &TravelInputs::NA},
    {u"S1", &TravelInputs::S1},
    {u"S2", &TravelInputs::S2},
    {u"S3", &TravelInputs::S3},
    {u"S4", &TravelInputs::S4},
    {u"VS", &TravelInputs::VS},
    {u"AS", &TravelInputs::AS},
    {u"par_tsu", &TravelInputs::startHoldTime},
    {u"mb_on", &TravelInputs::brakeOpenDelay},
    {u"mb_off", &TravelInputs::brakeCloseDelay},
};
constexpr int kReloadedInputs = 6;

// The stop distances typed by distance and the catalogue entries that hold them.
struct DistanceBox {
    StopModeBox box;
    const char16_t* id;
};
const DistanceBox kDistanceBoxes[] = {{StopModeBox::SlowingDistance, u"slwd"},
                                      {StopModeBox::StoppingDistance, u"stpd"}};

} // namespace

TravelInputs SimModule::loadTravelParameters(const ParamModule& params) const {
    TravelInputs in = m_inputs;
    for (int i = 0; i < kReloadedInputs; ++i)
        in.*kInputs[i].member =
            params.valueById(QString::fromUtf16(kInputs[i].id), in.*kInputs[i].member);
    for (int k = 0; k < 4; ++k)
        in.speedTable[std::size_t(k)] =
            params.valueById(QStringLiteral("V%1").arg(k), in.speedTable[std::size_t(k)]);
    in.speedTable[4] = 0.0f;
    return in;
}

void SimModule::takeTravelParameters(const ParamModule& params) {
    m_inputs = loadTravelParameters(params);
    state.stopJerk = m_inputs.S2;
}

void SimModule::parameterStored(int, const ParamDef& def, float value) {
    const QString& id = def.id;
    for (const CatalogueInput& input : kInputs) {
        if (id == input.id) {
            m_inputs.*input.member = value;
            return;
        }
    }
    if (id == u"stpmod")
        m_controls->setStopModeIndex(int(NumberText::roundHalfEven(value)));
    else if (id == u"slwd")
        m_controls->setText(StopModeBox::SlowingDistance, NumberText::general(value));
    else if (id == u"stpd")
        m_controls->setText(StopModeBox::StoppingDistance, NumberText::general(value));
}

QString SimModule::refusal(const LangModule& lang, bool prepared) const {
    if (m_inputs.S2 == 0.0f)
        return mustNotBeZero(lang, QStringLiteral("S2"));
    if (m_inputs.S3 == 0.0f)
        return mustNotBeZero(lang, QStringLiteral("S3"));
    if (m_inputs.S4 == 0.0f)
        return mustNotBeZero(lang, QStringLiteral("S4"));
    if (m_inputs.NA == 0.0f)
        return mustNotBeZero(lang, QStringLiteral("NA"));
    if (D == 0.0f)
        return mustNotBeZero(lang, durationName(lang));
    if (m_controls->stopModeIndex() == 0) {
        for (StopModeBox box : {StopModeBox::SlowingDistance, StopModeBox::StoppingDistance})
            if (!boxNumber(box, nullptr))
                return holdsNoNumber(lang, box);
    }
    if (prepared) {
        for (StopModeBox box : {StopModeBox::SlowingS, StopModeBox::StoppingS}) {
            float jerk = 0.0f;
            if (!boxNumber(box, &jerk))
                return holdsNoNumber(lang, box);
            if (jerk == 0.0f)
                return mustNotBeZero(lang, boxCaption(lang, box));
        }
    }
    return QString();
}

RunReport SimModule::simulate(const ParamModule* params, const LangModule& lang,
                              TravelPlotter* plotter) {
    RunReport report;
    state.phase = TravelPhase::Idle;
    if (params)
        takeTravelParameters(*params);
    report.refusal = refusal(lang, false);
    if (report.refusal.isEmpty()) {
        prepareTravel();
        report.refusal = refusal(lang, true);
    }
    if (!report.refusal.isEmpty())
        return report;

    report.ran = true;
    if (plotter)
        plotter->runStarting();
    // 64 bits: a 16-bit count would overflow from 32.768 s on.
    std::int64_t step = 0;
    while (state.t < D) {
        const float before = state.t;
        stepTravel();
        if (step % 10 == 0) {
            ++report.samples;
            if (plotter)
                plotter->plot(TravelSample{state.t, state.x, state.v, state.a, state.phase,
                                           state.stopRequest});
        }
        ++step;
        // Far beyond any offered duration 1 ms no longer moves a single-precision
        // time; end the run instead of stepping for ever.
        if (!(state.t > before))
            break;
    }
    report.steps = step;
    return report;
}

void SimModule::stopModeChanged(ParamModule& params, SimulationHost& host) {
    const int mode = m_controls->stopModeIndex();
    params.setById(QStringLiteral("stpmod"), float(mode));
    m_controls->setDistancesEnabled(mode == 0);
    // Typed distances are the run's inputs only by distance, and then only once the
    // catalogue took them; otherwise the run computes them and they are stored after.
    if (mode == 0)
        storeDistances(params);
    if (host.readyToSimulate()) {
        prepareTravel();
        host.simulate();
    }
    if (mode != 0)
        storeDistances(params);
}

void SimModule::storeDistances(ParamModule& params) {
    for (const DistanceBox& b : kDistanceBoxes) {
        const QString id = QString::fromUtf16(b.id);
        // Read as typed numbers are (first comma taken as the decimal point): the boxes
        // show the catalogue's values in the locale's format, and a decimal comma must
        // not cut a distance down to its whole part on the way back.
        if (!params.setById(id, NumberText::typedValue(m_controls->text(b.box))))
            m_controls->setText(b.box, NumberText::general(params.valueById(id, 0.0f)));
    }
}

float SimModule::shortestDistance(StopModeBox box) const {
    if (!divisorsUsable())
        return 0.0f;
    return box == StopModeBox::SlowingDistance
               ? decelDistance(m_inputs.speedTable[0], m_inputs.speedTable[3])
               : decelDistance(0.0f, m_inputs.speedTable[0]);
}

std::vector<DistanceRefusal> SimModule::refusedDistances(const ParamModule& params) {
    std::vector<DistanceRefusal> refused;
    if (m_controls->stopModeIndex() != 0)
        return refused;
    takeTravelParameters(params);
    for (const DistanceBox& b : kDistanceBoxes) {
        const float stored = params.valueById(QString::fromUtf16(b.id), 0.0f);
        float typed = 0.0f;
        if (!boxNumber(b.box, &typed)) {
            refused.push_back({b.box, stored, std::nanf("")});
            continue;
        }
        // Only what the user changed is judged: a value the catalogue holds came from
        // a file or the drive and is run as it is.
        if (typed == stored)
            continue;
        // Whole centimetres, as the stop mode by speed and acceleration shows them.
        const float shortest = float(std::trunc(double(shortestDistance(b.box)) * 100.0));
        if (typed < shortest)
            refused.push_back({b.box, stored, shortest});
    }
    return refused;
}

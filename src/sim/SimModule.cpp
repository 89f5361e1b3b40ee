#include "sim/SimModule.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double dt = double(SimModule::Dt);

// The predictor's count wraps at a multiple of 50 below 2^32, so it stays a 32-bit
// count without ever breaking the every-50th-call cadence.
constexpr std::uint32_t kPredictorWrap = 4294967250u;
static_assert(kPredictorWrap % SimModule::PredictEvery == 0);

float clampJerk(float J) {
    if (J > SimModule::MaxJerk)
        return SimModule::MaxJerk;
    if (J < SimModule::MinJerk)
        return SimModule::MinJerk;
    return J;
}

// The adaptation factor shrinks towards 1 at every change of direction.
float shrink(float f) {
    return float((double(f) - 1.0) * 0.7 + 1.0);
}

} // namespace

SimModule::SimModule() : m_signalTable(std::size_t(SignalSamples), SignalSample{}) {}

void SimModule::setControls(StopModeControls* controls) {
    m_controls = controls ? controls : &m_ownControls;
}

// ---------------------------------------------------------------------------------
// The model

short SimModule::commandAt(float t) const {
    float n = float(double(t) / (double(D) * 0.001));
    if (!(n >= 0.0f)) // negative, or no number at all
        n = 0.0f;
    const double whole = std::nearbyint(double(n));
    const std::size_t index =
        whole > double(SignalSamples - 1) ? std::size_t(SignalSamples - 1) : std::size_t(whole);
    const SignalSample& sample = m_signalTable[index];
    for (short k = 3; k >= 0; --k)
        if (sample[std::size_t(k)] != 0)
            return k;
    return NoCommand;
}

float SimModule::decelDistance(float vLow, float vHigh) const {
    if (!(vHigh > vLow))
        return 0.0f;
    const float NA = m_inputs.NA, S3 = m_inputs.S3, S4 = m_inputs.S4;
    const float dv = float(double(vHigh) - double(vLow));
    float A = NA;
    // A negative constant part means the deceleration never reaches NA.
    const bool reduced =
        double(NA) / S3 > double(dv) / NA + double(NA) / (2.0 * S3) - double(NA) / (2.0 * S4);
    if (reduced)
        A = float(std::sqrt(2.0 * dv * S3 * S4 / (double(S3) + double(S4))));
    const float t1 = float(double(A) / S3);
    const float t3 = float(double(A) / S4);
    const float t2 =
        reduced ? 0.0f
                : float((double(dv) - double(A) * A / (2.0 * S3) - double(A) * A / (2.0 * S4)) / A);
    const float u1 = float(double(vHigh) - double(A) * A / (2.0 * S3));
    const float u2 = float(double(u1) - double(A) * t2);
    return float((double(vHigh) * t1 - double(S3) * t1 * t1 * t1 / 6.0) +
                 (double(u1) * t2 - double(A) * t2 * t2 / 2.0) +
                 (double(u2) * t3 - double(A) * t3 * t3 / 2.0 + double(S4) * t3 * t3 * t3 / 6.0));
}

void SimModule::predictStopEnd() {
    TravelState& s = state;
    s.predictorCalls = s.predictorCalls == kPredictorWrap - 1 ? 0u : s.predictorCalls + 1u;
    if (s.predictorCalls % PredictEvery != 0 || !s.snapshotValid)
        return;
    const PredictorSnapshot& p = s.snapshot;
    if (!(p.endSpeed < p.speed))
        return;
    const double X = p.position, U = p.speed, Q = p.acceleration, E = p.endSpeed, J = p.jerk;
    const float b = float(-2.0 * Q / J);
    const float c = float((2.0 * J * (E - U) + Q * Q) / (2.0 * J * J));
    // Time for which the deceleration keeps building so that releasing it at the same
    // jerk brings the speed to E just when the acceleration reaches 0.
    const float t1 = float((-double(b) + std::sqrt(std::fabs(double(b) * b - 4.0 * c))) / 2.0);
    const double T1 = t1;
    const float q1 = float(Q - J * T1);
    const float u1 = float(U + Q * T1 - J * T1 * T1 / 2.0);
    const float x1 = float(X + U * T1 + Q * T1 * T1 / 2.0 - J * T1 * T1 * T1 / 6.0);
    const float tau = float(T1 - Q / J);
    const double T = tau;
    s.predictedEnd =
        float(double(x1) + double(u1) * T + double(q1) * T * T / 2.0 + J * T * T * T / 6.0);
    s.predictionReady = true;
}

float SimModule::rampSpeedChange(float a, float J) {
    const float magnitude = std::fabs(a);
    const float time = float(double(magnitude) / J);
    return float(double(magnitude) * time / 2.0);
}

short SimModule::travelControl() {
    TravelState& s = state;
    s.previousCommand = s.command;
    s.command = commandAt(s.t);
    const float target = m_inputs.speedTable[std::size_t(s.command)];

    const bool highSpeedEnded = s.previousCommand == 3 && s.command == 0;
    if (m_controls->stopModeIndex() == 1) {
        // By speed and acceleration the S-curve slows from V3; only a V3 signal that
        // ends during the acceleration needs the distance control.
        if (highSpeedEnded && s.v < m_inputs.speedTable[3] && s.a > 0.0f) {
            s.stopRequest = 1;
            return TravelPhase::Slowdown;
        }
    } else if (highSpeedEnded) {
        s.stopRequest = 1;
        return TravelPhase::Slowdown;
    }
    if (s.v == m_inputs.speedTable[0] && s.previousCommand == 0 && s.command == NoCommand) {
        s.stopRequest = 2;
        return TravelPhase::Slowdown;
    }

    if (std::fabs(double(target) - s.v) < 0.001 && std::fabs(double(s.a)) < 0.001) {
        s.a = 0.0f;
        s.v = target;
        s.appliedJerk = 0.0f;
        return TravelPhase::Travel;
    }

    // The jerk decided in the previous step is integrated now.
    s.a = float(double(s.a) + double(s.appliedJerk) * dt);
    if (target > s.v) {
        if (s.a < 0.0f)
            s.appliedJerk = m_inputs.S4;
        else if (double(target) - s.v <= rampSpeedChange(s.a, m_inputs.S2))
            s.appliedJerk = -m_inputs.S2;
        else if (s.a < m_inputs.PA)
            s.appliedJerk = m_inputs.S1;
        else
            s.appliedJerk = 0.0f;
    } else if (target < s.v) {
        if (s.a > 0.0f)
            s.appliedJerk = -m_inputs.S2;
        else if (double(s.v) - target < rampSpeedChange(s.a, m_inputs.S4))
            s.appliedJerk = m_inputs.S4;
        else if (s.a > -m_inputs.NA)
            s.appliedJerk = -m_inputs.S3;
        else
            s.appliedJerk = 0.0f;
    }
    return TravelPhase::Travel;
}

JerkFit SimModule::fitJerk(float startSpeed, float endSpeed, float target,
                           std::vector<FitStep>* trace) {
    JerkFit result;
    result.jerk = m_inputs.S2;
    // The predictor never delivers for such a slowdown; the search could not end.
    if (!(endSpeed < startSpeed))
        return result;

    TravelState& s = state;
    float J = m_inputs.S2;
    float f = 2.0f;
    bool up = false;
    int evaluations = 0;
    bool done = false;
    // Only a prediction made in this search, for its current jerk, counts.
    s.predictionReady = false;
    const auto predict = [&] {
        s.snapshot = PredictorSnapshot{0.0f, startSpeed, 0.0f, endSpeed, J};
        s.snapshotValid = true;
        predictStopEnd();
    };
    predict();
    do {
        if (s.predictionReady) {
            s.predictionReady = false;
            const float P = s.predictedEnd;
            if (trace)
                trace->push_back({J, P});
            ++evaluations;
            if (std::fabs(double(P) - target) < 0.001) {
                done = true;
            } else {
                if (P > target) {
                    // Too long: the jerk is too low.
                    J = float(double(J) * f);
                    if (!up) {
                        f = shrink(f);
                        up = true;
                    }
                } else {
                    if (up) {
                        f = shrink(f);
                        up = false;
                    }
                    J = float(double(J) / f);
                }
                J = clampJerk(J);
            }
        }
        predict();
    } while (!done && evaluations < MaxFitEvaluations);

    result.jerk = J;
    result.evaluations = evaluations;
    result.converged = done;
    return result;
}

void SimModule::fitStopJerks() {
    StopModeControls& c = *m_controls;
    if (c.stopModeIndex() == 0) {
        decelTable[3][0] = float(double(boxNumberOr(StopModeBox::SlowingDistance, 0.0f)) / 100.0);
        decelTable[0][4] = float(double(boxNumberOr(StopModeBox::StoppingDistance, 0.0f)) / 100.0);
    } else {
        // Shown in whole centimetres, rounded down.
        const auto centimetres = [](float metres) {
            return NumberText::general(float(std::trunc(double(metres) * 100.0)));
        };
        c.setText(StopModeBox::SlowingDistance, centimetres(decelTable[3][0]));
        c.setText(StopModeBox::StoppingDistance, centimetres(decelTable[0][4]));
    }
    // The targets are what the boxes show, so in mode 1 the whole centimetres.
    const float slowingTarget =
        float(double(boxNumberOr(StopModeBox::SlowingDistance, 0.0f)) / 100.0);
    const float stoppingTarget =
        float(double(boxNumberOr(StopModeBox::StoppingDistance, 0.0f)) / 100.0);

    slowingFit = fitJerk(m_inputs.speedTable[3], m_inputs.speedTable[0], slowingTarget);
    stoppingFit = fitJerk(m_inputs.speedTable[0], m_inputs.speedTable[4], stoppingTarget);
    slowingJerk = slowingFit.jerk;
    stoppingJerk = stoppingFit.jerk;
    c.setText(StopModeBox::SlowingS, jerkText(slowingJerk));
    c.setText(StopModeBox::StoppingS, jerkText(stoppingJerk));
}

void SimModule::resetState() {
    TravelState& s = state;
    const std::uint32_t calls = s.predictorCalls;
    s = TravelState{};
    s.predictorCalls = calls;
    s.stopJerk = m_inputs.S2;
    // A run does not depend on where the previous one ended.
    s.startCommand = NoCommand;
    s.command = NoCommand;
    s.previousCommand = NoCommand;
}

bool SimModule::divisorsUsable() const {
    return m_inputs.S2 != 0.0f && m_inputs.S3 != 0.0f && m_inputs.S4 != 0.0f && m_inputs.NA != 0.0f;
}

void SimModule::prepareTravel() {
    resetState();
    // Inputs that divide by zero leave the tables and boxes as they were; a run
    // refuses them with a message.
    if (divisorsUsable()) {
        for (std::size_t i = 0; i < 5; ++i)
            for (std::size_t j = 0; j < 5; ++j)
                decelTable[i][j] =
                    m_inputs.speedTable[i] > m_inputs.speedTable[j]
                        ? decelDistance(m_inputs.speedTable[j], m_inputs.speedTable[i])
                        : 0.0f;
        fitStopJerks();
    }
    state.phase = TravelPhase::Idle;
    state.stopRequest = 0;
    state.snapshotValid = false;
    state.predictionReady = false;
}

void SimModule::stepTravel() {
    using namespace TravelPhase;
    TravelState& s = state;
    s.phaseTimer = float(double(s.phaseTimer) + dt);
    s.v = float(double(s.v) + double(s.a) * dt);
    s.x = float(double(s.x) + double(s.v) * dt); // with the new speed

    if (s.stopRequest == 0)
        s.startCommand = commandAt(s.t);
    const float startSpeed = m_inputs.speedTable[std::size_t(s.startCommand)];
    const bool noCommand = s.startCommand == NoCommand;

    switch (s.phase) {
    case Idle:
        s.a = 0.0f;
        s.v = 0.0f;
        s.x = 0.0f;
        s.phaseTimer = 0.0f;
        if (!noCommand) {
            s.phaseTimer = 0.0f;
            s.phase = Release;
        }
        break;
    case Release:
        s.phaseTimer = 0.0f;
        s.phase = BrakeOpening;
        break;
    case BrakeOpening:
        if (s.phaseTimer < m_inputs.brakeOpenDelay) {
            if (noCommand)
                s.phase = Idle;
        } else {
            s.phaseTimer = 0.0f;
            s.phase = StartRamp;
        }
        break;
    case StartRamp:
        s.a = m_inputs.AS;
        if (s.v < m_inputs.VS) {
            if (noCommand)
                s.phase = Travel;
        } else {
            s.v = m_inputs.VS;
            s.a = 0.0f;
            s.phaseTimer = 0.0f;
            s.phase = StartHold;
        }
        break;
    case StartHold:
        if (s.phaseTimer >= m_inputs.startHoldTime || noCommand)
            s.phase = Travel;
        break;
    case Travel:
        if (s.a == 0.0f && noCommand && s.v < 0.0001f) {
            s.v = 0.0f;
            s.phaseTimer = 0.0f;
            s.phase = BrakeClosing;
        } else {
            s.phase = travelControl();
        }
        break;
    case BrakeClosing:
        if (s.phaseTimer >= m_inputs.brakeCloseDelay)
            s.phase = Idle;
        break;
    case Slowdown: {
        const bool slowing = s.stopRequest == 1;
        s.stopTarget = float(double(s.x) + (slowing ? decelTable[3][0] : decelTable[0][4]));
        // The run uses the rounded jerk that the box shows.
        const StopModeBox box = slowing ? StopModeBox::SlowingS : StopModeBox::StoppingS;
        s.stopJerk = boxNumberOr(box, shownJerk(slowing ? slowingJerk : stoppingJerk));
        s.correctionEnabled =
            slowing ? !(s.v == m_inputs.speedTable[3]) : !(s.v == m_inputs.speedTable[0]);
        s.adaptFactor = 2.0f;
        s.raisedLast = false;
        s.predictionReady = false;
        // A snapshot left from an earlier slowdown must not yield this one's first
        // prediction.
        s.snapshotValid = false;
        s.phase = DecelIn;
        break;
    }
    case DecelIn: {
        s.a = float(double(s.a) - double(s.stopJerk) * dt);
        s.appliedJerk = -s.stopJerk;
        predictStopEnd();
        s.snapshot = PredictorSnapshot{s.x, s.v, s.a, startSpeed, s.stopJerk};
        s.snapshotValid = true;
        if (s.correctionEnabled && s.predictionReady) {
            s.predictionReady = false;
            s.lastPrediction = s.predictedEnd;
            const float P = s.lastPrediction;
            if (std::fabs(double(P) - s.stopTarget) < 0.001) {
                s.correctionEnabled = false;
            } else {
                if (P > s.stopTarget) {
                    if (!s.raisedLast) {
                        s.raisedLast = true;
                        s.adaptFactor = shrink(s.adaptFactor);
                    }
                    s.stopJerk = float(double(s.stopJerk) * s.adaptFactor);
                } else {
                    if (s.raisedLast) {
                        s.raisedLast = false;
                        s.adaptFactor = shrink(s.adaptFactor);
                    }
                    s.stopJerk = float(double(s.stopJerk) / s.adaptFactor);
                }
                s.stopJerk = clampJerk(s.stopJerk);
            }
        }
        const float E = s.stopRequest == 1 ? m_inputs.speedTable[0] : 0.0f;
        if (double(E) + double(s.a) * s.a / (2.0 * s.stopJerk) >= s.v && s.a < 0.0f) {
            s.phase = DecelOut;
        } else if (s.v <= startSpeed) {
            // The speed already reached the end speed.
            s.phase = Travel;
            s.stopRequest = 0;
        }
        break;
    }
    case DecelOut: {
        const float E = s.stopRequest == 1 ? m_inputs.speedTable[0] : 0.0f;
        if (s.v > E && s.a <= 0.0f) {
            s.appliedJerk = s.stopJerk;
            s.a = float(double(s.a) + double(s.stopJerk) * dt);
        } else {
            // The speed is not snapped here: the Travel controller does that.
            s.a = 0.0f;
            s.appliedJerk = 0.0f;
            s.stopJerk = 0.0f;
            s.phase = Travel;
            s.stopRequest = 0;
        }
        break;
    }
    default:
        break;
    }
    s.t = float(double(s.t) + dt);
}

// ---------------------------------------------------------------------------------
// Signals

void SimModule::clearSignals() {
    std::fill(m_signalTable.begin(), m_signalTable.end(), SignalSample{});
}

void SimModule::addSignal(int lane, float from, float to) {
    if (lane < 0 || lane > 3)
        return;
    for (float t = from; t < to;) {
        const double n = std::nearbyint(double(t) / (double(D) * 0.001));
        if (n > double(SignalSamples - 1) || std::isnan(n))
            break; // later times lie further beyond the table
        if (n >= 0.0)
            m_signalTable[std::size_t(n)][std::size_t(lane)] = 1;
        const float next = float(double(t) + 0.01);
        if (!(next > t))
            break;
        t = next;
    }
}

void SimModule::setDefaultTravel() {
    addSignal(0, 1.0f, 13.0f);
    addSignal(3, 1.0f, 9.0f);
}

void SimModule::setSignal(int lane, int first, int last, bool on) {
    if (lane < 0 || lane > 3)
        return;
    first = std::max(first, 0);
    last = std::min(last, SignalSamples - 1);
    for (int n = first; n <= last; ++n)
        m_signalTable[std::size_t(n)][std::size_t(lane)] = on ? 1 : 0;
}

int SimModule::firstCommandSample() const {
    // Samples past 1000 lie beyond the run.
    for (int n = 0; n <= 1000; ++n)
        for (int lane = 0; lane < 4; ++lane)
            if (m_signalTable[std::size_t(n)][std::size_t(lane)] != 0)
                return n;
    return -1;
}

void SimModule::matchCommands(double start, double highSpeedEnd, double lowSpeedEnd) {
    keepSignalsForUndo();
    clearSignals();
    const float per = D / 1000.0f;
    const auto sample = [per](double t) { return int(std::lround(t / per)); };
    setSignal(3, sample(start), sample(highSpeedEnd), true);
    setSignal(0, sample(start), sample(lowSpeedEnd), true);
}

void SimModule::keepSignalsForUndo() {
    constexpr std::size_t kept = 20;
    if (m_signalUndo.size() == kept)
        m_signalUndo.erase(m_signalUndo.begin());
    m_signalUndo.push_back(m_signalTable);
}

void SimModule::undoSignals() {
    if (m_signalUndo.empty())
        return;
    m_signalTable = std::move(m_signalUndo.back());
    m_signalUndo.pop_back();
}

// ---------------------------------------------------------------------------------
// Stop-mode boxes

bool SimModule::boxNumber(StopModeBox box, float* value) const {
    const QString text = m_controls->text(box);
    double number = 0.0;
    bool found = NumberText::parseLocale(text, &number);
    if (!found)
        number = NumberText::leadingNumber(text, &found);
    if (!found || !std::isfinite(number))
        return false;
    if (value)
        *value = float(number);
    return true;
}

float SimModule::boxNumberOr(StopModeBox box, float fallback) const {
    float value = fallback;
    return boxNumber(box, &value) ? value : fallback;
}

float SimModule::shownJerk(float J) {
    return float(double(NumberText::roundHalfEven(double(J) * 10000.0)) / 10000.0);
}

QString SimModule::jerkText(float J) {
    return NumberText::general(shownJerk(J));
}

#pragma once
// The travel profile model: one lift car run through brake release, start, S-curve
// travel, distance-controlled slowing and stopping and brake closing, in steps of
// 1 ms, commanded by the signal timeline.
//
// Every model quantity is a single-precision float and every assignment rounds to
// single precision; arithmetic inside one expression is done in double. The library
// is compiled without floating-point contraction so that no fused multiply-add moves
// a result, and runs are reproducible bit for bit.
#include "params/ParamModule.h"
#include "sim/StopModeControls.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class LangModule;

namespace TravelPhase {
constexpr short Slowdown = 8;      // one step: set up a distance-controlled slowdown
constexpr short DecelIn = 9;       // deceleration builds up, with on-line correction
constexpr short DecelOut = 10;     // deceleration is released
constexpr short Idle = 11;         // car at rest, position held at 0
constexpr short Release = 12;      // one step between Idle and BrakeOpening
constexpr short BrakeOpening = 13; // waits "mb_on"
constexpr short BrakeClosing = 14; // waits "mb_off" after standstill
constexpr short StartRamp = 15;    // accelerates at AS up to VS
constexpr short StartHold = 16;    // holds VS for "par_tsu"
constexpr short Travel = 17;       // S-curve speed control
} // namespace TravelPhase

// Speed command indexes: 0..3 select V0..V3, 4 means no command (standstill).
constexpr short NoCommand = 4;

struct PredictorSnapshot {
    float position = 0.0f;
    float speed = 0.0f;
    float acceleration = 0.0f;
    float endSpeed = 0.0f;
    float jerk = 0.0f;
};

struct TravelState {
    float t = 0.0f; // s
    float x = 0.0f; // m, from the start of the current travel
    float v = 0.0f; // m/s
    float a = 0.0f; // m/s²
    float appliedJerk = 0.0f;
    float stopJerk = 0.0f;
    short phase = 0;
    short stopRequest = 0; // 0 none, 1 slowing to V0, 2 stopping
    float stopTarget = 0.0f;
    float phaseTimer = 0.0f;
    short startCommand = 0;
    short command = 0;
    short previousCommand = 0;

    // Correction of the slowdown in progress.
    bool correctionEnabled = false;
    float lastPrediction = 0.0f;
    float adaptFactor = 0.0f;
    bool raisedLast = false; // the last correction raised the jerk

    // Predictor. The call count is never reset, so its 50-call cadence runs on
    // across fits and runs.
    std::uint32_t predictorCalls = 0;
    PredictorSnapshot snapshot;
    bool snapshotValid = false;
    float predictedEnd = 0.0f;
    bool predictionReady = false;
};

// One plotted point of a run: the state after a step.
struct TravelSample {
    float t;
    float x;
    float v;
    float a;
    short phase;
    short stopRequest;
};

// Result of one jerk search of the fit.
struct JerkFit {
    float jerk = 0.0f;
    int evaluations = 0;
    bool converged = false; // a prediction came within 1 mm of the target
};

struct FitStep {
    float jerk;      // jerk evaluated
    float predicted; // end position predicted for it
};

// Receives a run as it is computed; the travel page draws it, the tool prints it.
class TravelPlotter {
public:
    virtual ~TravelPlotter() = default;
    // The inputs are loaded and checked, the model is prepared; no step is taken yet.
    virtual void runStarting() {}
    virtual void plot(const TravelSample& sample) = 0;
};

// What the stop-mode handler needs of the main window.
class SimulationHost {
public:
    virtual ~SimulationHost() = default;
    virtual bool readyToSimulate() const = 0;
    virtual void simulate() = 0;
};

// A distance the user typed that the run must not take; the box gets `stored` back.
struct DistanceRefusal {
    StopModeBox box;
    float stored;   // the catalogue's value, cm
    float shortest; // the shortest distance that works, whole cm; NaN: no number typed
};

struct RunReport {
    bool ran = false; // false: refused before the first step, nothing plotted
    std::int64_t steps = 0;
    std::int64_t samples = 0;
    QString refusal; // why it was refused, in the active language
};

// The inputs of a run in SI units, as the catalogue sets them: the speeds V0..V3 (and
// speedTable[4] = 0, standstill), the accelerations, the jerks, the start and the brake.
struct TravelInputs {
    std::array<float, 5> speedTable{};
    float PA = 0.0f;
    float NA = 0.0f;
    float S1 = 0.0f;
    float S2 = 0.0f;
    float S3 = 0.0f;
    float S4 = 0.0f;
    float VS = 0.0f;
    float AS = 0.0f;
    float startHoldTime = 0.0f;   // "par_tsu"
    float brakeOpenDelay = 0.0f;  // "mb_on"
    float brakeCloseDelay = 0.0f; // "mb_off"
};

class SimModule final : public ParamListener {
public:
    static constexpr int SignalSamples = 10001;
    static constexpr int SignalFlags = 5;
    static constexpr float Dt = 0.001f;
    static constexpr float MinJerk = 0.0001f;
    static constexpr float MaxJerk = 1000.0f;
    static constexpr int MaxFitEvaluations = 1000;
    static constexpr int PredictEvery = 50;

    using SignalSample = std::array<std::int16_t, SignalFlags>;

    SimModule();
    // The model may point at controls of its own; a copy would share them.
    SimModule(const SimModule&) = delete;
    SimModule& operator=(const SimModule&) = delete;

    // --- inputs ---
    const TravelInputs& inputs() const { return m_inputs; }
    void setInputs(const TravelInputs& inputs) { m_inputs = inputs; }
    // The simulation duration D, s: the run's length, and the timeline's samples lie
    // D/1000 apart.
    float duration() const { return D; }
    void setDuration(float seconds) { D = seconds; }

    // Derived by prepareTravel: [i][j] the deceleration distance from speed i to j.
    std::array<std::array<float, 5>, 5> decelTable{};
    float slowingJerk = 0.0f;
    float stoppingJerk = 0.0f;
    JerkFit slowingFit;
    JerkFit stoppingFit;

    TravelState state;

    // The stop-mode controls the model reads and writes. Without a call, the model
    // uses controls of its own. The controls must outlive their use here.
    void setControls(StopModeControls* controls);
    StopModeControls& controls() const { return *m_controls; }

    // --- the model ---
    short commandAt(float t) const;
    float decelDistance(float vLow, float vHigh) const;
    void predictStopEnd();
    static float rampSpeedChange(float a, float J);
    short travelControl();
    // One jerk search of the fit: a slowdown from `startSpeed` to `endSpeed` that is
    // to cover `target` metres. `trace`, when given, receives every evaluation.
    JerkFit fitJerk(float startSpeed, float endSpeed, float target,
                    std::vector<FitStep>* trace = nullptr);
    void fitStopJerks();
    void prepareTravel();
    void stepTravel();

    // --- signals ---
    // The signal timeline: flag k (0..3) of sample n says command Vk is on at time
    // n·D/1000. Flag 4 is unused.
    const std::vector<SignalSample>& signalTable() const { return m_signalTable; }
    void clearSignals();
    // Switches command `lane` on from `from` to `to` seconds, sampled every 0.01 s
    // with t accumulated in single precision, for the current duration D.
    void addSignal(int lane, float from, float to);
    // The default travel laid down at start-up: V0 from 1 s to 13 s, V3 from 1 s to
    // 9 s, for the current duration D.
    void setDefaultTravel();
    // Switches command `lane` on or off at samples first..last.
    void setSignal(int lane, int first, int last, bool on);
    // The first sample of the run (0..1000) at which any command is on, -1 when none is.
    int firstCommandSample() const;
    // A measured travel's command timing, the timeline kept for undo first: V3 and V0
    // on from `start` s, V3 until `highSpeedEnd` s, V0 until `lowSpeedEnd` s, every
    // other command off.
    void matchCommands(double start, double highSpeedEnd, double lowSpeedEnd);
    // Keeps the timeline as it is now, so that undoSignals can bring it back; the
    // last few are kept.
    void keepSignalsForUndo();
    bool canUndoSignals() const { return !m_signalUndo.empty(); }
    void undoSignals();

    // --- inputs from the catalogue ---
    // The inputs with PA, NA, S1..S4 and V0..V3 from the catalogue (a missing
    // identifier keeps the model's value) and speedTable[4] = 0; the others are taken
    // as the catalogue stores them (parameterStored).
    TravelInputs loadTravelParameters(const ParamModule& params) const;
    // Takes over the inputs the catalogue sets and mirrors "stpmod", "slwd" and
    // "stpd" into the stop-mode controls.
    void parameterStored(int index, const ParamDef& def, float value) override;

    // --- a run ---
    // The message refusing a run with the current inputs, or an empty text. Before
    // preparing it checks the divisors and, in stop mode 0, the distance boxes;
    // after preparing (`prepared`) also the fitted jerk boxes.
    QString refusal(const LangModule& lang, bool prepared) const;
    // The model part of `simulate`: phase Idle, inputs from `params` when given,
    // prepare, then steps while t < D, handing the state after every 10th step
    // (counted from 0) to `plotter`. A refused run plots nothing; the report holds
    // the message for whoever shows it.
    RunReport simulate(const ParamModule* params, const LangModule& lang, TravelPlotter* plotter);

    // The stop-mode handler (choice in the stop-mode list, leaving a distance box).
    // By distance, the typed distances are stored before the run; one the catalogue
    // refuses gets the catalogue's value back in its box.
    void stopModeChanged(ParamModule& params, SimulationHost& host);
    // By distance: the distance boxes whose typed number differs from the catalogue's
    // and cannot be run, either no number or shorter than the slowdown the jerk limits
    // S3, S4 and the deceleration NA allow. Loads the inputs from `params`.
    std::vector<DistanceRefusal> refusedDistances(const ParamModule& params);
    // The slowdown the limits allow for a distance box, m (0 with unusable inputs).
    float shortestDistance(StopModeBox box) const;

    // --- the stop-mode boxes ---
    // The number a box holds, read with the locale's number format or, failing that,
    // as its leading number; false when it holds none.
    bool boxNumber(StopModeBox box, float* value) const;
    // A fitted jerk as shown: J·10000 rounded half to even, divided by 10000.
    static float shownJerk(float J);
    static QString jerkText(float J);

private:
    // Takes the inputs loadTravelParameters gives; the run starts its stop jerk at S2.
    void takeTravelParameters(const ParamModule& params);
    bool divisorsUsable() const;
    void storeDistances(ParamModule& params);
    float boxNumberOr(StopModeBox box, float fallback) const;
    void resetState();

    TravelInputs m_inputs;
    float D = 15.0f; // s
    std::vector<SignalSample> m_signalTable;
    std::vector<std::vector<SignalSample>> m_signalUndo;
    TextStopModeControls m_ownControls;
    StopModeControls* m_controls = &m_ownControls;
};

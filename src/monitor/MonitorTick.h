#pragma once
// The monitor tick without its drawing: drains the frames waiting on the line, feeds
// the G gauge and the recording, chooses the label texts and moves the chart's ring.
// The monitor page runs it from Timer1 and draws what it reports.
#include "monitor/GGauge.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorHistory.h"
#include "monitor/MonitorState.h"
#include "monitor/RecordBuffer.h"

#include <functional>
#include <optional>

class ProtocolModule;

class MonitorTick {
public:
    static constexpr int MinInterval = 10;   // ms, the sample-rate slider's range
    static constexpr int StopInterval = 200; // the slider's maximum: the monitor stops
    // Marks every 0.1 s, a long one every tenth.
    static constexpr double MarkEvery = 0.1;
    static constexpr int MarksPerSecond = 10;

    // The tick reads the time from the protocol's clock.
    explicit MonitorTick(ProtocolModule& protocol);

    struct Report {
        bool online = false;
        bool printOfflineNotice = false; // offline, and the notice is not shown yet
        bool frameArrived = false;
        MonitorFrame::Texts texts;            // "..." when no frame arrived
        std::optional<GGauge::Display> gauge; // set when the gauge was updated
        bool drawFirstPicture = false;        // otherwise the second one
    };

    // One tick. `portInUse` is false while no port is selected.
    Report run(bool portInUse);

    // Whether Timer1 is re-armed after a tick, for the slider at `sliderValue`.
    static bool rearms(int sliderValue) { return sliderValue < StopInterval; }

    double now() const;

    MonitorState state;
    MonitorHistory history;
    RecordBuffer record;
    // Hears every sample the recording would take (t in monotonic seconds), whether or
    // not recording is on; the measured travels are found from it.
    std::function<void(double t, const MonitorState& state)> sampleTaken;

private:
    ProtocolModule& m_protocol;
};

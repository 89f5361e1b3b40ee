#pragma once
// What the live monitor remembers between ticks; one per main window.
#include "link/LinkStats.h"

#include <cstdint>
#include <limits>

struct MonitorState {
    // Values of the last decoded frame; kept while no frame arrives.
    std::int32_t SpeedRaw = 0;       // mm/s, never negative (the magnitude is stored)
    std::int32_t AccelRaw = 0;       // mm/s², the word as sent (no sign)
    std::int32_t CurrentRaw = 0;     // 0.1 A
    std::uint64_t FramesDecoded = 0; // good frames since start, for diagnostics

    // Times are monotonic seconds: a wall clock that wraps at midnight would freeze
    // the gauge and the marks. "Never" lies infinitely far back, so the first tick
    // places a mark and the first frame updates the gauge.
    static constexpr double Never = -std::numeric_limits<double>::infinity();
    double TickTime = Never; // when the last 0.1-second chart mark was placed
    int TickCount = 0;       // 0.1-second marks, 0..9
    double GTime = Never;    // last update of the G gauge
    float GPrevSpeed = 0.0f; // mm/s at the last G update
    double GPrevTime = Never;
    double GAccel = 0.0; // m/s², from successive speeds

    bool ShowFirstPicture = false; // which chart picture is drawn this tick
    // Toggled by the one-second tick; drives the blinking indicators.
    bool BlinkPhase = false;
    bool OfflineNoticeShown = false; // cleared when a resize wipes the chart

    double RateSince = Never;     // start of the current frame-rate window
    std::uint64_t RateFrames = 0; // good frames at its start
};

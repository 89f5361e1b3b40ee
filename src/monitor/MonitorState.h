#pragma once
// What the live monitor remembers between ticks; one per main window.
#include <cstdint>

struct MonitorState {
    // Values of the last decoded frame; kept while no frame arrives.
    std::int32_t SpeedRaw = 0;   // mm/s, never negative (the magnitude is stored)
    std::int32_t AccelRaw = 0;   // mm/s², the word as sent (no sign)
    std::int32_t CurrentRaw = 0; // 0.1 A
    // Toggled by the one-second tick; drives the blinking status-bar warning.
    bool BlinkPhase = false;
};

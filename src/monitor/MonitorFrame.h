#pragma once
// The drive's monitor frames as the live monitor reads them: decoding of the six data
// bytes, the drain of every complete frame waiting on the line, and the label texts.
#include "monitor/MonitorState.h"

#include <QString>
#include <cstdint>
#include <functional>

class ProtocolModule;

namespace MonitorFrame {

// Start byte, six data bytes, checksum.
constexpr int Size = 8;
// Upper bound on the bytes one drain reads, so a line that never falls silent cannot
// hold the user interface; far above what the line delivers between two ticks.
constexpr int MaxDrainBytes = 4096;

// Stores the values of a frame that passed its checksum in `state`.
void decode(const std::uint8_t data[6], MonitorState& state);

// Reads frames while at least one whole frame is waiting, skipping bytes up to the
// next start byte and dropping damaged frames; the last good frame wins. Never waits
// for the drive. True when a frame arrived. `onFrame`, when given, runs after each
// frame is stored.
bool drain(ProtocolModule& protocol, MonitorState& state,
           const std::function<void()>& onFrame = {});

struct Texts {
    QString speed;   // m/s
    QString accel;   // m/s²
    QString current; // A
};
// The value labels: "..." each when no frame arrived this tick.
Texts labelTexts(const MonitorState& state, bool frameArrived);

} // namespace MonitorFrame

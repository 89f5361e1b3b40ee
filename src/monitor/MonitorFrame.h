#pragma once
// The drive's monitor frames as the live monitor reads them: decoding of the six data
// bytes, the drain of every complete frame waiting on the line, and the label texts.
#include "link/ProtocolModule.h"
#include "monitor/MonitorState.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace MonitorFrame {

constexpr int Size = ProtocolModule::FrameSize;
constexpr int MaxDrainBytes = ProtocolModule::MaxDrainBytes;

// Stores the values of a frame that passed its checksum in `state`.
void decode(const std::uint8_t data[6], MonitorState& state);

// The protocol's frame drain, each good frame stored in `state`. True when a frame
// arrived. `onFrame`, when given, runs after each frame is stored.
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

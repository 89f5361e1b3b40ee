#include "monitor/MonitorFrame.h"

#include "link/LinkPort.h"
#include "link/ProtocolModule.h"
#include "platform/NumberText.h"

namespace MonitorFrame {

namespace {

std::int32_t word(const std::uint8_t* data) {
    return 256 * std::int32_t(data[0]) + std::int32_t(data[1]);
}

} // namespace

void decode(const std::uint8_t data[6], MonitorState& state) {
    std::int32_t speed = word(data);
    // The drive sends the speed as a signed word; the display shows its magnitude.
    if (speed > 32767)
        speed = 65536 - speed;
    state.SpeedRaw = speed;
    state.AccelRaw = word(data + 2);
    state.CurrentRaw = word(data + 4);
}

bool drain(ProtocolModule& protocol, MonitorState& state, const std::function<void()>& onFrame) {
    LinkPort& port = protocol.port();
    LinkStats& stats = state.Link;
    bool arrived = false;
    bool skipping = false;
    // A start byte met inside a damaged frame begins the next frame: read on from it
    // instead of losing that frame too.
    bool startHeld = false;
    int consumed = 0;
    while (consumed < MaxDrainBytes && port.bytesAvailable() >= (startHeld ? Size - 1 : Size)) {
        if (!startHeld) {
            const QByteArray one = port.read(1);
            if (one.size() != 1)
                break; // the port claims bytes it does not hand out: try again next tick
            ++consumed;
            if (std::uint8_t(one[0]) != ProtocolModule::FrameStart) {
                ++stats.bytesSkipped;
                skipping = true;
                continue;
            }
            if (skipping)
                ++stats.resyncs; // a start byte found again after noise
            skipping = false;
        }
        startHeld = false;
        std::uint8_t data[6];
        // At least seven bytes follow the start byte, so this never waits.
        const bool good = protocol.ReceivePacket(data);
        consumed += protocol.lastPacketBytes();
        if (!good) {
            if (protocol.lastPacketFault() == ProtocolModule::PacketFault::Checksum) {
                ++stats.checksumFailures;
            } else if (protocol.lastPacketFault() == ProtocolModule::PacketFault::StartInData) {
                ++stats.resyncs;
                stats.bytesSkipped += std::uint64_t(protocol.lastPacketBytes() - 1);
                startHeld = true;
            }
            continue;
        }
        decode(data, state);
        ++state.FramesDecoded;
        ++stats.frames;
        arrived = true;
        if (onFrame)
            onFrame();
    }
    return arrived;
}

Texts labelTexts(const MonitorState& state, bool frameArrived) {
    if (!frameArrived)
        return {QStringLiteral("..."), QStringLiteral("..."), QStringLiteral("...")};
    // Doubles, as the values are formatted on 15 significant digits.
    return {NumberText::pattern2(state.SpeedRaw / 1000.0, false),
            NumberText::pattern2(state.AccelRaw / 1000.0, false),
            NumberText::pattern2(state.CurrentRaw / 10.0, false)};
}

} // namespace MonitorFrame

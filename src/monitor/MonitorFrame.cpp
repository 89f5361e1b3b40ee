#include "monitor/MonitorFrame.h"

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
    return protocol.drainFrames([&](const std::uint8_t* data) {
        decode(data, state);
        ++state.FramesDecoded;
        if (onFrame)
            onFrame();
    });
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

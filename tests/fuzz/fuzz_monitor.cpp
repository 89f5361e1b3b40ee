// The monitor byte stream: whatever the line delivers, the monitor tick drains whole
// frames without waiting, and a line that hangs up part-way stops it. The first two
// bytes give the byte after which the line hangs up (0xFFFF: never); the rest is
// the stream, delivered in pieces of the third byte's size between ticks.
#include "FuzzTarget.h"
#include "link/ProtocolModule.h"
#include "monitor/MonitorFrame.h"
#include "support/FakeLinkPort.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const int hangupAt = data[0] * 256 + data[1];
    const QByteArray stream = fuzz::bytes(data + 3, size - 3);
    ManualClock clock;
    FakeLinkPort port(clock);
    port.hangupAfter = hangupAt == 0xFFFF ? -1 : hangupAt;
    port.freePorts = {1};
    int yields = 0;
    ProtocolModule protocol(
        port, clock,
        [&] {
            ++yields;
            clock.advance(0.001);
        },
        [&](double s) { clock.advance(s); });
    port.open(1);

    MonitorState state;
    const int piece = std::max(1, int(data[2]));
    for (qsizetype released = 0; released < stream.size() + piece; released += piece) {
        if (released > 0)
            port.rx += stream.mid(released - piece, piece);
        const double before = clock.monotonicSeconds();
        const qint64 readBefore = port.bytesRead;
        const bool arrived = MonitorFrame::drain(protocol, state);
        // The tick never waits for the drive.
        FUZZ_CHECK(clock.monotonicSeconds() == before);
        const MonitorFrame::Texts texts = MonitorFrame::labelTexts(state, arrived);
        FUZZ_CHECK(!texts.speed.isEmpty() && !texts.accel.isEmpty() && !texts.current.isEmpty());
        FUZZ_CHECK(state.SpeedRaw >= 0 && state.SpeedRaw <= 32768);
        FUZZ_CHECK(state.AccelRaw >= 0 && state.AccelRaw <= 65535);
        // The drain stops at its bound or when less than a frame (or no line) is left.
        FUZZ_CHECK(port.bytesAvailable() < MonitorFrame::Size || port.lineLost() ||
                   port.bytesRead - readBefore >= MonitorFrame::MaxDrainBytes);
    }
    FUZZ_CHECK(yields == 0);
    return 0;
}

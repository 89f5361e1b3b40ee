#include "link/ProtocolModule.h"

#include "link/LinkPort.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace {

// Upper bound on what one FlushInput discards, so a drive that never stops talking
// cannot keep the program in the flush.
constexpr qint64 kMaxFlushBytes = 1 << 20;

} // namespace

ProtocolModule::ProtocolModule(LinkPort& port, Clock& clock, std::function<void()> yield,
                               std::function<void(double)> sleep)
    : m_port(port), m_clock(clock), m_yield(std::move(yield)), m_sleep(std::move(sleep)) {
    if (!m_yield)
        m_yield = [] { QCoreApplication::processEvents(); };
    if (!m_sleep)
        m_sleep = [](double seconds) {
            QThread::usleep(static_cast<unsigned long>(std::max(0.0, seconds) * 1e6));
        };
}

void ProtocolModule::yieldToUi() {
    m_yield();
}

void ProtocolModule::waitUntil(double start, double seconds) {
    for (;;) {
        const double left = seconds - (m_clock.monotonicSeconds() - start);
        if (left <= 0.0)
            return;
        // Short naps keep the poll cheap without overshooting the wait by much.
        m_sleep(std::clamp(left, 1e-6, 0.002));
    }
}

QByteArray ProtocolModule::take(qint64 maxSize) {
    const QByteArray bytes = m_port.read(maxSize);
    m_log.received(m_clock.monotonicSeconds(), bytes);
    return bytes;
}

bool ProtocolModule::lineDown() const {
    return !m_port.isOpen() || m_port.lineLost();
}

bool ProtocolModule::waitForTransmitBuffer() {
    const double start = m_clock.monotonicSeconds();
    while (m_port.bytesToWrite() > 0) {
        if (lineDown())
            return false;
        const double left = SendTimeoutSeconds - (m_clock.monotonicSeconds() - start);
        if (left <= 0.0) {
            // A line that takes nothing for this long will not take the rest of a
            // block either: end here instead of waiting again for every byte.
            const QString why = QStringLiteral("the line stopped taking bytes");
            m_log.note(m_clock.monotonicSeconds(), why);
            m_port.abandon(why);
            return false;
        }
        m_port.waitForBytesWritten(int(std::ceil(left * 1000.0)));
    }
    return !lineDown();
}

void ProtocolModule::SendByte(std::uint8_t value) {
    SendData(QByteArray(1, char(value)));
}

bool ProtocolModule::SendData(const QByteArray& data) {
    if (!waitForTransmitBuffer())
        return false;
    const qint64 written = m_port.write(data);
    m_log.sent(m_clock.monotonicSeconds(), data.left(qMax<qint64>(0, written)));
    return written == data.size();
}

std::optional<std::uint8_t> ProtocolModule::ReceiveByte(float timeoutSeconds) {
    const double start = m_clock.monotonicSeconds();
    for (;;) {
        if (m_port.bytesAvailable() >= 1) {
            const QByteArray one = take(1);
            if (one.size() == 1)
                return std::uint8_t(one[0]);
        }
        const double elapsed = m_clock.monotonicSeconds() - start;
        if (lineDown() || elapsed > double(timeoutSeconds))
            return std::nullopt;
        // One millisecond past the time-out, so the next check sees it as passed.
        const int msecs = int(std::ceil((double(timeoutSeconds) - elapsed) * 1000.0)) + 1;
        m_port.waitForReadyRead(msecs);
    }
}

void ProtocolModule::FlushInput() {
    qint64 discarded = 0;
    while (discarded < kMaxFlushBytes) {
        const qint64 waiting = m_port.bytesAvailable();
        if (waiting <= 0)
            return;
        const QByteArray dropped = take(waiting);
        if (dropped.isEmpty())
            return;
        discarded += dropped.size();
    }
}

bool ProtocolModule::ReceivePacket(std::uint8_t buffer[6]) {
    m_packetBytes = 0;
    // Waits with the UI running until a byte is there; false when none comes.
    auto nextByte = [this](std::uint8_t* out) {
        const double start = m_clock.monotonicSeconds();
        while (m_port.bytesAvailable() < 1) {
            if (lineDown() || m_clock.monotonicSeconds() - start > 2.0)
                return false;
            m_yield();
        }
        const QByteArray one = take(1);
        if (one.size() != 1)
            return false;
        *out = std::uint8_t(one[0]);
        ++m_packetBytes;
        return true;
    };
    auto failed = [this](PacketFault fault) {
        m_packetFault = fault;
        return false;
    };
    unsigned sum = 0;
    for (int i = 0; i < 6; ++i) {
        if (!nextByte(&buffer[i]))
            return failed(PacketFault::NoByte);
        if (buffer[i] == FrameStart)
            return failed(PacketFault::StartInData);
        sum = (sum + buffer[i]) & 0xFF;
    }
    if (sum == 255)
        sum = 254;
    std::uint8_t received = 0;
    if (!nextByte(&received))
        return failed(PacketFault::NoByte);
    if (received == 255)
        return failed(PacketFault::StartInData);
    m_packetFault = received == sum ? PacketFault::None : PacketFault::Checksum;
    return received == sum;
}

bool ProtocolModule::drainFrames(const std::function<void(const std::uint8_t* data)>& onFrame) {
    LinkStats& stats = m_stats;
    bool arrived = false;
    bool skipping = false;
    // A line faster than the ticks (an adapter that ignores the baud rate) would
    // otherwise pile up bytes without end; only the newest frames matter.
    const qint64 waiting = m_port.bytesAvailable();
    if (waiting > MaxDrainBytes) {
        const qint64 excess = m_port.read(waiting - MaxDrainBytes).size();
        stats.bytesSkipped += std::uint64_t(excess);
        m_log.note(m_clock.monotonicSeconds(),
                   QStringLiteral("%1 bytes more than a tick uses, dropped").arg(excess));
        skipping = excess > 0;
    }
    // A start byte met inside a damaged frame begins the next frame: read on from it
    // instead of losing that frame too.
    bool startHeld = false;
    int consumed = 0;
    while (consumed < MaxDrainBytes &&
           m_port.bytesAvailable() >= (startHeld ? FrameSize - 1 : FrameSize)) {
        if (!startHeld) {
            const QByteArray one = take(1);
            if (one.size() != 1)
                break; // the port claims bytes it does not hand out: try again next tick
            ++consumed;
            if (std::uint8_t(one[0]) != FrameStart) {
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
        const bool good = ReceivePacket(data);
        consumed += m_packetBytes;
        if (!good) {
            if (m_packetFault == PacketFault::Checksum) {
                ++stats.checksumFailures;
                m_log.note(m_clock.monotonicSeconds(), QStringLiteral("frame checksum failed"));
            } else if (m_packetFault == PacketFault::StartInData) {
                ++stats.resyncs;
                stats.bytesSkipped += std::uint64_t(m_packetBytes - 1);
                startHeld = true;
            }
            continue;
        }
        ++stats.frames;
        arrived = true;
        if (onFrame)
            onFrame(data);
    }
    return arrived;
}

#pragma once
// The drive's wire protocol over the one serial line: byte sends that wait for the
// transmit buffer, the receive with its time-out, input flushing, monitor frames and
// the parameter block with its checksums.
#include "link/LinkLog.h"
#include "link/LinkStats.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <functional>
#include <optional>

class Clock;
class LinkPort;

class ProtocolModule {
public:
    // Command letters.
    static constexpr char MonitorStart[] = "M";
    static constexpr char MonitorStop[] = "A";
    static constexpr char StopBurst[] = "AAAAAAAA";
    static constexpr char ParamReadRequest[] = "D";
    static constexpr char ParamWriteRequest[] = "U";

    static constexpr int LongBlockWords = 126; // firmware newer than 8.26
    static constexpr int ShortBlockWords = 62;
    static constexpr std::uint16_t BlockTrailer = 1;
    static constexpr std::uint16_t BlockChecksumStart = 33;
    static constexpr std::uint8_t FrameStart = 255;
    // Start byte, six data bytes, checksum.
    static constexpr int FrameSize = 8;
    // Upper bound on the bytes one drain reads, so a line that never falls silent cannot
    // hold the user interface; far above what the line delivers between two ticks.
    static constexpr int MaxDrainBytes = 4096;
    // How long a send waits for the line to take earlier bytes before the line is
    // declared lost; only a dead line takes that long.
    static constexpr double SendTimeoutSeconds = 2.0;

    // `yield` lets the user interface run (the event loop in the program); `sleep`
    // pauses the thread for a number of seconds. Tests pass functions that move a
    // fake clock.
    ProtocolModule(LinkPort& port, Clock& clock, std::function<void()> yield = {},
                   std::function<void(double)> sleep = {});

    LinkPort& port() { return m_port; }
    Clock& clock() { return m_clock; }

    void SendByte(std::uint8_t value);
    // False when the line is down or stopped taking bytes (then declared lost).
    bool SendData(const QByteArray& data);
    // The next byte, or nothing when none came within the time-out or the line is gone.
    std::optional<std::uint8_t> ReceiveByte(float timeoutSeconds);
    void FlushInput();
    // Reads the six data bytes and the checksum byte after a start byte. False for a
    // damaged frame. Gives up (false) when the line is gone or nothing comes within
    // the receive time-out, so a lost line cannot hold the monitor for ever.
    bool ReceivePacket(std::uint8_t buffer[6]);
    // Why the last ReceivePacket returned false.
    enum class PacketFault { None, NoByte, StartInData, Checksum };
    PacketFault lastPacketFault() const { return m_packetFault; }
    // Bytes the last ReceivePacket read, start byte not counted.
    int lastPacketBytes() const { return m_packetBytes; }

    // Reads the monitor frames waiting, skipping bytes up to the next start byte and
    // dropping damaged frames; `onFrame` gets the six data bytes of each good one.
    // More than one drain may read is older than the newest frames and is dropped
    // unread. Never waits for the drive. True when a good frame arrived.
    bool drainFrames(const std::function<void(const std::uint8_t* data)>& onFrame);
    // The traffic of the last minutes and the faults met.
    LinkLog& log() { return m_log; }
    // Counted by every drain since the start.
    LinkStats& stats() { return m_stats; }
    const LinkStats& stats() const { return m_stats; }

    // Lets the user interface run.
    void yieldToUi();
    // Polls the clock without running the event loop until `seconds` have passed
    // since `start` (a monotonic time).
    void waitUntil(double start, double seconds);

    // True when sends and receives cannot reach the drive: no open port or a lost line.
    bool lineDown() const;

private:
    bool waitForTransmitBuffer();
    // Reads from the port, logged.
    QByteArray take(qint64 maxSize);

    LinkPort& m_port;
    Clock& m_clock;
    std::function<void()> m_yield;
    std::function<void(double)> m_sleep;
    LinkStats m_stats;
    LinkLog m_log;
    PacketFault m_packetFault = PacketFault::None;
    int m_packetBytes = 0;
};

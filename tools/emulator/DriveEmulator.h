#pragma once
// The virtual drive's behaviour on the wire, without the pseudo-terminal: command
// letters in, monitor frames and parameter blocks out, faults on request. Its
// checksums are computed here and nowhere else, so a fault in the program's own
// codec cannot hide behind the same fault in the drive.
#include "emulator/CarTravel.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>

class DriveEmulator {
public:
    static constexpr int Words = 128;
    static constexpr int NewFirmwareAbove = 826;

    struct Faults {
        bool noAnswer = false;     // "D" is ignored
        bool badChecksum = false;  // the checksum word is off by one
        int dropByte = -1;         // byte k of the answer after "D" is left out
        int extraByte = -1;        // a stray byte is sent before byte k of the answer
        int garbageBefore = 0;     // bytes of noise before the leading byte
        bool frameGarbage = false; // noise between monitor frames
        int hangupReadAfter = -1;  // the line closes after k bytes of the answer
        int hangupWriteAfter = -1; // the line closes after k block bytes received
    };

    // One piece of output: bytes to send, or the line closing at that point.
    struct Output {
        QByteArray bytes;
        bool hangup = false;
    };

    DriveEmulator();

    // Firmware version word (parameter 125); above 826 the drive uses the long
    // block with trailer and checksum.
    void setFirmware(int version);
    int firmware() const { return m_firmware; }
    int blockWords() const { return m_firmware > NewFirmwareAbove ? 126 : 62; }
    bool newFirmware() const { return m_firmware > NewFirmwareAbove; }
    // Whether a written block's version word is stored (and read back) as sent,
    // as some drives do, instead of being kept.
    void setStoresFirmwareWord(bool on) { m_storesFirmwareWord = on; }

    std::array<std::uint16_t, Words>& words() { return m_words; }
    const std::array<std::uint16_t, Words>& words() const { return m_words; }
    Faults& faults() { return m_faults; }
    // Sets the fault `name` ("drop-byte", ...) with its count where it takes one
    // (0..MaxFaultCount). False with `error` for an unknown name or a bad count.
    bool setFault(const QString& name, const QString& count, QString* error);
    // A whole number from `min` to `max` written in `text`, else false.
    static bool parseCount(const QString& text, int min, int max, int* value);

    // Raw words from display values and the scales of a definition file; a missing
    // scale counts as 1. Values are rounded half to even and clamped to the word.
    static std::uint16_t rawOf(double value, double scale);
    // Whether value x scale, rounded, is a word (-32768..65535) without clamping.
    static bool fitsWord(double value, double scale);
    // Largest count a fault takes (byte positions, bytes of noise).
    static constexpr int MaxFaultCount = 65535;
    // Scales (index -> scale) from a definition file; empty when it cannot be read.
    static QHash<int, double> readScales(const QString& path);
    // The factory set the program also starts with, as raw words.
    void loadDefaults(const QHash<int, double>& scales);
    // A parameter file: 128 lines, one value each, "." as decimal point. Refused
    // whole (nothing changes, `error` says why) when a line is missing, is no
    // number or does not fit a word at its scale.
    bool loadQuv(const QString& path, const QHash<int, double>& scales, QString* error);

    // Bytes received from the PC at monotonic time `now` (seconds).
    void receive(const QByteArray& bytes, double now);
    // Called often; produces monitor frames while streaming and ends a block that
    // stalled. `now` in seconds.
    void tick(double now);

    bool monitoring() const { return m_monitor; }
    void setMonitoring(bool on) { m_monitor = on; }

    // Monitor frames per second. The line carries at most 700 (56000 baud, ten bits
    // a byte, eight bytes a frame); rates outside 1..700 are brought into that range.
    static constexpr double LineFrameRate = 700.0;
    void setFrameRate(double framesPerSecond);
    double frameRate() const { return 1.0 / m_frameInterval; }
    // Monitor frames produced since the drive started.
    std::uint64_t framesMade() const { return m_framesMade; }

    // What to send next; the caller drains it.
    QList<Output>& output() { return m_output; }
    // Lines of what the drive received and did.
    QStringList& log() { return m_log; }

    // Own codec.
    static std::uint8_t frameSum(const std::uint8_t data[6]);
    static std::uint16_t blockSum(const std::uint16_t* words, int count, std::uint16_t trailer);
    // Words of the monitor frame for a car that travels up and down between floors.
    static void carAt(double t, std::uint16_t* speed, std::uint16_t* accel, std::uint16_t* current);
    // From now on the car repeats `travel` (samples every 10 ms), alternately up and
    // down with a rest between; an empty one goes back to carAt's simple trip.
    void setTravel(const QList<CarSample>& travel) { m_travel = travel; }
    // The frame words at `t` seconds since streaming began.
    void frameWordsAt(double t, std::uint16_t* speed, std::uint16_t* accel,
                      std::uint16_t* current) const;

private:
    void answerRead();
    void finishBlock();
    void send(const QByteArray& bytes);

    int m_firmware = 830;
    bool m_storesFirmwareWord = false;
    std::array<std::uint16_t, Words> m_words{};
    Faults m_faults;
    bool m_monitor = false;
    double m_nextFrame = 0.0;
    double m_frameInterval = 0.02;
    std::uint64_t m_framesMade = 0;
    QList<CarSample> m_travel;
    double m_monitorStart = 0.0;
    bool m_inBlock = false;
    QByteArray m_block;
    double m_lastBlockByte = 0.0;
    QList<Output> m_output;
    QStringList m_log;
    std::uint32_t m_noise = 12345;
};

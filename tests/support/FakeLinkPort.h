#pragma once
// An in-memory serial line on a fake clock, optionally with the virtual drive behind
// it, and the protocol over it on COM1. Waiting for input moves the clock instead of sleeping. The
// line can be pulled, or hang up by itself once a given number of bytes has been read.
#include "emulator/DriveEmulator.h"
#include "link/LinkPort.h"
#include "link/ProtocolModule.h"
#include "platform/Clock.h"

#include <QHash>
#include <QSet>
#include <functional>
#include <utility>

class FakeLinkPort : public LinkPort {
public:
    explicit FakeLinkPort(ManualClock& clock) : m_clock(clock) {}

    bool open(int portNumber, QString* error = nullptr) override {
        if (!freePorts.contains(portNumber)) {
            setOpenFailure(refused.value(portNumber, OpenFailure::NoSuchPort));
            if (error)
                *error = QStringLiteral("Permission error");
            return false;
        }
        setOpenFailure(OpenFailure::None);
        clearLost();
        m_open = portNumber;
        return true;
    }
    void close() override { m_open = 0; }
    // Says what an open would say, without disturbing the port in use.
    PortEntry probe(int n) override {
        PortEntry entry;
        entry.number = n;
        entry.state = n == m_open             ? PortEntry::State::InUseHere
                      : freePorts.contains(n) ? PortEntry::State::Free
                                              : stateOf(refused.value(n, OpenFailure::NoSuchPort));
        if (entry.state == PortEntry::State::LineSettings)
            entry.detail = QStringLiteral("Permission error");
        return entry;
    }
    bool isOpen() const override { return m_open != 0; }
    int portNumber() const override { return m_open; }
    qint64 bytesAvailable() override {
        arrive();
        hangUpIfDue();
        return isOpen() ? readable() : 0;
    }
    qint64 bytesToWrite() const override { return stuckBytes; }
    QByteArray read(qint64 maxSize) override {
        hangUpIfDue();
        const QByteArray out = isOpen() ? rx.left(std::min(maxSize, readable())) : QByteArray();
        rx.remove(0, out.size());
        bytesRead += out.size();
        return out;
    }
    qint64 write(const QByteArray& data) override {
        if (!isOpen() || lineLost())
            return -1;
        QByteArray onLine = data;
        // A byte lost on the way: the program wrote it, the drive never sees it.
        if (dropTxByte >= tx.size() && dropTxByte < tx.size() + data.size())
            onLine.remove(dropTxByte - tx.size(), 1);
        tx.append(data);
        if (onWrite)
            onWrite(data);
        if (drive) {
            drive->receive(onLine, m_clock.monotonicSeconds());
            drainDrive();
        }
        return data.size();
    }
    bool waitForReadyRead(int msecs) override {
        hangUpIfDue();
        if (!isOpen() || lineLost())
            return false;
        const double now = m_clock.monotonicSeconds();
        const bool comes = !later.isEmpty() && laterAt <= now + msecs / 1000.0;
        m_clock.advance(comes ? std::max(0.0, laterAt - now) : msecs / 1000.0);
        arrive();
        return comes;
    }

    bool waitForBytesWritten(int msecs) override {
        if (!isOpen() || lineLost())
            return false;
        if (stuckBytes > 0)
            m_clock.advance(msecs / 1000.0);
        return stuckBytes == 0;
    }

    void deliverAt(double at, const QByteArray& bytes) {
        laterAt = at;
        later = bytes;
    }
    void pullLine() {
        markLost(QStringLiteral("hung up"));
        m_open = 0;
    }
    void drainDrive() {
        for (const DriveEmulator::Output& o : drive->output())
            rx.append(o.bytes);
        drive->output().clear();
    }

    QSet<int> freePorts;
    QHash<int, OpenFailure> refused; // why a port outside freePorts does not open
    QByteArray rx;
    QByteArray tx;
    qsizetype dropTxByte = -1; // index in tx of a byte the line loses
    QByteArray later;          // arrives at laterAt
    double laterAt = 0.0;
    qint64 stuckBytes = 0;
    DriveEmulator* drive = nullptr;
    std::function<void(const QByteArray&)> onWrite;
    qint64 hangupAfter = -1; // bytes read before the line hangs up by itself
    qint64 bytesRead = 0;

private:
    qint64 readable() const {
        return hangupAfter < 0 ? rx.size() : std::min<qint64>(rx.size(), hangupAfter - bytesRead);
    }
    void hangUpIfDue() {
        if (m_open != 0 && hangupAfter >= 0 && bytesRead >= hangupAfter)
            pullLine();
    }
    void arrive() {
        if (laterAt <= m_clock.monotonicSeconds())
            rx.append(std::exchange(later, {}));
    }

    ManualClock& m_clock;
    int m_open = 0;
};

// A line on which only COM1 opens and nothing ever arrives: the main window's port
// scan finds one free port whatever serial devices the test machine has.
struct IdleClock {
    ManualClock idleClock;
};
class IdlePort final : IdleClock, public FakeLinkPort {
public:
    IdlePort() : FakeLinkPort(idleClock) { freePorts = {1}; }
};

// The fake line open as COM1 with the protocol over it; waiting and yielding only move
// the clock, and the yields are counted.
struct FakeLine {
    ManualClock clock;
    FakeLinkPort port{clock};
    int yields = 0;
    ProtocolModule protocol{port, clock,
                            [this] {
                                ++yields;
                                clock.advance(0.001);
                            },
                            [this](double s) { clock.advance(s); }};
    FakeLine() {
        port.freePorts = {1};
        port.open(1);
    }
};

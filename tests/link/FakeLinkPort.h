#pragma once
// An in-memory serial line on a fake clock. Bytes written go to an optional drive
// behind it; bytes for the program are queued, optionally due at a later time.
// Waiting for input moves the clock instead of sleeping. The line can be pulled.
#include "Clock.h"
#include "DriveEmulator.h"
#include "LinkPort.h"

#include <QList>
#include <QSet>

class FakeLinkPort final : public LinkPort {
public:
    explicit FakeLinkPort(ManualClock& clock) : m_clock(clock) {}

    bool open(int portNumber, QString* error = nullptr) override {
        ++opens;
        if (!freePorts.contains(portNumber)) {
            if (error)
                *error = busyPorts.contains(portNumber) ? QStringLiteral("Permission error")
                                                        : QStringLiteral("No such file");
            return false;
        }
        clearLost();
        m_open = portNumber;
        return true;
    }
    void close() override { m_open = 0; }
    bool isOpen() const override { return m_open != 0; }
    int portNumber() const override { return m_open; }
    qint64 bytesAvailable() override {
        arrive(m_clock.monotonicSeconds());
        return isOpen() ? rx.size() : 0;
    }
    qint64 bytesToWrite() const override { return stuckBytes; }
    QByteArray read(qint64 maxSize) override {
        if (!isOpen())
            return {};
        const QByteArray out = rx.left(maxSize);
        rx.remove(0, out.size());
        return out;
    }
    qint64 write(const QByteArray& data) override {
        if (!isOpen() || lineLost())
            return -1;
        tx.append(data);
        if (drive) {
            drive->receive(data, m_clock.monotonicSeconds());
            drainDrive();
        }
        return data.size();
    }
    bool waitForReadyRead(int msecs) override {
        if (!isOpen() || lineLost())
            return false;
        const double until = m_clock.monotonicSeconds() + msecs / 1000.0;
        if (!later.isEmpty() && later.first().at <= until) {
            m_clock.advance(std::max(0.0, later.first().at - m_clock.monotonicSeconds()));
            arrive(m_clock.monotonicSeconds());
            return true;
        }
        m_clock.advance(msecs / 1000.0);
        return false;
    }

    // Bytes that come in at monotonic time `at`.
    void deliverAt(double at, const QByteArray& bytes) { later.append({at, bytes}); }
    // The line hangs up: port closed, notice sent, as the real port does.
    void pullLine(const QString& reason = QStringLiteral("the line was hung up")) {
        const int number = m_open;
        markLost(reason);
        m_open = 0;
        emit lineLostNotice(number, reason);
    }
    void drainDrive() {
        auto& out = drive->output();
        while (!out.isEmpty()) {
            const DriveEmulator::Output o = out.takeFirst();
            if (o.hangup) {
                pullLine();
                return;
            }
            rx.append(o.bytes);
        }
    }

    struct Later {
        double at;
        QByteArray bytes;
    };
    QSet<int> freePorts;
    QSet<int> busyPorts;
    QByteArray rx;
    QByteArray tx;
    QList<Later> later;
    qint64 stuckBytes = 0;
    int opens = 0;
    DriveEmulator* drive = nullptr;

private:
    void arrive(double now) {
        while (!later.isEmpty() && later.first().at <= now)
            rx.append(later.takeFirst().bytes);
    }

    ManualClock& m_clock;
    int m_open = 0;
};

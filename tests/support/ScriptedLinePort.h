#pragma once
// A line that plays back fixed bytes on a fake clock: nothing arrives until the test
// releases it (so the flushes before a request do not eat the answer), and the line
// hangs up after a given number of bytes has been read. Every write is shown to a hook.
#include "link/LinkPort.h"
#include "platform/Clock.h"

#include <algorithm>
#include <functional>

class ScriptedLinePort final : public LinkPort {
public:
    // `hangupAfter` < 0: the line never hangs up.
    ScriptedLinePort(ManualClock& clock, QByteArray incoming, qint64 hangupAfter = -1)
        : m_clock(clock), m_incoming(std::move(incoming)), m_hangupAfter(hangupAfter) {}

    bool open(int portNumber, QString* = nullptr) override {
        clearLost();
        m_open = portNumber;
        return true;
    }
    void close() override { m_open = 0; }
    bool isOpen() const override { return m_open != 0; }
    int portNumber() const override { return m_open; }
    qint64 bytesAvailable() override {
        checkHangup();
        return isOpen() ? readable() : 0;
    }
    qint64 bytesToWrite() const override { return 0; }
    QByteArray read(qint64 maxSize) override {
        checkHangup();
        if (!isOpen())
            return QByteArray();
        const QByteArray out = m_incoming.mid(m_read, std::min(maxSize, readable()));
        m_read += out.size();
        return out;
    }
    qint64 write(const QByteArray& data) override {
        if (!isOpen() || lineLost())
            return -1;
        sent.append(data);
        if (onWrite)
            onWrite(data);
        return data.size();
    }
    bool waitForReadyRead(int msecs) override {
        checkHangup();
        if (!isOpen())
            return false;
        if (readable() > 0)
            return true;
        m_clock.advance(std::max(0, msecs) / 1000.0);
        return false;
    }

    // From now on the first `upTo` bytes (all of them when negative) can be read.
    void release(qint64 upTo = -1) { m_releasedUpTo = upTo < 0 ? m_incoming.size() : upTo; }
    qint64 bytesRead() const { return m_read; }

    QByteArray sent;
    std::function<void(const QByteArray&)> onWrite;

private:
    qint64 readable() const {
        qint64 end = std::min<qint64>(m_incoming.size(), m_releasedUpTo);
        if (m_hangupAfter >= 0)
            end = std::min(end, m_hangupAfter);
        return std::max<qint64>(0, end - m_read);
    }
    void checkHangup() {
        if (m_open != 0 && m_hangupAfter >= 0 && m_read >= m_hangupAfter) {
            markLost(QStringLiteral("hung up"));
            m_open = 0;
        }
    }

    ManualClock& m_clock;
    QByteArray m_incoming;
    qint64 m_hangupAfter;
    qint64 m_read = 0;
    qint64 m_releasedUpTo = 0;
    int m_open = 0;
};

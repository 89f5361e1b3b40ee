#pragma once
// A serial line on which only COM1 opens and nothing ever arrives: the main window's
// port scan finds one free port whatever serial devices the test machine has.
#include "link/LinkPort.h"

class IdlePort final : public LinkPort {
public:
    bool open(int portNumber, QString* error = nullptr) override {
        if (portNumber != 1) {
            if (error)
                *error = QStringLiteral("No such port");
            return false;
        }
        m_open = portNumber;
        return true;
    }
    void close() override { m_open = 0; }
    bool isOpen() const override { return m_open != 0; }
    int portNumber() const override { return m_open; }
    qint64 bytesAvailable() override { return 0; }
    qint64 bytesToWrite() const override { return 0; }
    QByteArray read(qint64) override { return QByteArray(); }
    qint64 write(const QByteArray& data) override { return isOpen() ? data.size() : -1; }
    bool waitForReadyRead(int) override { return false; }
    bool waitForBytesWritten(int) override { return isOpen(); }

private:
    int m_open = 0;
};

#pragma once
// The one serial line to the drive as the link sees it: a numbered port opened with
// the drive's line settings, byte counts both ways, reads and writes, and a blocking
// wait for input that does not run the event loop.
#include <QByteArray>
#include <QObject>
#include <QString>

class LinkPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~LinkPort() override = default;

    // Why an open failed: the kinds the user is told about in their language; any
    // other failure comes with the system's own words.
    enum class OpenFailure { None, NoSuchPort, LineSettings, System };

    // Opens COM `portNumber` at 56000 baud, 8 data bits, no parity, 1 stop bit.
    // On failure returns false; openFailure() says why and `detail` (when given)
    // holds the system's words.
    virtual bool open(int portNumber, QString* detail = nullptr) = 0;
    OpenFailure openFailure() const { return m_openFailure; }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Number of the open port, 0 when closed.
    virtual int portNumber() const = 0;

    // Received bytes waiting to be read, including those the system has taken in
    // but the port object has not fetched yet.
    virtual qint64 bytesAvailable() = 0;
    // Bytes written but not yet handed to the line.
    virtual qint64 bytesToWrite() const = 0;
    virtual QByteArray read(qint64 maxSize) = 0;
    virtual qint64 write(const QByteArray& data) = 0;
    // Blocks up to `msecs` for input without running the event loop. False on a
    // time-out and at once when the line is gone.
    virtual bool waitForReadyRead(int msecs) = 0;

    // True from the moment the line failed (hung up, unplugged) until the next open.
    bool lineLost() const { return m_lost; }
    QString lostReason() const { return m_lostReason; }

signals:
    // Emitted once per failure, from the event loop, after the port was closed.
    void lineLostNotice(int portNumber, const QString& reason);

protected:
    void setOpenFailure(OpenFailure failure) { m_openFailure = failure; }
    void markLost(const QString& reason) {
        m_lost = true;
        m_lostReason = reason;
    }
    void clearLost() {
        m_lost = false;
        m_lostReason.clear();
    }

private:
    OpenFailure m_openFailure = OpenFailure::None;
    bool m_lost = false;
    QString m_lostReason;
};

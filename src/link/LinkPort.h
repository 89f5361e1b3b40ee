#pragma once
// The one serial line to the drive as the link sees it: a numbered port opened with
// the drive's line settings, byte counts both ways, reads and writes, and a blocking
// wait for input that does not run the event loop.
#include "link/PortEntry.h"

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
    enum class OpenFailure { None, NoSuchPort, LineSettings, NoPermission, Busy, System };

    // Opens COM `portNumber` at 56000 baud, 8 data bits, no parity, 1 stop bit.
    // On failure returns false; openFailure() says why and `detail` (when given)
    // holds the system's words.
    virtual bool open(int portNumber, QString* detail = nullptr) = 0;
    OpenFailure openFailure() const { return m_openFailure; }
    // The list entry's state for an open that failed this way.
    static PortEntry::State stateOf(OpenFailure failure);
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
    // Blocks up to `msecs` until written bytes went to the line, without running the
    // event loop. False on a time-out and at once when the line is gone.
    virtual bool waitForBytesWritten(int msecs) = 0;

    // What COM `n` is and whether it could be opened now, for the port list. The port
    // this object holds counts as usable. The plain version tries to open the port;
    // a real port also says what the device is and who holds it.
    virtual PortEntry probe(int n);
    // Called before a run of probes: a real port looks at the system once here.
    virtual void beginScan() {}
    // The number under which the adapter named by `identity` (PortEntry::stableId) is
    // reachable now, 0 when it is not there.
    virtual int findAdapter(const QString& identity);
    // Makes COM n stand for the adapter at `adapterPath` from now on, across replugs.
    virtual bool keepAdapter(const QString& adapterPath, int n, QString* error) {
        Q_UNUSED(adapterPath);
        Q_UNUSED(n);
        if (error)
            *error = QStringLiteral("not supported by this port");
        return false;
    }

    // True from the moment the line failed (hung up, unplugged, stopped draining) until
    // the next open.
    bool lineLost() const { return m_lost; }
    QString lostReason() const { return m_lostReason; }
    // Declares the line lost from outside the port (a send that never drained): the
    // same closing and the same one notice as a hang-up.
    void abandon(const QString& reason) { reportLoss(reason); }

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
        m_closeQueued = false;
    }
    // Marks the line lost and closes the port from the event loop, then emits the
    // notice; once per loss, however often the failure is reported meanwhile.
    void reportLoss(const QString& reason);

private:
    void closeAfterLoss();

    bool m_closeQueued = false;
    OpenFailure m_openFailure = OpenFailure::None;
    bool m_lost = false;
    QString m_lostReason;
};

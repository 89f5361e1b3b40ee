#pragma once
// The program's serial line on a QSerialPort: COM numbers through ComPortMap, the
// drive's line settings, and a lost line (hang-up, unplugged adapter) turned into one
// notice with the port closed, instead of the endless error stream Qt 6.4 produces.
#include "link/ComPortMap.h"
#include "link/LinkPort.h"
#include "link/SerialPortScan.h"

#include <QSerialPort>

class SerialLinkPort final : public LinkPort {
    Q_OBJECT
public:
    static constexpr qint32 BaudRate = 56000;
    // What Qt may hold of received bytes: a line that delivers faster than the program
    // reads (an adapter that ignores the baud rate) waits in the system instead of
    // growing the program's memory. Many monitor drains, and far more than a block.
    static constexpr qint64 ReadBufferBytes = 64 * 1024;

    explicit SerialLinkPort(ComPortMap map = ComPortMap(), QObject* parent = nullptr);
    ~SerialLinkPort() override;

    bool open(int portNumber, QString* detail = nullptr) override;
    void close() override;
    bool isOpen() const override;
    int portNumber() const override { return m_portNumber; }
    qint64 bytesAvailable() override;
    qint64 bytesToWrite() const override;
    QByteArray read(qint64 maxSize) override;
    qint64 write(const QByteArray& data) override;
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;
    void beginScan() override;
    PortEntry probe(int n) override;
    int findAdapter(const QString& identity) override;
    bool keepAdapter(const QString& adapterPath, int n, QString* error) override {
        return m_map.keepAdapter(adapterPath, n, error);
    }

    const ComPortMap& map() const { return m_map; }
    void setMap(const ComPortMap& map) {
        m_map = map;
        m_scan.setMap(map);
    }
    SerialPortScan& scan() { return m_scan; }

private:
    void onError(QSerialPort::SerialPortError error);
    static bool applyLineSettings(QSerialPort& port);

    ComPortMap m_map;
    SerialPortScan m_scan;
    QString m_device; // what the open port is, links resolved
    QSerialPort m_port;
    int m_portNumber = 0;
};

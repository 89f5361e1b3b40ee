#include "link/SerialLinkPort.h"

#include <QFileInfo>

SerialLinkPort::SerialLinkPort(ComPortMap map, QObject* parent)
    : LinkPort(parent), m_map(map), m_scan(std::move(map)) {
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLinkPort::onError);
}

SerialLinkPort::~SerialLinkPort() {
    m_port.close();
}

bool SerialLinkPort::open(int portNumber, QString* detail) {
    auto fail = [&](OpenFailure failure, const QString& why) {
        if (m_port.isOpen())
            m_port.close();
        m_portNumber = 0;
        setOpenFailure(failure);
        if (detail)
            *detail = why;
        return false;
    };
    if (m_port.isOpen())
        close();
    clearLost();
    QString location = m_map.systemLocation(portNumber);
    // Open the device a link points at: Qt's lock file is named after what is
    // opened, and two links to one device must count as the same port.
    const QFileInfo info(location);
    if (info.isSymLink())
        location = info.canonicalFilePath();
    if (location.isEmpty())
        return fail(OpenFailure::NoSuchPort, QString());
    m_port.setPortName(location);
    m_port.setReadBufferSize(ReadBufferBytes);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString why = m_port.errorString();
        if (m_port.error() == QSerialPort::DeviceNotFoundError)
            return fail(OpenFailure::NoSuchPort, why);
        if (m_port.error() == QSerialPort::PermissionError) {
            PortEntry entry;
            m_scan.explainRefusal(entry, location);
            return fail(entry.state == PortEntry::State::NoPermission ? OpenFailure::NoPermission
                                                                      : OpenFailure::Busy,
                        why);
        }
        return fail(OpenFailure::System, why);
    }
    if (!applyLineSettings(m_port))
        return fail(OpenFailure::LineSettings, m_port.errorString());
    m_port.clearError();
    setOpenFailure(OpenFailure::None);
    m_device = location;
    m_portNumber = portNumber;
    return true;
}

void SerialLinkPort::close() {
    if (m_port.isOpen())
        m_port.close();
    m_portNumber = 0;
    m_device.clear();
}

bool SerialLinkPort::applyLineSettings(QSerialPort& port) {
    // Settings applied to an open port reach the device at once and report failure;
    // 56000 is not a standard rate on every system, so check it really took.
    const bool settingsOk = port.setBaudRate(BaudRate) && port.setDataBits(QSerialPort::Data8) &&
                            port.setParity(QSerialPort::NoParity) &&
                            port.setStopBits(QSerialPort::OneStop) &&
                            port.setFlowControl(QSerialPort::NoFlowControl);
    return settingsOk && port.baudRate() == BaudRate;
}

void SerialLinkPort::beginScan() {
    m_scan.refresh(true);
}

PortEntry SerialLinkPort::probe(int n) {
    PortEntry entry = m_scan.describe(n);
    if (entry.state != PortEntry::State::Free)
        return entry;
    const QString device = SerialPortScan::deviceOf(entry.location);
    if (m_port.isOpen() && (n == m_portNumber || device == m_device)) {
        entry.state = PortEntry::State::InUseHere;
        return entry;
    }
    QSerialPort trial;
    trial.setPortName(device);
    if (!trial.open(QIODevice::ReadWrite)) {
        entry.detail = trial.errorString();
        if (trial.error() == QSerialPort::PermissionError)
            m_scan.explainRefusal(entry, device);
        else if (trial.error() == QSerialPort::DeviceNotFoundError)
            entry.state = PortEntry::State::Vanished; // went away during the scan
        else
            entry.state = PortEntry::State::Failed;
        return entry;
    }
    if (!applyLineSettings(trial)) {
        entry.state = PortEntry::State::LineSettings;
        entry.detail = trial.errorString();
    }
    trial.close();
    return entry;
}

int SerialLinkPort::findAdapter(const QString& identity) {
    m_scan.refresh(false);
    return m_scan.findAdapter(identity);
}

bool SerialLinkPort::isOpen() const {
    return m_port.isOpen();
}

qint64 SerialLinkPort::bytesAvailable() {
    if (!m_port.isOpen())
        return 0;
    // Qt counts only what it has fetched; fetch what the system holds without waiting.
    if (m_port.bytesAvailable() == 0 && !lineLost()) {
        m_port.waitForReadyRead(0);
        if (m_port.error() == QSerialPort::TimeoutError)
            m_port.clearError();
    }
    return m_port.bytesAvailable();
}

qint64 SerialLinkPort::bytesToWrite() const {
    return m_port.isOpen() ? m_port.bytesToWrite() : 0;
}

QByteArray SerialLinkPort::read(qint64 maxSize) {
    return m_port.isOpen() ? m_port.read(maxSize) : QByteArray();
}

qint64 SerialLinkPort::write(const QByteArray& data) {
    if (!m_port.isOpen() || lineLost())
        return -1;
    const qint64 written = m_port.write(data);
    // Qt keeps written bytes in its own buffer until the event loop runs; the waits
    // of a transfer do not run it, so hand the bytes to the line now (the last bytes
    // of a block would otherwise reach the drive only after the next yield).
    m_port.flush();
    return written;
}

bool SerialLinkPort::waitForReadyRead(int msecs) {
    if (!m_port.isOpen() || lineLost())
        return false;
    const bool ready = m_port.waitForReadyRead(msecs);
    if (!ready && m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
    return ready;
}

bool SerialLinkPort::waitForBytesWritten(int msecs) {
    if (!m_port.isOpen() || lineLost())
        return false;
    if (m_port.bytesToWrite() == 0)
        return true;
    const bool written = m_port.waitForBytesWritten(msecs);
    if (!written && m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
    return written;
}

void SerialLinkPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    // Qt 6.4 keeps reporting a hung-up line until the port is closed.
    reportLoss(m_port.errorString());
}

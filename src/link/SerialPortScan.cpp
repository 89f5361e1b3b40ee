#include "link/SerialPortScan.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace {

QString firstLine(const QString& path, int line = 0) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> lines = f.read(4096).split('\n');
    return line < lines.size() ? QString::fromLocal8Bit(lines[line]).trimmed() : QString();
}

bool processAlive(qint64 pid) {
#ifdef Q_OS_UNIX
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
#else
    Q_UNUSED(pid);
    return false;
#endif
}

} // namespace

SerialPortScan::SerialPortScan(ComPortMap map, QString byIdFolder)
    : m_map(std::move(map)), m_byIdFolder(std::move(byIdFolder)) {}

bool SerialPortScan::isGrabbingService(const QString& processName) {
    static const QStringList services = {QStringLiteral("ModemManager"), QStringLiteral("brltty"),
                                         QStringLiteral("gpsd")};
    return services.contains(processName);
}

QString SerialPortScan::deviceOf(const QString& location) {
#ifdef Q_OS_WIN
    return location;
#else
    return QFileInfo(location).canonicalFilePath();
#endif
}

void SerialPortScan::refresh(bool descriptions) {
    m_byIdOf.clear();
    m_byIdLooked = 0;
    QDirIterator it(m_byIdFolder, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (; m_byIdLooked < MaxByIdEntries && it.hasNext(); ++m_byIdLooked) {
        const QString path = it.next();
        const QString device = QFileInfo(path).canonicalFilePath();
        if (!device.isEmpty() && !m_byIdOf.contains(device))
            m_byIdOf.insert(device, path);
    }
    if (!descriptions)
        return;
    m_descriptionOf.clear();
    m_usb.clear();
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
#ifdef Q_OS_WIN
        const QString device = info.portName();
#else
        const QString device = deviceOf(info.systemLocation());
#endif
        if (device.isEmpty())
            continue;
        QStringList parts;
        for (const QString& part : {info.manufacturer(), info.description(), info.serialNumber()})
            if (!part.trimmed().isEmpty() && !parts.contains(part.trimmed()))
                parts << part.trimmed();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            parts << QStringLiteral("%1:%2")
                         .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                         .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        m_descriptionOf.insert(device, parts.join(QStringLiteral(", ")));
        m_usb.insert(device, info.hasVendorIdentifier());
    }
}

PortEntry SerialPortScan::describe(int n) const {
    PortEntry entry;
    entry.number = n;
    const QString location = m_map.systemLocation(n);
    if (location.isEmpty())
        return entry;
    entry.location = location;
    const QFileInfo info(location);
    if (info.isSymLink()) {
        entry.linkTarget = info.symLinkTarget();
        // The link is the number's identity: whatever it points at after a replug
        // (a by-id name, a new terminal of the virtual drive) is the same port.
        entry.stableId = location;
    }
    const QString device = deviceOf(location);
    if (device.isEmpty()) {
        entry.state = info.isSymLink() ? PortEntry::State::DanglingLink : PortEntry::State::Absent;
        return entry;
    }
    entry.adapterPath = m_byIdOf.value(device);
    if (entry.stableId.isEmpty())
        entry.stableId = entry.adapterPath.isEmpty() ? device : entry.adapterPath;
    entry.description = m_descriptionOf.value(device);
    entry.usb = m_usb.value(device) || !entry.adapterPath.isEmpty();
    entry.state = PortEntry::State::Free;
    return entry;
}

int SerialPortScan::findAdapter(const QString& identity) const {
    if (identity.isEmpty())
        return 0;
    for (int n = ComPortMap::FirstPort; n <= ComPortMap::LastPort; ++n) {
        const PortEntry entry = describe(n);
        if (entry.state == PortEntry::State::Free && entry.stableId == identity)
            return n;
    }
    return 0;
}

void SerialPortScan::explainRefusal(PortEntry& entry, const QString& device) const {
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(device);
    if (::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        entry.state = PortEntry::State::NoPermission;
        entry.group = QFileInfo(device).group();
        return;
    }
#endif
    entry.state = PortEntry::State::Busy;
    entry.holder = lockHolder(device);
    if (entry.holder.isEmpty()) {
        entry.holder = serviceHolding(device);
        if (!entry.holder.isEmpty())
            entry.state = PortEntry::State::HeldByService;
    }
}

QString SerialPortScan::lockHolder(const QString& device) const {
    // The lock file Qt and the usual serial tools write: LCK..<name under /dev>, the
    // holder's process id on its first line and, from Qt, the program's name next.
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(u'/', u'_');
    static const char* const folders[] = {"/var/lock",        "/run/lock",       "/etc/locks",
                                          "/var/spool/locks", "/var/spool/uucp", "/tmp",
                                          "/var/tmp"};
    for (const char* folder : folders) {
        const QString file = QString::fromLatin1(folder) + QStringLiteral("/LCK..") + name;
        if (!QFileInfo::exists(file))
            continue;
        const qint64 pid = firstLine(file).toLongLong();
        if (!processAlive(pid))
            continue;
        QString program = firstLine(m_procFolder + QStringLiteral("/%1/comm").arg(pid));
        if (program.isEmpty())
            program = firstLine(file, 1);
        return program.isEmpty() ? QStringLiteral("%1").arg(pid)
                                 : QStringLiteral("%1 (%2)").arg(program).arg(pid);
    }
    return QString();
}

QString SerialPortScan::serviceHolding(const QString& device) const {
    QDirIterator it(m_procFolder, QDir::Dirs | QDir::NoDotAndDotDot);
    for (int seen = 0; seen < MaxProcesses && it.hasNext(); ++seen) {
        const QString dir = it.next();
        bool numeric = false;
        QFileInfo(dir).fileName().toLongLong(&numeric);
        if (!numeric)
            continue;
        const QString program = firstLine(dir + QStringLiteral("/comm"));
        if (!isGrabbingService(program))
            continue;
        // Its open files are readable only to the same user or root; a running
        // service we cannot look into is still the likely holder.
        QDir fds(dir + QStringLiteral("/fd"));
        if (!fds.isReadable())
            return program;
        const QStringList names =
            fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (int i = 0; i < names.size() && i < 1024; ++i)
            if (QFileInfo(fds.filePath(names[i])).symLinkTarget() == device)
                return program;
    }
    return QString();
}

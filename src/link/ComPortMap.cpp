#include "link/ComPortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

uint currentUserId() {
#ifdef Q_OS_UNIX
    return uint(::getuid());
#else
    return 0;
#endif
}

#ifdef Q_OS_UNIX
// A link placed by someone else while the folder was open to them stays theirs after
// the folder is closed again; only the user's own links name ports.
bool ownLink(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && st.st_uid == ::getuid();
}
#endif

} // namespace

ComPortMap::ComPortMap(QString linkFolder, QString deviceFolder)
    : m_linkFolder(std::move(linkFolder)), m_deviceFolder(std::move(deviceFolder)) {}

QString ComPortMap::defaultLinkFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(QStringLiteral("liftdrive"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("liftdrive-%1").arg(currentUserId()));
}

bool ComPortMap::ensureLinkFolder(const QString& folder, QString* error) {
    QFileInfo info(folder);
    // Only a folder made here gets its mode set: one that already exists may be
    // shared (/tmp) or not a folder at all, and is taken only when already private.
    if (!info.exists() && !info.isSymLink()) {
        if (!QDir().mkpath(folder)) {
            if (error)
                *error = QStringLiteral("cannot create %1").arg(folder);
            return false;
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                          QFileDevice::WriteUser | QFileDevice::ExeUser);
    }
    if (!isTrustedFolder(folder)) {
        if (error)
            *error = QStringLiteral("%1 is not a private folder of this user").arg(folder);
        return false;
    }
    return true;
}

bool ComPortMap::isTrustedFolder(const QString& folder) {
#ifdef Q_OS_UNIX
    const QFileInfo info(folder);
    if (!info.exists() || info.isSymLink() || !info.isDir())
        return false;
    if (info.ownerId() != currentUserId())
        return false;
    const auto perms = info.permissions();
    return !(perms & (QFileDevice::WriteGroup | QFileDevice::WriteOther));
#else
    Q_UNUSED(folder);
    return false;
#endif
}

QString ComPortMap::tableDevice(int n) {
    if (n < 1 || n > 12)
        return QString();
    static const char* const families[] = {"ttyS", "ttyUSB", "ttyACM"};
    return QString::fromLatin1(families[(n - 1) / 4]) + QString::number((n - 1) % 4);
}

QString ComPortMap::systemLocation(int n) const {
    if (n < FirstPort || n > LastPort)
        return QString();
#ifdef Q_OS_WIN
    return linkName(n);
#else
    if (!m_linkFolder.isEmpty() && isTrustedFolder(m_linkFolder)) {
        const QString link = QDir(m_linkFolder).filePath(linkName(n));
        // A link whose target has gone (a virtual drive that ended) still claims
        // the number, so the port shows as not free rather than as another device.
        if ((QFileInfo(link).isSymLink() || QFileInfo::exists(link)) && ownLink(link))
            return link;
    }
    const QString device = tableDevice(n);
    if (device.isEmpty())
        return QString();
    const QString path = QDir(m_deviceFolder).filePath(device);
    return QFileInfo::exists(path) ? path : QString();
#endif
}

bool ComPortMap::keepAdapter(const QString& adapterPath, int n, QString* error) const {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (n < FirstPort || n > LastPort)
        return fail(QStringLiteral("COM%1 is not a port number").arg(n));
    if (adapterPath.isEmpty() || !QFileInfo::exists(adapterPath))
        return fail(QStringLiteral("%1 does not exist").arg(adapterPath));
    if (!ensureLinkFolder(m_linkFolder, error))
        return false;
    const QDir folder(m_linkFolder);
    for (int k = FirstPort; k <= LastPort; ++k) {
        const QString link = folder.filePath(linkName(k));
        if (k != n && QFileInfo(link).symLinkTarget() == adapterPath)
            QFile::remove(link);
    }
    const QString link = folder.filePath(linkName(n));
    if ((QFileInfo(link).isSymLink() || QFileInfo::exists(link)) && !QFile::remove(link))
        return fail(QStringLiteral("cannot replace %1").arg(link));
    if (!QFile::link(adapterPath, link))
        return fail(QStringLiteral("cannot create %1").arg(link));
    return true;
}

#include "platform/SafeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace SafeFiles {

#ifdef Q_OS_UNIX

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace

Read readRegular(const QString& path, qint64 maxBytes) {
    Read result;
    // Non-blocking, so opening a pipe with no writer returns at once instead of
    // waiting for one; the type is checked on what was opened, not on the name.
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return result;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = Read::NotRegular;
        ::close(fd);
        return result;
    }
    if (st.st_size > maxBytes) {
        result.status = Read::TooLarge;
        ::close(fd);
        return result;
    }
    // The size may change while reading: never more than one byte past the limit.
    QByteArray bytes(qsizetype(maxBytes) + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + total, std::size_t(bytes.size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return result;
        }
        if (n == 0)
            break;
        total += n;
    }
    ::close(fd);
    if (total > maxBytes) {
        result.status = Read::TooLarge;
        return result;
    }
    bytes.truncate(total);
    result.bytes = bytes;
    result.status = Read::Ok;
    return result;
}

bool occupied(const QString& path) {
    struct stat st {};
    return ::lstat(native(path).constData(), &st) == 0;
}

bool renameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = native(from);
    const QByteArray target = native(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    // Without an atomic no-replace rename: a hard link fails on any existing name
    // (links are not followed), then the old name goes.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

bool ownFolder(const QString& path) {
    struct stat st {};
    return ::lstat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

#else

Read readRegular(const QString& path, qint64 maxBytes) {
    Read result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    if (!info.isFile()) {
        result.status = Read::NotRegular;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.bytes = file.read(maxBytes + 1);
    result.status = result.bytes.size() > maxBytes ? Read::TooLarge : Read::Ok;
    if (!result.ok())
        result.bytes.clear();
    return result;
}

bool occupied(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool renameNoReplace(const QString& from, const QString& to) {
    return !occupied(to) && QFile::rename(from, to);
}

bool ownFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

#endif

bool writeWhole(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // Unbuffered, so a short write shows in write()'s count: through the buffer Qt 6.4
    // reported success and swapped a truncated file in.
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
    }
    return written;
}

} // namespace SafeFiles

#pragma once
// File access that hostile names cannot turn against the user: data files are read
// only when they are regular files and only as far as a valid one can reach, and
// files are put in place under their own names, never through a link lying there.
#include <QByteArray>
#include <QString>

namespace SafeFiles {

struct Read {
    enum Status { Ok, Unreadable, NotRegular, TooLarge };
    Status status = Unreadable;
    QByteArray bytes; // the whole file when Ok
    bool ok() const { return status == Ok; }
};

// Reads `path` (a link to a regular file counts) when it is a regular file of at most
// `maxBytes` bytes. A pipe, a device or a folder is refused without waiting for it.
Read readRegular(const QString& path, qint64 maxBytes);

// Renames `from` to `to` unless `to` exists in any form (a dangling link included).
// Both names are taken as they are: a link is moved as a link, never followed.
bool renameNoReplace(const QString& from, const QString& to);
// Whether anything, a dangling link included, lies at `path`.
bool occupied(const QString& path);
// `path` is a folder itself (not a link to one) that belongs to the user running the
// program and no one else may write to. Always true where ownership is not known.
bool ownFolder(const QString& path);

// Puts `bytes` at `path` whole or not at all: written under a temporary name and
// renamed over it, so a full disk or a size limit leaves the earlier file as it was.
// False with the system's reason in `error` when it could not be written.
bool writeWhole(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace SafeFiles

#pragma once
// The single-byte Windows-1254 (Turkish) code page of the data files, by table,
// so it works on Qt builds without ICU as well.
#include <QByteArray>
#include <QString>

namespace Win1254 {
QString decode(const QByteArray& bytes);
// Characters outside the code page become "?".
QByteArray encode(const QString& text);
} // namespace Win1254

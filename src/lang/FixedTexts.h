#pragma once
// Every text the program shows that does not come from the active pack: the texts
// that stay the same in every language, and the English stand-ins for pack texts a
// pack made for an older program may lack.
#include "lang/TextId.h"

#include <QString>

namespace FixedTexts {

// Shown when no pack exists at all, so in both languages at once.
QString noLanguagePack();
// The drive's block checksum did not match.
QString badChecksum();
// A parameter file that could not be opened, read or written: "<path> dosyası açılamadı."
QString fileNotOpened(const QString& nativePath);

// The recording export: the file could not be written, or it was.
QString recordNotWritten(const QString& nativePath);
QString recordWritten(const QString& nativePath);

// The stand-in for text `id` when the pack has none; empty when there is no stand-in.
QString fallback(TextId id);

} // namespace FixedTexts

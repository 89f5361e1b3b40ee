#pragma once
// The site entries of the last report, offered again the next time one is made.
#include "report/ReportData.h"

class QSettings;

namespace SiteMemory {

SiteEntry recall(const QSettings& settings);
void remember(QSettings& settings, const SiteEntry& entry);

} // namespace SiteMemory

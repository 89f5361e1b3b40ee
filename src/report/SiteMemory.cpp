#include "report/SiteMemory.h"

#include <QSettings>

namespace {
const QString kSite = QStringLiteral("report/site");
const QString kLift = QStringLiteral("report/lift");
const QString kTechnician = QStringLiteral("report/technician");
const QString kNote = QStringLiteral("report/note");
} // namespace

namespace SiteMemory {

SiteEntry recall(const QSettings& settings) {
    return {settings.value(kSite).toString(), settings.value(kLift).toString(),
            settings.value(kTechnician).toString(), settings.value(kNote).toString()};
}

void remember(QSettings& settings, const SiteEntry& entry) {
    settings.setValue(kSite, entry.site);
    settings.setValue(kLift, entry.lift);
    settings.setValue(kTechnician, entry.technician);
    settings.setValue(kNote, entry.note);
}

} // namespace SiteMemory

#include "report/ReportData.h"

#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/NumberText.h"
#include "ride/TravelFigures.h"
#include "sim/SimModule.h"

#include <QLocale>
#include <QTime>

namespace ReportText {

QString singleLine(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    return out.trimmed();
}

QString paragraphs(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    for (QChar& c : out)
        if (c.category() == QChar::Other_Control && c != u'\n')
            c = u' ';
    return out.trimmed();
}

QString figure(double value, int decimals) {
    if (!std::isfinite(value))
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

} // namespace ReportText

namespace {

// The grid's comparison: the texts with their first "," read as ".".
QString comparable(const QString& text) {
    return NumberText::replacedFirst(text, u',', u'.');
}

} // namespace

QString ReportData::programVersion() {
    return QStringLiteral(LIFTDRIVE_VERSION);
}

QList<ReportParamRow> parameterRows(const ParamModule& params,
                                    const std::array<QString, 128>& driveTexts) {
    std::array<QString, ParamModule::Count> defaults;
    for (const ParamModule::Default& d : ParamModule::factoryDefaults())
        defaults[std::size_t(d.index)] = NumberText::generalC(d.value);
    QList<ReportParamRow> rows;
    for (int i = 0; i < ParamModule::Count; ++i) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(i)];
        if (def.isPlaceholder())
            continue;
        ReportParamRow row;
        row.index = i;
        row.name = def.name;
        row.id = def.id;
        row.unit = def.unit;
        row.programText = NumberText::generalC(params.GetParameter(i));
        const QString& drive = driveTexts[std::size_t(i)];
        row.driveText = drive.isEmpty() ? QStringLiteral("?") : comparable(drive);
        row.defaultText = defaults[std::size_t(i)];
        row.differsFromDefault = !row.defaultText.isEmpty() && row.defaultText != row.programText;
        // A value never read, or one the drive does not have, is no difference.
        const bool driveKnown = !drive.isEmpty() && drive != u"?" && drive != u"N/A";
        row.driveDiffers = driveKnown && row.driveText != row.programText;
        rows.append(row);
    }
    return rows;
}

void fillTravel(ReportData& data, const SimModule& sim, const LangModule& lang) {
    const StopModeControls& c = sim.controls();
    data.stopMode =
        lang.LangText(c.stopModeIndex() == 0 ? TextId::StopByDistance : TextId::StopBySpeed);
    data.slowingDistance = c.text(StopModeBox::SlowingDistance);
    data.stoppingDistance = c.text(StopModeBox::StoppingDistance);
    data.slowingJerk = c.text(StopModeBox::SlowingS);
    data.stoppingJerk = c.text(StopModeBox::StoppingS);
    data.duration = NumberText::general(sim.duration());
}

ReportTravelRow travelRow(const TravelFigures& f) {
    ReportTravelRow row;
    constexpr double day = 24 * 3600;
    if (f.start >= 0 && f.start < day)
        row.start = QTime(0, 0).addMSecs(int(f.start * 1000)).toString(QStringLiteral("HH:mm:ss"));
    else
        row.start = ReportText::figure(f.start, 1);
    row.flight = f.flight;
    row.distance = f.distance;
    row.vmax = f.vmax;
    row.amax = f.amax;
    row.dmax = f.dmax;
    row.jmax = f.jmax;
    row.creep = f.creep;
    row.ipeak = f.ipeak;
    row.complete = f.complete;
    return row;
}

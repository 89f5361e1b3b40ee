#pragma once
// What a commissioning report holds, gathered from the program's state into plain
// values: the site, the drive and the files, the parameter table, the travel and the
// measured travels. The drawing code reads only this.
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <cmath>
#include <limits>

class LangModule;
class ParamModule;
class SimModule;
struct TravelFigures;

// What the technician types when the report is made.
struct SiteEntry {
    QString site;
    QString lift;
    QString technician;
    QString note;
};

struct ReportParamRow {
    int index = 0;
    QString name;
    QString id;
    QString driveText;   // "?" before a read, "N/A" where the drive lacks the parameter
    QString programText; // the value to write
    QString unit;
    QString defaultText; // empty where the factory set has no value
    bool differsFromDefault = false;
    bool driveDiffers = false; // only where the drive's value is known
};

// One travel measured from the drive's stream. Figures that could not be computed
// are NaN and shown empty.
struct ReportTravelRow {
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();
    QString start; // time of day or seconds into the recording
    double flight = None;
    double distance = None;
    double vmax = None;
    double amax = None;
    double dmax = None;
    double jmax = None;
    double creep = None;
    double ipeak = None;
    bool complete = true;
    // The simulation run with the travel's own command timing, when it was matched.
    double simulatedFlight = None;
    double simulatedCreep = None;
    bool matched() const { return std::isfinite(simulatedFlight); }
};

struct ReportData {
    // The version of this build, as the report names it.
    static QString programVersion();

    SiteEntry site;
    QDateTime made;
    QString edition; // the window title of the edition
    QString version;
    QString port;     // empty when no port is chosen
    QString firmware; // empty before the drive was read
    bool valuesIdentical = false;
    QDateTime lastTransfer; // invalid: neither read nor written
    QString paramFile;      // empty: none opened or saved

    QList<ReportParamRow> rows;

    // The travel section: the stop mode and the four boxes as the travel page shows them.
    QString stopMode;
    QString slowingDistance;
    QString stoppingDistance;
    QString slowingJerk;
    QString stoppingJerk;
    QString duration; // seconds

    // Measured travels: where they came from (a recording file, or empty for the live
    // list) and what was found. `travelsKnown` is false when nothing was measured.
    bool travelsKnown = false;
    QString travelsSource;
    QList<ReportTravelRow> travels;
};

namespace ReportText {

// A text for one line of the report: control characters (line breaks among them)
// become spaces, surrounding blanks go.
QString singleLine(const QString& text);
// A text of several paragraphs: line breaks are kept (CR LF and CR count as one),
// every other control character becomes a space.
QString paragraphs(const QString& text);
// A number of the figures table: empty for NaN, else `decimals` decimals in the
// locale's format.
QString figure(double value, int decimals);

} // namespace ReportText

// The table of every named parameter, in catalogue order. `driveTexts` holds what the
// grid's drive column shows for each index (empty: not read).
QList<ReportParamRow> parameterRows(const ParamModule& params,
                                    const std::array<QString, 128>& driveTexts);

// A measured travel as the report lists it; its start, in seconds since midnight as
// recordings count, as the time of day.
ReportTravelRow travelRow(const TravelFigures& figures);

// The travel section from the model's stop-mode controls and duration.
void fillTravel(ReportData& data, const SimModule& sim, const LangModule& lang);

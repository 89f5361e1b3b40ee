// The measured travels of a one-hour recording at 100 samples a second (360 000 rows,
// about 200 travels): their figures, and the reading of the recording's file.
#include "ride/Recording.h"
#include "ride/TravelFigures.h"
#include "support/RideRecordings.h"

#include "Median.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QList<RideSample> samples = RideRecordings::travels(3600, 100);
    qsizetype travels = 0;
    const double figures =
        medianMs(9, [&](int) { travels = Ride::measureTravels(samples, 0.05).size(); });
    out << "# " << samples.size() << " samples, " << travels << " travels\n";
    out << "BENCH travel_figures_ms " << figures << " ms\n";

    // Written with a decimal comma, as a Turkish machine exports it.
    QTemporaryDir dir;
    QFile file(dir.filePath("hour.csv"));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(RideRecordings::csv(samples, QLatin1Char(','))) <= 0)
        return 1;
    file.close();
    qsizetype rows = 0;
    const double load =
        medianMs(9, [&](int) { rows = RecordingFile::read(file.fileName()).samples.size(); });
    out << "# " << file.size() << " bytes, " << rows << " rows read\n";
    out << "BENCH recording_load_ms " << load << " ms\n";
    return 0;
}

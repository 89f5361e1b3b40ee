#include "Travels.h"

#include "Catalogue.h"

#include "ride/Recording.h"
#include "ride/TravelFigures.h"

#include <QLocale>
#include <QTextStream>
#include <cmath>
#include <optional>

namespace {

QString usage() {
    return QStringLiteral(
        "Usage: liftdrive-profile --travels FILE.csv [--params FILE.quv] [--v0 M_PER_S]\n"
        "\n"
        "Prints the figures of every travel in a recording of the monitor, one line each:\n"
        "start_s,flight_s,distance_m,vmax_mps,amax_mps2,dmax_mps2,jmax_mps3,creep_s,\n"
        "ipeak_a,irms_a,complete (docs/travel-figures.md defines them; an empty figure\n"
        "is nan).\n"
        "\n"
        "  --v0 M_PER_S      levelling speed for the creep time; without it, V0 of the\n"
        "  --params FILE     parameter file, else the factory value\n");
}

QString figure(double value) {
    return std::isnan(value) ? QStringLiteral("nan") : QString::number(value, 'g', 12);
}

} // namespace

namespace ProfileTravels {

QString why(const RecordingFile::Result& r) {
    switch (r.failure) {
    case RecordingFile::Failure::NotAFile:
        return QStringLiteral("no such file");
    case RecordingFile::Failure::Unreadable:
        return QStringLiteral("cannot be read (%1)").arg(r.detail);
    case RecordingFile::Failure::TooLarge:
        return QStringLiteral("larger than %1 MB, not a recording")
            .arg(RecordingFile::MaxBytes >> 20);
    case RecordingFile::Failure::NotASample:
        return QStringLiteral("not a recording of the monitor: line %1 is not a sample "
                              "(time; speed; acceleration; current)")
            .arg(r.line);
    case RecordingFile::Failure::NoSamples:
        return QStringLiteral("holds no samples");
    case RecordingFile::Failure::None:
    case RecordingFile::Failure::Cancelled:
        break;
    }
    return QString();
}

bool wanted(const QStringList& args) {
    return args.contains(QStringLiteral("--travels"));
}

int run(const QStringList& args) {
    QTextStream err(stderr);
    QString recording, paramsFile;
    std::optional<double> v0;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-h" || arg == u"--help") {
            QTextStream(stdout) << usage();
            return 0;
        }
        const bool known = arg == u"--travels" || arg == u"--params" || arg == u"--v0";
        QString problem;
        if (!known)
            problem = QStringLiteral("unknown argument \"%1\"").arg(arg);
        else if (i + 1 >= args.size())
            problem = QStringLiteral("%1 needs a value").arg(arg);
        if (problem.isEmpty()) {
            const QString value = args[++i];
            if (arg == u"--travels") {
                recording = value;
            } else if (arg == u"--params") {
                paramsFile = value;
            } else {
                bool ok = false;
                v0 = QLocale::c().toDouble(value, &ok);
                if (!ok || !std::isfinite(*v0) || *v0 < 0.0)
                    problem = QStringLiteral("--v0 takes a speed in m/s, not \"%1\"").arg(value);
            }
        }
        if (!problem.isEmpty()) {
            err << "liftdrive-profile: " << problem << "\n\n" << usage();
            return 2;
        }
    }

    const RecordingFile::Result read = RecordingFile::read(recording);
    if (!read.ok()) {
        err << "liftdrive-profile: " << recording << ": " << why(read) << Qt::endl;
        return 1;
    }
    if (!v0) {
        ProfileCatalogue catalogue;
        if (!catalogue.open() || (!paramsFile.isEmpty() && !catalogue.loadFile(paramsFile)))
            return 1;
        v0 = catalogue.params.valueById(QStringLiteral("V0"));
    }

    QTextStream out(stdout);
    out << "start_s,flight_s,distance_m,vmax_mps,amax_mps2,dmax_mps2,jmax_mps3,creep_s,ipeak_a,"
           "irms_a,complete\n";
    for (const TravelFigures& f : Ride::measureTravels(read.samples, *v0)) {
        for (const double value : {f.start, f.flight, f.distance, f.vmax, f.amax, f.dmax, f.jmax,
                                   f.creep, f.ipeak, f.irms})
            out << figure(value) << ',';
        out << (f.complete ? '1' : '0') << '\n';
    }
    return 0;
}

} // namespace ProfileTravels

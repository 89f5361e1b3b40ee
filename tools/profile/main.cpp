// liftdrive-profile: the travel model from the command line, for comparing parameter
// sets in scripts. Loads the catalogue as the program does, runs one simulation and
// prints the plotted samples as CSV.
#include "Catalogue.h"
#include "ReportOption.h"
#include "Travels.h"

#include "sim/SimModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QStringList>
#include <QTextStream>
#include <cmath>
#include <optional>

namespace {

const QString kTitle = QStringLiteral("liftdrive-profile");

// The longest duration accepted: far beyond the program's 60 s, well below the time
// at which 1 ms no longer moves a single-precision clock.
constexpr float kMaxDuration = 3600.0f;

// Messages of the catalogue and the model go to stderr; nothing is asked.
struct Signal {
    int lane;
    float from;
    float to;
};

struct Options {
    QString paramsFile;
    float duration = 15.0f;
    std::optional<int> stopMode;
    std::optional<float> slowingCm;
    std::optional<float> stoppingCm;
    QList<Signal> commands;
    bool help = false;
};

QString usage() {
    return QStringLiteral(
        "Usage: liftdrive-profile [--params FILE.quv] [--duration S] [--stop-mode 0|1]\n"
        "                         [--slowing-cm X] [--stopping-cm Y] [--signal K:FROM:TO ...]\n"
        "\n"
        "Runs the travel model once and prints every plotted sample as\n"
        "t,x,v,a,phase,stopRequest (SI units), then '#' lines with the stop-mode boxes\n"
        "and the number of steps.\n"
        "\n"
        "  --params FILE     parameter file loaded over the defaults\n"
        "  --duration S      simulation duration in seconds (default 15)\n"
        "  --stop-mode M     0 by distance, 1 by speed and acceleration\n"
        "                    (default: the catalogue's \"stpmod\")\n"
        "  --slowing-cm X    slowing distance V3 to V0 in cm (\"slwd\")\n"
        "  --stopping-cm Y   stopping distance V0 to standstill in cm (\"stpd\")\n"
        "  --signal K:F:T    command V<K> (K = 0..3) on from F to T seconds; may repeat.\n"
        "                    Without any, the default travel: V0 1-13 s, V3 1-9 s at 15 s.\n"
        "\n"
        "liftdrive-profile --travels FILE.csv ... measures the travels of a recording\n"
        "(--travels --help tells more).\n"
        "\n"
        "Exit status: 0 done, 1 the run or the data files failed or an input value was\n"
        "refused by the catalogue (each one named on stderr), 2 bad arguments.\n");
}

bool number(const QString& text, float* value) {
    bool ok = false;
    const float v = QLocale::c().toFloat(text.trimmed(), &ok);
    if (ok)
        *value = v;
    return ok && std::isfinite(v);
}

// Parses the arguments; an empty result means they are valid.
QString parse(const QStringList& args, Options& o) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-h" || arg == u"--help") {
            o.help = true;
            continue;
        }
        static const QStringList withValue = {"--params",     "--duration",    "--stop-mode",
                                              "--slowing-cm", "--stopping-cm", "--signal"};
        if (!withValue.contains(arg))
            return QStringLiteral("unknown argument \"%1\"").arg(arg);
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(arg);
        const QString value = args[++i];
        float f = 0.0f;
        if (arg == u"--params") {
            o.paramsFile = value;
        } else if (arg == u"--duration") {
            if (!number(value, &f) || f < 0.0f || f > kMaxDuration)
                return QStringLiteral("--duration takes seconds from 0 to %1").arg(kMaxDuration);
            o.duration = f;
        } else if (arg == u"--stop-mode") {
            if (value != u"0" && value != u"1")
                return QStringLiteral("--stop-mode takes 0 or 1");
            o.stopMode = value.toInt();
        } else if (arg == u"--slowing-cm" || arg == u"--stopping-cm") {
            if (!number(value, &f))
                return QStringLiteral("%1 takes a number of centimetres").arg(arg);
            (arg == u"--slowing-cm" ? o.slowingCm : o.stoppingCm) = f;
        } else { // --signal
            const QStringList parts = value.split(u':');
            Signal s{};
            bool ok = parts.size() == 3 && parts[0].size() == 1 && parts[0][0] >= u'0' &&
                      parts[0][0] <= u'3';
            if (ok) {
                s.lane = parts[0].toInt();
                ok = number(parts[1], &s.from) && number(parts[2], &s.to) && s.from >= 0.0f &&
                     s.from < s.to;
            }
            if (!ok)
                return QStringLiteral("--signal takes K:FROM:TO with K from 0 to 3 and "
                                      "0 <= FROM < TO seconds, not \"%1\"")
                    .arg(value);
            o.commands.append(s);
        }
    }
    return QString();
}

// Prints each plotted sample as one CSV line.
class CsvPlotter final : public TravelPlotter {
public:
    explicit CsvPlotter(QTextStream& out) : m_out(out) {}
    // A refused run prints nothing, not even the header.
    void runStarting() override { m_out << "t,x,v,a,phase,stopRequest\n"; }
    void plot(const TravelSample& s) override {
        m_out << num(s.t) << ',' << num(s.x) << ',' << num(s.v) << ',' << num(s.a) << ',' << s.phase
              << ',' << s.stopRequest << '\n';
    }

private:
    static QString num(float f) { return QString::number(double(f), 'g', 9); }
    QTextStream& m_out;
};

} // namespace

int main(int argc, char* argv[]) {
    if (ReportOption::requested(argc, argv))
        return ReportOption::run(argc, argv);
    QCoreApplication app(argc, argv);
    // Output for scripts: the same number format whatever the user's locale.
    QLocale::setDefault(QLocale::c());
    QTextStream err(stderr);
    if (ProfileTravels::wanted(app.arguments()))
        return ProfileTravels::run(app.arguments());

    Options options;
    const QString problem = parse(app.arguments(), options);
    if (!problem.isEmpty()) {
        err << "liftdrive-profile: " << problem << "\n\n" << usage();
        return 2;
    }
    if (options.help) {
        QTextStream(stdout) << usage();
        return 0;
    }

    ProfileCatalogue catalogue;
    StderrPrompts& prompts = catalogue.prompts;
    LangModule& lang = catalogue.lang;
    ParamModule& params = catalogue.params;
    SimModule sim;
    TextStopModeControls controls;
    sim.setControls(&controls);
    if (!catalogue.open(&sim))
        return 1;
    // Every message from here on is the setter refusing one of the user's values
    // (and keeping the catalogue's): the run would not be the one asked for.
    const int messagesBefore = prompts.count();
    if (!options.paramsFile.isEmpty() && !catalogue.loadFile(options.paramsFile))
        return 1;
    // Through the setter, so the catalogue checks them and fills the boxes.
    if (options.stopMode)
        params.setById(QStringLiteral("stpmod"), float(*options.stopMode));
    if (options.slowingCm)
        params.setById(QStringLiteral("slwd"), *options.slowingCm);
    if (options.stoppingCm)
        params.setById(QStringLiteral("stpd"), *options.stoppingCm);

    if (const int refused = prompts.count() - messagesBefore; refused > 0) {
        err << "liftdrive-profile: " << refused
            << (refused == 1 ? " input value was" : " input values were")
            << " refused (see above); nothing was run" << Qt::endl;
        return 1;
    }

    if (options.commands.isEmpty()) {
        sim.setDuration(15.0f); // the program lays the default travel down for its 15 s start-up
        sim.setDefaultTravel();
    }
    sim.setDuration(options.duration);
    for (const Signal& s : options.commands)
        sim.addSignal(s.lane, s.from, s.to);

    QTextStream out(stdout);
    CsvPlotter plotter(out);
    const RunReport report = sim.simulate(&params, lang, &plotter);
    if (!report.ran) {
        prompts.warning(kTitle, report.refusal);
        return 1;
    }
    out << "# TextSlowingDistance=" << controls.text(StopModeBox::SlowingDistance) << '\n'
        << "# TextStoppingDistance=" << controls.text(StopModeBox::StoppingDistance) << '\n'
        << "# TextSlowingS=" << controls.text(StopModeBox::SlowingS) << '\n'
        << "# TextStoppingS=" << controls.text(StopModeBox::StoppingS) << '\n'
        << "# steps=" << report.steps << '\n';
    return 0;
}

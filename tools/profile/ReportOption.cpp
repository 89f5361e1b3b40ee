#include "ReportOption.h"

#include "Catalogue.h"
#include "Travels.h"
#include "app/Brand.h"
#include "report/ReportData.h"
#include "report/ReportPdf.h"
#include "report/ReportPlots.h"
#include "report/ReportRenderer.h"
#include "ride/Recording.h"
#include "ride/TravelFigures.h"
#include "sim/SimModule.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstring>

namespace {

const QString kTitle = QStringLiteral("liftdrive-profile");

struct Options {
    QString out;
    QString params;
    QString travels;
    QString site;
    QString lang;
};

QString usage() {
    return QStringLiteral(
        "Usage: liftdrive-profile --report OUT.pdf [--params FILE.quv] [--travels FILE.csv]\n"
        "                         [--site TEXT] [--lang tr|en]\n"
        "\n"
        "Writes the commissioning report of the factory set, or of the parameter file,\n"
        "with the travel it gives and the travels measured in the recording.\n");
}

QString parse(const QStringList& args, Options& o) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString* target = arg == u"--report"    ? &o.out
                          : arg == u"--params"  ? &o.params
                          : arg == u"--travels" ? &o.travels
                          : arg == u"--site"    ? &o.site
                          : arg == u"--lang"    ? &o.lang
                                                : nullptr;
        if (!target)
            return QStringLiteral("unknown argument \"%1\"").arg(arg);
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(arg);
        *target = args[++i];
    }
    if (o.out.isEmpty())
        return QStringLiteral("--report needs the name of the PDF file");
    if (!o.lang.isEmpty() && o.lang != u"tr" && o.lang != u"en")
        return QStringLiteral("--lang takes tr or en");
    return QString();
}

// The pack of language `code`: the one whose definition file is named for it.
QString packFor(const QString& folder, const QString& code) {
    LangModule lang(folder);
    lang.FindLanguagePacks();
    for (const QString& file : lang.packFiles()) {
        LangModule probe(folder);
        probe.LoadLanguagePack(file);
        if (probe.LangText(TextId::DefinitionFile).endsWith(QStringLiteral("-%1.def").arg(code)))
            return file;
    }
    return QString();
}

} // namespace

namespace ReportOption {

bool requested(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--report") == 0)
            return true;
    return false;
}

int run(int argc, char* argv[]) {
    // Nothing is shown: the pages are drawn without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    Options options;
    if (const QString problem = parse(app.arguments(), options); !problem.isEmpty()) {
        err << "liftdrive-profile: " << problem << "\n\n" << usage();
        return 1;
    }
    QString pack;
    if (!options.lang.isEmpty()) {
        pack = packFor(QCoreApplication::applicationDirPath(), options.lang);
        if (pack.isEmpty()) {
            err << "liftdrive-profile: no language pack for \"" << options.lang << "\"\n";
            return 1;
        }
    }

    ProfileCatalogue catalogue;
    SimModule sim;
    TextStopModeControls controls;
    sim.setControls(&controls);
    if (!catalogue.open(&sim, pack) ||
        (!options.params.isEmpty() && !catalogue.loadFile(options.params)))
        return 1;
    const LangModule& lang = catalogue.lang;
    const ParamModule& params = catalogue.params;

    ReportData data;
    data.site.site = options.site;
    data.made = QDateTime::currentDateTime();
    data.edition = Brand::title(Brand::edition());
    data.version = ReportData::programVersion();
    if (!options.params.isEmpty())
        data.paramFile = QDir::toNativeSeparators(QFileInfo(options.params).absoluteFilePath());
    data.rows = parameterRows(params, {});
    if (!options.travels.isEmpty()) {
        const RecordingFile::Result read = RecordingFile::read(options.travels);
        if (!read.ok()) {
            err << "liftdrive-profile: " << options.travels << ": " << ProfileTravels::why(read)
                << '\n';
            return 1;
        }
        data.travelsKnown = true;
        data.travelsSource =
            QDir::toNativeSeparators(QFileInfo(options.travels).absoluteFilePath());
        for (const TravelFigures& f :
             Ride::measureTravels(read.samples, params.valueById(QStringLiteral("V0"))))
            data.travels << travelRow(f);
    }
    sim.setDefaultTravel();
    TravelPlots plots(sim);
    if (const RunReport run = sim.simulate(&params, lang, &plots); !run.ran)
        catalogue.prompts.warning(kTitle, run.refusal);
    fillTravel(data, sim, lang);

    ReportRenderer renderer(data, lang);
    renderer.setPlotPainter(ReportPlots::painter(plots, lang));
    const ReportPdf::Written written = ReportPdf::write(options.out, renderer);
    if (!written.ok) {
        err << "liftdrive-profile: the report " << QDir::toNativeSeparators(options.out)
            << " could not be written: " << written.error << '\n';
        return 1;
    }
    return 0;
}

} // namespace ReportOption

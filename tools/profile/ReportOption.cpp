#include "ReportOption.h"

#include "app/Brand.h"
#include "lang/FixedTexts.h"
#include "lang/LangModule.h"
#include "params/ParamFiles.h"
#include "params/ParamModule.h"
#include "platform/StderrPrompts.h"
#include "report/ReportData.h"
#include "report/ReportPdf.h"
#include "report/ReportRenderer.h"
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
QString packFor(LangModule& lang, const QString& code) {
    for (const LangModule::Pack& pack : lang.packs()) {
        LangModule probe(lang.folder());
        probe.LoadLanguagePack(pack.fileName);
        if (probe.LangText(TextId::DefinitionFile).endsWith(QStringLiteral("-%1.def").arg(code)))
            return pack.fileName;
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

    StderrPrompts prompts;
    const QString folder = QCoreApplication::applicationDirPath();
    LangModule lang(folder);
    if (!lang.FindLanguagePacks()) {
        prompts.critical(kTitle, FixedTexts::noLanguagePack());
        return 1;
    }
    const QString pack =
        options.lang.isEmpty() ? lang.packs().first().fileName : packFor(lang, options.lang);
    if (pack.isEmpty()) {
        err << "liftdrive-profile: no language pack for \"" << options.lang << "\"\n";
        return 1;
    }
    if (const LangModule::PackLoad load = lang.LoadLanguagePack(pack); load.firstBadLine != 0)
        prompts.warning(kTitle, load.problem(lang));
    ParamModule params(lang, prompts);
    params.setTitle(kTitle);
    const ParamModule::DefinitionLoad definitions = params.LoadParamDefinitions(folder);
    if (!definitions.problem(lang).isEmpty())
        prompts.warning(kTitle, definitions.problem(lang));
    if (!definitions)
        return 1;

    SimModule sim;
    TextStopModeControls controls;
    sim.setControls(&controls);
    params.addListener(&sim);
    params.LoadDefaultParameters();
    if (!options.params.isEmpty() &&
        ParamFiles(params, lang, prompts, kTitle).load(options.params) != ParamFiles::Result::Done)
        return 1;
    sim.setDefaultTravel();

    ReportData data;
    data.site.site = options.site;
    data.made = QDateTime::currentDateTime();
    data.edition = Brand::title(Brand::edition());
    data.version = ReportData::programVersion();
    if (!options.params.isEmpty())
        data.paramFile = QDir::toNativeSeparators(QFileInfo(options.params).absoluteFilePath());
    data.rows = parameterRows(params, {});
    sim.simulate(&params, lang, prompts, kTitle, nullptr);
    fillTravel(data, sim, lang);

    ReportRenderer renderer(data, lang);
    const ReportPdf::Written written = ReportPdf::write(options.out, renderer);
    if (!written.ok) {
        err << "liftdrive-profile: the report " << QDir::toNativeSeparators(options.out)
            << " could not be written: " << written.error << '\n';
        return 1;
    }
    return 0;
}

} // namespace ReportOption

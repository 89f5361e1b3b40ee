// The whole commissioning report written as a PDF: the shipped catalogue's parameters,
// the travel plots and 20 measured travels.
#include "Median.h"
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/StderrPrompts.h"
#include "report/ReportPdf.h"
#include "report/ReportPlots.h"
#include "report/ReportRenderer.h"
#include "sim/SimModule.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    StderrPrompts prompts;
    LangModule lang(folder);
    if (!lang.LoadLanguagePack(QStringLiteral("UK-English.lng")).isPack())
        return 1;
    ParamModule params(lang, prompts);
    if (!params.LoadParamDefinitions(folder))
        return 1;
    SimModule sim;
    params.addListener(&sim);
    params.LoadDefaultParameters();
    sim.setDefaultTravel();
    TravelPlots plots(sim);
    sim.simulate(&params, lang, &plots);

    ReportData data;
    data.site.site = QStringLiteral("Harbour Tower, lift B");
    data.made = QDateTime::currentDateTime();
    data.edition = QStringLiteral("ORVAN-Quvera");
    data.version = ReportData::programVersion();
    data.rows = parameterRows(params, {});
    fillTravel(data, sim, lang);
    data.travelsKnown = true;
    for (int i = 0; i < 20; ++i) {
        ReportTravelRow t;
        t.start = QStringLiteral("10:%1:00").arg(i, 2, 10, QChar(u'0'));
        t.flight = 11.5 + 0.1 * i;
        t.distance = 12.0;
        t.vmax = 1.0;
        t.amax = 0.6;
        t.dmax = 0.55;
        t.jmax = 0.9;
        t.creep = 1.2;
        t.ipeak = 24.5;
        t.simulatedFlight = 11.4;
        t.simulatedCreep = 1.1;
        data.travels << t;
    }
    ReportRenderer renderer(data, lang);
    renderer.setPlotPainter(ReportPlots::painter(plots, lang));
    QTemporaryDir dir;
    int pages = 0;
    const double ms = medianMs(9, [&](int) {
        pages = ReportPdf::write(dir.filePath(QStringLiteral("r.pdf")), renderer).pages;
    });
    std::fprintf(stderr, "(%d pages)\n", pages);
    std::printf("BENCH report_pdf_ms %.1f ms\n", ms);
    return pages > 0 ? 0 : 1;
}

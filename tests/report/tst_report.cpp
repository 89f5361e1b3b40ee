// The commissioning report as a PDF reader sees it: the parameter table, the header
// of every page, hostile site texts, the travels, saving through the command.
#include "app/RideCommands.h"
#include "lang/LangModule.h"
#include "params/ParamFiles.h"
#include "params/ParamModule.h"
#include "report/ReportCommand.h"
#include "report/ReportPdf.h"
#include "report/ReportPlots.h"
#include "report/ReportRenderer.h"
#include "report/SiteMemory.h"
#include "ride/RecordingWindow.h"
#include "ride/TravelFigures.h"
#include "ride/TravelList.h"
#include "sim/TravelPage.h"
#include "support/MainWindowFixture.h"
#include "support/ModelFixture.h"
#include "support/PdfReader.h"
#include "support/ProfileTool.h"
#include "support/RecordingPrompts.h"
#include "support/RideRecordings.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// A report of the shipped English pack and catalogue as they stand.
ReportData reportData(const Program& p, const std::array<QString, 128>& drive = {}) {
    ReportData d;
    d.site.site = QStringLiteral("Harbour Tower");
    d.made = QDateTime(QDate(2026, 12, 7), QTime(10, 30));
    d.edition = QStringLiteral("ORVAN-Quvera");
    d.version = ReportData::programVersion();
    d.rows = parameterRows(p.params, drive);
    return d;
}

// Lines of the layout text that hold `name` followed by the identifier `id`.
QStringList rowLines(const QStringList& pages, const QString& name, const QString& id) {
    QStringList out;
    for (const QString& page : pages)
        for (const QString& line : page.split(u'\n'))
            if (line.contains(name + QStringLiteral("  ")) &&
                line.split(u' ', Qt::SkipEmptyParts).contains(id))
                out << line.trimmed();
    return out;
}

struct ScriptedReport final : ReportPrompts {
    std::optional<SiteEntry> site;
    SiteEntry offered;
    QString fileName;
    bool saved = false;
    std::optional<SiteEntry> askSite(const SiteEntry& last) override {
        offered = last;
        return site;
    }
    void preview(ReportPreviewHost& host) override { saved = host.savePdf(); }
    QString savePdfName(const QString&) override { return fileName; }
};

} // namespace

class TestReport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString write(ReportRenderer& renderer, const char* name = "r.pdf") {
        const QString path = dir.filePath(QString::fromLatin1(name));
        const ReportPdf::Written written = ReportPdf::write(path, renderer);
        return written.ok ? path : QString();
    }

private slots:
    void everyParameterOnceAndMarked() {
        Program s(QStringLiteral("UK-English.lng"));
        const int v3 = s.params.FindParamById("V3");
        const int pa = s.params.FindParamById("PA");
        s.params.SetParameter(v3, 1.6f); // differs from the factory set
        std::array<QString, 128> drive;
        drive[std::size_t(pa)] = QStringLiteral("0,9"); // read with a comma, differs
        drive[std::size_t(v3)] = QStringLiteral("1.6"); // same as the program's
        ReportRenderer renderer(reportData(s, drive), s.lang);
        const QStringList pages = PdfReader::pages(write(renderer));
        QVERIFY(pages.size() >= 4);
        int rows = 0;
        for (const ReportParamRow& row : renderer.data().rows) {
            const QStringList lines = rowLines(pages, row.name, row.id);
            QVERIFY2(lines.size() == 1, qPrintable(row.name + ": " + lines.join(" / ")));
            QVERIFY2(lines[0].contains(row.programText), qPrintable(lines[0]));
            const QString mark =
                QString(row.differsFromDefault ? "*" : "") + QString(row.driveDiffers ? "!" : "");
            QCOMPARE(lines[0].section(u' ', 0, 0),
                     mark.isEmpty() ? row.name.section(u' ', 0, 0) : mark);
            ++rows;
        }
        QVERIFY(rows > 60);
        // Every page the table spans is headed by its titles, once.
        int tablePages = 0;
        for (const QString& page : pages) {
            int first = -1;
            for (const ReportParamRow& row : renderer.data().rows)
                if (const QStringList lines = rowLines({page}, row.name, row.id); !lines.isEmpty())
                    first = first < 0 ? int(page.indexOf(lines[0])) : first;
            if (first < 0)
                continue;
            ++tablePages;
            QVERIFY(page.count("Identifier") == 1 && page.indexOf("Identifier") < first);
        }
        QVERIFY2(tablePages >= 2, qPrintable(QString::number(tablePages)));
        QVERIFY(rowLines(pages, renderer.data().rows[v3].name, "V3")[0].startsWith("* "));
        QVERIFY(rowLines(pages, renderer.data().rows[pa].name, "PA")[0].startsWith("! "));
    }

    void headerOnEveryPage_data() {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("shown"); // what the header shows of it
        QTest::newRow("control characters") << "Mill\tStreet\x01\x07 7\r\n"
                                            << "Mill Street 7";
        QTest::newRow("10 000 characters")
            << QString("Quay ") + QString(9995, u'x') << "Quay xxxxxxxxxx";
    }
    void headerOnEveryPage() {
        QFETCH(QString, site);
        QFETCH(QString, shown);
        Program s(QStringLiteral("UK-English.lng"));
        ReportData data = reportData(s);
        data.site = {site, site, site, site};
        ReportRenderer renderer(data, s.lang);
        const QStringList pages = PdfReader::pages(write(renderer));
        QVERIFY(pages.size() >= 4);
        for (int i = 0; i < pages.size(); ++i) {
            const QString top = pages[i].left(pages[i].indexOf(u'\n'));
            QVERIFY2(top.contains(shown), qPrintable(top));
            // Readers differ in the spaces they see around the slash.
            QVERIFY2(
                QString(top).remove(u' ').endsWith(QString("%1/%2").arg(i + 1).arg(pages.size())),
                qPrintable(top));
        }
        QVERIFY(pages.last().contains("No travel has been measured."));
    }

    void plotsPageShowsTheSpeedCurve() {
        Program s(QStringLiteral("UK-English.lng"));
        s.sim.setDefaultTravel();
        TravelPlots plots(s.sim);
        QVERIFY(s.sim.simulate(&s.params, s.lang, &plots).ran);
        ReportRenderer renderer(reportData(s), s.lang);
        renderer.setPlotPainter(ReportPlots::painter(plots, s.lang));
        const QString path = write(renderer);
        constexpr int dpi = 100;
        const QImage page = PdfReader::picture(path, renderer.plotPage(), dpi);
        QVERIFY(!page.isNull());
        const double scale = dpi / 72.0;
        const QRectF area = renderer.plotArea();
        const QRect v = ReportPlots::plotRect(TravelPlots::VPlot,
                                              QRectF(area.topLeft() * scale, area.size() * scale))
                            .toAlignedRect();
        // The same plot drawn alone at the picture's size: where its curve lies.
        QImage alone(v.size(), QImage::Format_RGB32);
        {
            QPainter p(&alone);
            plots.render(TravelPlots::VPlot, p, QRectF(QPointF(0, 0), v.size()));
        }
        const QList<QColor> curve{Qt::white, QColor(255, 255, 0), QColor(255, 0, 0)};
        // The page's curve as the reader smooths it: white, yellow or red, not the grey
        // grid nor the green guides.
        auto bright = [](QColor c) { return c.red() > 150 && (c.green() > 150 || c.green() < 90); };
        int points = 0, found = 0;
        for (int x = 2; x < v.width() - 2; x += 3)
            for (int y = 2; y < v.height() - 2; ++y) {
                if (!curve.contains(alone.pixelColor(x, y)))
                    continue;
                ++points;
                bool near = false;
                for (int dx = -2; dx <= 2 && !near; ++dx)
                    for (int dy = -2; dy <= 2 && !near; ++dy)
                        near = bright(page.pixelColor(v.left() + x + dx, v.top() + y + dy));
                found += near;
                break;
            }
        QVERIFY(points > v.width() / 6);
        QVERIFY2(found >= points * 9 / 10, qPrintable(QString("%1 of %2").arg(found).arg(points)));
    }

    void savingAsksAndReplacesWhole_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("written");
        QTest::newRow("new file") << false << false << true << true;
        QTest::newRow("replace agreed") << true << true << true << true;
        QTest::newRow("replace refused") << true << false << true << false;
        QTest::newRow("folder not writable") << false << false << false << false;
    }
    void savingAsksAndReplacesWhole() {
        QFETCH(bool, exists);
        QFETCH(bool, agree);
        QFETCH(bool, writable);
        QFETCH(bool, written);
        Program s(QStringLiteral("UK-English.lng"));
        QTemporaryDir folder;
        const QString path = folder.filePath(writable ? "site.pdf" : "gone/site.pdf");
        if (exists)
            QVERIFY(RideRecordings::writeFile(path, "earlier report"));
        QSettings settings(dir.filePath("site.ini"), QSettings::IniFormat);
        SiteMemory::remember(settings, {"Last site", "L1", "Ann", "note"});
        ScriptedReport scripted;
        scripted.site = SiteEntry{"Quay", "L2", "Bo", ""};
        scripted.fileName = path;
        s.prompts.confirmAnswers = {agree};
        ReportCommand command(
            s.lang, s.prompts, [&] { return reportData(s); }, nullptr);
        command.setReportPrompts(&scripted);
        command.setSettings(&settings);
        command.run();

        QCOMPARE(scripted.offered.site, QString("Last site"));
        QCOMPARE(SiteMemory::recall(settings).technician, QString("Bo"));
        QCOMPARE(scripted.saved, written);
        QCOMPARE(s.prompts.questions.size(), exists ? 1 : 0);
        QCOMPARE(s.prompts.messages.size(), writable ? 0 : 1);
        if (written)
            QVERIFY(PdfReader::pages(path).value(0).contains("Quay"));
        else if (exists)
            QCOMPARE(QFile(path).size(), qint64(14));
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), int(exists || written));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("seen"); // in the PDF when written, else on stderr
        QTest::newRow("parameter file")
            << QStringList{"--params", "@quv", "--site", "Pier 4", "--lang", "en"} << 0 << "Pier 4";
        QTest::newRow("unknown language") << QStringList{"--lang", "xx"} << 1 << "--lang";
        QTest::newRow("recording")
            << QStringList{"--travels", "@csv", "--site", "Dock"} << 0 << "Dock";
        QTest::newRow("recording without travel")
            << QStringList{"--travels", "@still", "--lang", "en"} << 0 << "holds no travel";
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, seen);
        QTemporaryDir folder;
        Program s(QStringLiteral("UK-English.lng"));
        std::array<float, 128> values = s.params.ParamValues();
        values[std::size_t(s.params.FindParamById("V3"))] = 1.75f;
        const QString quv = folder.filePath("site.quv");
        QVERIFY(RideRecordings::writeFile(quv, ParamFiles::textOf(values)));
        const QList<RideSample> samples = RideRecordings::travels(60, 50);
        QList<RideSample> still = samples;
        for (RideSample& sample : still)
            sample.v = 0;
        for (const auto& [name, recording] : {std::pair{"r.csv", samples}, {"still.csv", still}})
            QVERIFY(RideRecordings::writeFile(folder.filePath(name),
                                              RideRecordings::csv(recording, u',')));
        const QString out = folder.filePath("r.pdf");
        QStringList all{"--report", out};
        for (const QString& arg : args)
            all << (arg == "@quv"     ? quv
                    : arg == "@csv"   ? folder.filePath("r.csv")
                    : arg == "@still" ? folder.filePath("still.csv")
                                      : arg);
        const ToolOutput tool = runProfileTool(all);
        QCOMPARE(tool.exitCode, status);
        if (status != 0) {
            QVERIFY2(tool.err.contains(seen), qPrintable(tool.err));
            QCOMPARE(QDir(folder.path()).entryList({"*.pdf"}, QDir::Files).size(), 0);
            return;
        }
        const QStringList pages = PdfReader::pages(out);
        QVERIFY(pages.size() >= 2);
        for (const QString& page : pages)
            QVERIFY(seen.contains("travel") || page.left(page.indexOf(u'\n')).contains(seen));
        if (args.contains("@still"))
            QVERIFY(pages.last().contains(seen));
        if (args.contains("@csv")) {
            const QList<TravelFigures> travels = Ride::measureTravels(samples, 0.1);
            QVERIFY(travels.size() > 3);
            for (const TravelFigures& t : travels)
                QVERIFY(pages.join("").contains(ReportText::figure(t.flight, 2)));
        }
        if (args.contains("@quv")) {
            const int v3 = s.params.FindParamById("V3");
            const QString name = s.params.ParamCatalogue[std::size_t(v3)].name;
            QVERIFY(rowLines(pages, name, "V3").value(0).contains("1.75"));
        }
    }

    // The report the window makes holds the recording's travels, the chosen one over
    // the plots and, its lanes matched, its simulated figures beside the measured.
    void fileMenuReport() {
        MainWindowFixture<> f;
        QVERIFY(f.startAndShow());
        const QString quv = dir.filePath("menu.quv"), csv = dir.filePath("menu.csv");
        QVERIFY(RideRecordings::writeFile(quv, ParamFiles::textOf(f.form.params().ParamValues())));
        const QList<RideSample> samples = RideRecordings::travels(60, 50);
        QVERIFY(RideRecordings::writeFile(csv, RideRecordings::csv(samples, u'.')));
        f.prompts.fileAnswers << quv << csv;
        f.child<QAction>("MI_OpenFile")->trigger();
        f.child<QAction>("MI_OpenRecording")->trigger();
        f.child<QTabBar>("TabStrip1")->setCurrentIndex(2);
        QVERIFY(f.form.ride()->recordingWindow()->isVisible());
        QTreeWidget* view = f.form.ride()->recordingWindow()->list()->view();
        QCOMPARE(view->topLevelItemCount(), int(Ride::measureTravels(samples, 0.1).size()));
        view->setCurrentItem(view->topLevelItem(1));
        f.child<QPushButton>("CommandMatchSignals")->click();
        const TravelPlots& shown = f.child<TravelPage>("FrameSeyir")->plots();
        // The chosen travel lies over the simulation from its first moving sample on.
        QVERIFY(shown.measured().has_value() && shown.measured()->t.value(1) == 0.0);
        QVERIFY(f.child<QWidget>("MeasuredComparison")->isVisible());

        QSettings settings(dir.filePath("menu.ini"), QSettings::IniFormat);
        ScriptedReport scripted;
        scripted.site = SiteEntry{"Menu Site", "", "", ""};
        scripted.fileName = dir.filePath("menu.pdf");
        auto* command = f.form.findChild<ReportCommand*>("ReportCommand");
        command->setReportPrompts(&scripted);
        command->setSettings(&settings);
        f.child<QAction>("MI_Report")->trigger();
        QVERIFY(scripted.saved);
        const QStringList pages = PdfReader::pages(scripted.fileName);
        QVERIFY2(pages.value(0).contains("Menu Site") && pages.value(0).contains("menu.quv") &&
                     pages.value(0).contains(f.form.editionTitle()),
                 qPrintable(pages.value(0)));
        const QList<MeasuredTravel>& travels = f.form.ride()->shownTravels();
        QVERIFY(travels.size() > 2);
        // The first two travels' rows: the second, matched, with its simulated figures.
        QStringList rows;
        for (const QString& line : pages.join(u'\n').split(u'\n'))
            for (const MeasuredTravel& t : travels.mid(0, 2))
                if (line.contains(travelRow(t.figures).start + " "))
                    rows << line;
        QCOMPARE(rows.size(), 2);
        const QStringList simulated{ReportText::figure(shown.simulatedFlight(), 2),
                                    ReportText::figure(shown.simulatedCreep(), 2)};
        QCOMPARE(rows[1].split(u' ', Qt::SkipEmptyParts).mid(10), simulated);
        QCOMPARE(rows[0].split(u' ', Qt::SkipEmptyParts).size(), 10);
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void suggestedName_data() {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("name");
        QTest::newRow("separators") << "../A/B: C?"
                                    << "A_B__C_-2026-12-07.pdf";
        QTest::newRow("empty") << " \t"
                               << "2026-12-07.pdf";
    }
    void suggestedName() {
        QFETCH(QString, site);
        QFETCH(QString, name);
        QCOMPARE(ReportCommand::suggestedName("/docs", site, QDate(2026, 12, 7)), "/docs/" + name);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"

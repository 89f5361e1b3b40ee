// The monitor tick and the live stream. First the tick alone (drain, decode, history,
// the whole chart redrawn at the size it has in a 1280 x 900 window) with the seven
// frames a 10 ms tick finds at the full line rate; then the virtual drive streaming
// 700 frames a second over the pseudo-terminal into the monitor with a 10 ms tick,
// counting frames sent, decoded and lost and the monitor's processor time.
// Usage: bench_monitor [--seconds N] (the streaming run, 60 s by default).
#include "emulator/DriveEmulator.h"
#include "lang/LangModule.h"
#include "link/ProtocolModule.h"
#include "link/SerialLinkPort.h"
#include "monitor/MonitorPage.h"
#include "monitor/StripChart.h"
#include "params/ParamModule.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "ride/TravelList.h"
#include "support/FakeLinkPort.h"
#include "support/MonitorFrames.h"
#include "support/RecordingPrompts.h"
#include "support/RideRecordings.h"
#include "support/VirtualDrive.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <sys/resource.h>

namespace {

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QByteArray frames(int count, int speed) {
    QByteArray out;
    for (int k = 0; k < count; ++k) {
        std::uint16_t w[3];
        DriveEmulator::carAt(0.7 + 0.01 * k + speed * 0.001, &w[0], &w[1], &w[2]);
        const std::uint8_t d[6] = {std::uint8_t(w[0] >> 8), std::uint8_t(w[0]),
                                   std::uint8_t(w[1] >> 8), std::uint8_t(w[1]),
                                   std::uint8_t(w[2] >> 8), std::uint8_t(w[2])};
        out.append(char(0xFF));
        out.append(reinterpret_cast<const char*>(d), 6);
        out.append(char(DriveEmulator::frameSum(d)));
    }
    return out;
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

struct Modules {
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params{lang, prompts};
    QTemporaryDir folder;
    Modules() {
        params.ParamCatalogue[16].scale = 1000.0f;
        params.SetParameter(16, 1.0f);
        params.ParamCatalogue[20].scale = 10.0f;
        params.SetParameter(20, 13.0f);
    }
};

// The page's share of a 1280 x 900 main window (tabs, menu and status bar taken off).
const QSize PageSize(1260, 800);

// The monitor page on an in-memory line, shown at that size.
struct TickRig {
    ManualClock clock;
    FakeLinkPort port{clock};
    ProtocolModule protocol{port, clock};
    Modules m;
    MonitorPage page{protocol, m.params, m.prompts, m.folder.path()};

    explicit TickRig(QWidget* panel = nullptr) {
        port.freePorts = {1};
        port.open(1);
        if (panel)
            page.addTravelPanel(panel);
        page.resize(PageSize);
        page.show();
        page.setFullScale(1050.0f);
        page.setSelectedPort(1);
        QCoreApplication::processEvents();
    }
    // One tick finding `rx` on the line, in ms.
    double tick(const QByteArray& rx) {
        port.rx = rx;
        clock.advance(0.01);
        QElapsedTimer timer;
        timer.start();
        page.Timer1_Timer();
        return timer.nsecsElapsed() / 1e6;
    }
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("LIFTDRIVE_BIN_DIR"))
        qputenv("LIFTDRIVE_BIN_DIR",
                (QCoreApplication::applicationDirPath() + "/../bin").toLocal8Bit());
    double seconds = 60.0;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    if (at >= 0 && at + 1 < args.size())
        seconds = std::clamp(args[at + 1].toDouble(), 1.0, 3600.0);
    QTextStream out(stdout);
    QTextStream err(stderr);

    // The tick on an in-memory line.
    {
        TickRig rig;
        QList<double> ms;
        for (int k = 0; k < 2000; ++k) {
            ms << rig.tick(frames(7, k));
            if (k % 50 == 0)
                QCoreApplication::processEvents(); // let the pictures be shown now and then
        }
        QList<double> drawMs;
        QElapsedTimer timer;
        for (int k = 0; k < 500; ++k) {
            timer.start();
            StripChart::draw(*rig.page.picture(1), rig.page.tick().history, {},
                             ChartScale::plan(0, 1000, 130));
            drawMs << timer.nsecsElapsed() / 1e6;
        }
        out << "BENCH chart_draw_ms " << median(drawMs) << " ms" << Qt::endl;
        const QSize chart = rig.page.picture(1)->size();
        out << "# chart " << chart.width() << "x" << chart.height() << " pixels" << Qt::endl;
        out << "BENCH tick_ms " << median(ms) << " ms" << Qt::endl;
    }

    // The same tick with the live list of measured travels on, a day's travels listed
    // already: a car travelling every 15 s or so, one sample a tick. The ticks that end
    // a travel leave its measuring to the event loop, timed on its own.
    {
        Modules lists;
        auto* list = new TravelList(lists.lang, lists.prompts);
        list->setLevellingSpeed([] { return 0.1; });
        list->setTravels(Ride::travelsIn(RideRecordings::travels(3000, 10, 0.0, 2), 0.1));
        TickRig rig(list);
        rig.page.tick().sampleTaken = [list](double t, const MonitorState& s) {
            list->takeSample(t, s.SpeedRaw, s.AccelRaw, s.CurrentRaw);
        };
        const qsizetype earlier = list->travels().size();
        QList<double> ms, endMs, measureMs;
        QElapsedTimer timer;
        int k = 0;
        for (const RideSample& s : RideRecordings::travels(120, 100)) {
            const qsizetype before = list->travels().size();
            const double took =
                rig.tick(monitorFrame(int(s.v) & ~1, int(s.a) & ~1, int(s.c) & ~1).repeated(7));
            ms << took;
            // What the event loop does for a new travel, the list shown anew among it.
            timer.start();
            QCoreApplication::sendPostedEvents(list, QEvent::MetaCall);
            const bool added = list->travels().size() > before;
            if (added || ++k % 50 == 0)
                QCoreApplication::processEvents();
            if (added) {
                measureMs << timer.nsecsElapsed() / 1e6;
                endMs << took;
            }
        }
        const auto largest = [](const QList<double>& v) {
            return v.isEmpty() ? 0.0 : *std::max_element(v.begin(), v.end());
        };
        out << "# " << list->travels().size() - earlier << " travels added to " << earlier
            << Qt::endl;
        out << "BENCH tick_with_travels_ms " << median(ms) << " ms" << Qt::endl;
        out << "BENCH tick_travel_end_ms " << largest(endMs) << " ms" << Qt::endl;
        out << "BENCH travel_listed_ms " << largest(measureMs) << " ms" << Qt::endl;
    }

    // The stream over the pseudo-terminal.
    VirtualDrive drive;
    if (!drive.start({"--frame-rate", QString::number(DriveEmulator::LineFrameRate)})) {
        err << "bench_monitor: the virtual drive did not start" << Qt::endl;
        return 1;
    }
    SystemClock clock;
    SerialLinkPort port(ComPortMap(drive.linkFolder(), QStringLiteral("/nonexistent")));
    if (!port.open(VirtualDrive::Com)) {
        err << "bench_monitor: cannot open the drive's port" << Qt::endl;
        return 1;
    }
    ProtocolModule protocol(port, clock, [] { QCoreApplication::processEvents(); });
    Modules m;
    MonitorPage page(protocol, m.params, m.prompts, m.folder.path());
    page.resize(PageSize);
    page.show();
    page.setFullScale(1050.0f);
    page.findChild<QSlider*>(QStringLiteral("SampleRateSlider"))->setValue(10);
    page.setSelectedPort(VirtualDrive::Com);
    page.start();
    protocol.SendData(ProtocolModule::MonitorStart);

    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(int(seconds * 1000), &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = cpuSeconds() - cpu0;
    const double elapsed = wall.nsecsElapsed() * 1e-9;

    // Stop the stream and take in what is still on its way.
    protocol.SendData(ProtocolModule::MonitorStop);
    QTimer::singleShot(500, &app, &QCoreApplication::quit);
    app.exec();
    const QStringList counts = drive.command("frames", "FRAMES").split(u' ');
    const qint64 written = counts.value(counts.indexOf("written-bytes") + 1).toLongLong();
    const qint64 sent = written / 8;
    const qint64 decoded = qint64(page.state().FramesDecoded);
    out << "BENCH frames_sent " << sent << " frames" << Qt::endl;
    out << "BENCH frames_decoded " << decoded << " frames" << Qt::endl;
    out << "BENCH frames_lost " << std::max<qint64>(0, sent - decoded) << " frames" << Qt::endl;
    out << "BENCH monitor_cpu_pct " << 100.0 * cpu / elapsed << " %" << Qt::endl;
    return 0;
}

// Parameter read and write-with-read-back over the real serial port on the virtual
// drive (paced at the line's 5600 bytes/s). Besides the totals it reports what the
// program adds above the fixed waits of a transfer and the time on the wire.
#include "lang/LangModule.h"
#include "link/ProtocolModule.h"
#include "link/SerialLinkPort.h"
#include "params/ParamModule.h"
#include "platform/Clock.h"
#include "support/FakeTransferHost.h"
#include "support/RecordingPrompts.h"
#include "support/VirtualDrive.h"
#include "transfer/ParamTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>

namespace {

constexpr double kBytesPerSecond = 5600.0;
// A read: 1 s settle; the leading byte, 126 words, trailer and checksum come in.
constexpr double kReadFixedMs = 1000.0;
constexpr double kReadWireMs = 257 / kBytesPerSecond * 1000.0;
// A write: 1 s settle, 0.3 s after "U", 0.6 s after the block, then the read-back.
// The drive paces what it sends, but a pseudo-terminal takes the program's bytes at
// once, so the 265 bytes going out cost no wire time here (47 ms on a real line).
constexpr double kWriteFixedMs = 1000.0 + 300.0 + 600.0 + kReadFixedMs;
constexpr double kWriteWireMs = kReadWireMs;

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("LIFTDRIVE_BIN_DIR"))
        qputenv("LIFTDRIVE_BIN_DIR",
                (QCoreApplication::applicationDirPath() + "/../bin").toLocal8Bit());
    QTextStream out(stdout);
    QTextStream err(stderr);

    VirtualDrive drive;
    if (!drive.start()) {
        err << "bench_link: the virtual drive did not start" << Qt::endl;
        return 1;
    }
    SystemClock clock;
    SerialLinkPort port(ComPortMap(drive.linkFolder(), QStringLiteral("/nonexistent")));
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params(lang, prompts);
    for (int k = 0; k < ParamModule::Count; ++k) {
        params.ParamCatalogue[std::size_t(k)].name = QStringLiteral("P%1").arg(k);
        params.ParamCatalogue[std::size_t(k)].minValue = -40000;
        params.ParamCatalogue[std::size_t(k)].maxValue = 70000;
    }
    params.setGridRowLookup([](int k) { return k + 1; });
    ProtocolModule protocol(port, clock);
    FakeHost host;
    host.port = VirtualDrive::Com;
    ParamTransfer transfer(protocol, params, lang, host, host, host);
    QString why;
    if (!port.open(VirtualDrive::Com, &why)) {
        err << "bench_link: " << why << Qt::endl;
        return 1;
    }

    QList<double> reads;
    QList<double> writes;
    QElapsedTimer timer;
    for (int i = 0; i < 5; ++i) {
        timer.start();
        if (transfer.ReadParameters() != ParamTransfer::Result::Done) {
            err << "bench_link: read failed: " << prompts.texts().join('|') << Qt::endl;
            return 1;
        }
        reads << timer.nsecsElapsed() / 1e6;
    }
    for (int i = 0; i < 3; ++i) {
        timer.start();
        if (transfer.WriteParameters() != ParamTransfer::Result::Done) {
            err << "bench_link: write failed: " << prompts.texts().join('|') << Qt::endl;
            return 1;
        }
        writes << timer.nsecsElapsed() / 1e6;
    }
    const double read = median(reads);
    const double write = median(writes);
    out << "BENCH read_total_ms " << QString::number(read, 'f', 1) << " ms" << Qt::endl;
    out << "BENCH read_overhead_ms " << QString::number(read - kReadFixedMs - kReadWireMs, 'f', 1)
        << " ms" << Qt::endl;
    out << "BENCH write_total_ms " << QString::number(write, 'f', 1) << " ms" << Qt::endl;
    out << "BENCH write_overhead_ms "
        << QString::number(write - kWriteFixedMs - kWriteWireMs, 'f', 1) << " ms" << Qt::endl;
    return 0;
}

#pragma once
// Write -> read-back cycles through the program's own link classes on the virtual
// drive, with a random fault injected in about one cycle out of three, on the long and
// the short block. After each cycle the drive's set is compared with the old and the
// new one: it must be one of them, and a cycle the drive did not take must never end
// as a success. After a hang-up the drive comes back on a new terminal (--replug) and
// the program reconnects the way the connection dialog does. The program's clock runs
// fast, so the settle waits a real drive needs do not make the soak take minutes.
#include "link/ProtocolModule.h"
#include "link/SerialLinkPort.h"
#include "params/ParamModule.h"
#include "platform/Clock.h"
#include "support/DataFiles.h"
#include "support/FakeConnectionHost.h"
#include "support/FakeTransferHost.h"
#include "support/VirtualDrive.h"
#include "transfer/ParamTransfer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <sys/resource.h>

// Monotonic time running `factor` times as fast as real time.
class FastClock final : public Clock {
public:
    explicit FastClock(double factor) : m_factor(factor) {}
    double monotonicSeconds() const override { return m_real.monotonicSeconds() * m_factor; }
    double secondsSinceMidnight() const override { return m_real.secondsSinceMidnight(); }

private:
    SystemClock m_real;
    double m_factor;
};

// The share of one core this process uses while the event loop runs for `msecs`.
inline double cpuShareWhileIdle(int msecs) {
    const auto cpu = [] {
        rusage u{};
        ::getrusage(RUSAGE_SELF, &u);
        return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
               double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
    };
    const double before = cpu();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(msecs);
    return (cpu() - before) / std::max(1e-3, wall.nsecsElapsed() * 1e-9);
}

struct SoakReport {
    int cycles = 0;
    int faultsInjected = 0;
    int faultsReported = 0; // injected and the cycle did not end as a success
    int notTaken = 0;       // cycles after which the drive held the old set
    int mixedSets = 0;      // the drive held neither the old nor the new set
    int unreported = 0;     // success shown for a set the drive or the program lacks
    int cleanFailures = 0;  // failures without an injected fault
    int hangups = 0;
    int reconnects = 0;
    double maxCpuAfterHangup = 0.0; // share of one core while idle after a hang-up
    QStringList problems;
};

// The virtual drive and the program's serial line to it, on a clock running fast.
struct SoakLine {
    static constexpr double ClockFactor = 10.0;
    VirtualDrive m_drive;
    FastClock m_clock{ClockFactor};
    SerialLinkPort m_port{ComPortMap(m_drive.linkFolder(), QStringLiteral("/nonexistent"))};
    ProtocolModule m_protocol{m_port, m_clock};
};

class FaultSoak : SoakLine, public ConnectionRig {
public:
    explicit FaultSoak(quint32 seed) : ConnectionRig(m_port, binFolder()), m_random(seed) {}

    bool start() {
        if (!m_drive.start({"--replug", "--no-pace"}) ||
            !lang.LoadLanguagePack(QStringLiteral("UK-English.lng")).isPack() ||
            !m_params.LoadParamDefinitions(binFolder()))
            return false;
        m_params.setGridRowLookup([this](int k) {
            return m_params.ParamCatalogue[std::size_t(k)].isPlaceholder() ? ParamModule::NoMatch
                                                                           : k + 1;
        });
        m_params.LoadDefaultParameters();
        // As the session does: a lost line leaves no port selected.
        QObject::connect(&watcher, &LineWatcher::lost, [this] { form.setSelectedPort(0); });
        QObject::connect(&form, &ConnectionForm::selectedPortChanged,
                         [this](int n) { m_host.port = n; });
        form.load();
        form.SelectFirstAvailablePort();
        return m_port.isOpen() && prompts.messages.isEmpty();
    }

    // One write and its read-back; a fault in about one of three.
    void cycle() {
        SoakReport& r = m_report;
        ++r.cycles;
        // Faulty cycles take every fault on both blocks in turn.
        const bool faulty = m_random.bounded(3) == 0;
        const int turn = faulty ? m_faultTurn++ % (2 * FaultKinds) : 0;
        const bool longBlock = faulty ? turn % 2 == 1 : m_random.bounded(2) == 1;
        const int n = longBlock ? ProtocolModule::LongBlockWords : ProtocolModule::ShortBlockWords;
        m_drive.command(QStringLiteral("firmware %1").arg(longBlock ? 830 : 826));
        m_host.version = longBlock;
        const QList<int> old = m_drive.words();
        const QList<int> sent = newSet(n);
        const QString fault = faulty ? pickFault(turn / 2, n, longBlock) : QString();
        const auto problem = [&](const QString& what) {
            r.problems << QStringLiteral("cycle %1 (%2): %3").arg(r.cycles).arg(fault, what);
        };
        if (faulty) {
            ++r.faultsInjected;
            if (m_drive.command("fault " + fault) != u"OK")
                problem("fault not set");
        }
        prompts.messages.clear();
        const ParamTransfer::Result result = m_transfer.WriteParameters();
        const bool done = result == ParamTransfer::Result::Done;
        const bool lost = result == ParamTransfer::Result::LineLost;
        if (lost)
            reconnect();
        else if (fault.startsWith(u"hangup"))
            problem("hang-up without a lost line");
        m_drive.command(QStringLiteral("clear"));

        const QList<int> stored = m_drive.words();
        const bool isNew = sameBlock(stored, sent, n);
        if (!isNew && !sameBlock(stored, old, n)) {
            ++r.mixedSets;
            problem("mixed set");
        }
        r.notTaken += !isNew;
        if (done && (!isNew || !programHolds(sent, n))) {
            ++r.unreported;
            problem("success for a set the drive or the program lacks");
        }
        if (!done && !lost && result != ParamTransfer::Result::NoAnswer &&
            result != ParamTransfer::Result::BadChecksum &&
            result != ParamTransfer::Result::NotTaken && result != ParamTransfer::Result::Doubtful)
            problem(QStringLiteral("failure without a reason (%1)").arg(int(result)));
        r.faultsReported += faulty && !done;
        if (!faulty && !done) {
            ++r.cleanFailures;
            problem(QStringLiteral("clean cycle failed (%1)").arg(int(result)));
        }
    }

    const SoakReport& report() const { return m_report; }

private:
    // Random values within the limits, on the scale's grid, for the parameters the
    // block carries; placeholders and the firmware word keep theirs.
    QList<int> newSet(int n) {
        QList<int> words = m_drive.words();
        for (int k = 0; k < n; ++k) {
            const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
            if (k == 125)
                continue;
            if (!def.isPlaceholder() && def.scale > 0.0f) {
                const double low = std::ceil(double(def.minValue) * def.scale);
                const double high = std::floor(double(def.maxValue) * def.scale);
                const double raw = low + std::floor(m_random.generateDouble() * (high - low + 1));
                m_params.SetParameter(k, float(raw / def.scale));
            }
            std::uint16_t w = 0;
            if (ParamModule::wordOf(m_params.GetParameter(k), def.scale, &w))
                words[k] = w;
        }
        return words;
    }

    static constexpr int FaultKinds = 7;

    QString pickFault(int kind, int n, bool longBlock) {
        // The answer to "D" is the leading byte, the words, and on the long block the
        // trailer and checksum; the written block always carries both.
        const int answer = 1 + 2 * n + (longBlock ? 4 : 0);
        const int written = 2 * n + 4;
        // The short block has no checksum to spoil: noise before it instead. An extra
        // byte goes before the last one: a stray byte after the whole block is harmless.
        if (kind == 0 || (kind == 1 && longBlock))
            return kind == 0 ? QStringLiteral("no-answer") : QStringLiteral("bad-checksum");
        const char* const names[] = {"",        "garbage",     "drop-byte",   "extra-byte",
                                     "garbage", "hangup-read", "hangup-write"};
        const int at[] = {0, 8, answer, answer - 1, 8, answer, written};
        const int offset = kind == 1 || kind == 4 || kind == 6 ? 1 : 0;
        return QStringLiteral("%1 %2").arg(names[kind]).arg(offset + m_random.bounded(at[kind]));
    }

    static bool sameBlock(const QList<int>& a, const QList<int>& b, int n) {
        for (int k = 0; k < n; ++k)
            if (k != 125 && a.value(k) != b.value(k))
                return false;
        return true;
    }

    // After a successful read-back the program holds what the drive holds.
    bool programHolds(const QList<int>& words, int n) const {
        for (int k = 0; k < n; ++k) {
            const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
            if (k == 125 || def.isPlaceholder() || def.scale == 0.0f)
                continue;
            if (m_params.GetParameter(k) !=
                ParamTransfer::valueOfWord(std::uint16_t(words[k]), def.scale, true))
                return false;
        }
        return true;
    }

    // After a hang-up: the watcher's notice, the CPU while idle, the drive back on a new
    // terminal, and the port chosen again as the user would.
    void reconnect() {
        SoakReport& r = m_report;
        ++r.hangups;
        QDeadlineTimer deadline(5000);
        while (form.selectedPort() != 0 && !deadline.hasExpired())
            QTest::qWait(10);
        r.maxCpuAfterHangup = std::max(r.maxCpuAfterHangup, cpuShareWhileIdle(300));
        if (m_drive.waitFor(QStringLiteral("REPLUGGED")).isEmpty()) {
            r.problems << QStringLiteral("the drive did not come back");
            return;
        }
        form.load();
        form.SelectFirstAvailablePort();
        if (m_port.isOpen())
            ++r.reconnects;
        else
            r.problems << "no reconnect: " + prompts.texts().join(u'|');
    }

    QRandomGenerator m_random;
    ParamModule m_params{lang, prompts};
    FakeHost m_host;
    ParamTransfer m_transfer{m_protocol, m_params, lang, m_host, m_host, m_host};
    SoakReport m_report;
    int m_faultTurn = 0;
};

// The longer fault soak: the end-to-end soak's write -> read-back cycles on the virtual
// drive, by default 300 of them (--cycles N, --seed S). Prints the counts; soak_mixed_sets and
// soak_unreported must be 0.
#include "support/FaultSoak.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int cycles = 300;
    quint32 seed = 1;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--cycles")
            cycles = std::max(1, args[i + 1].toInt());
        else if (args[i] == u"--seed")
            seed = args[i + 1].toUInt();
    }
    FaultSoak soak(seed);
    if (!soak.start()) {
        std::fprintf(stderr, "bench_soak: the virtual drive or the data files are missing\n");
        return 1;
    }
    for (int i = 0; i < cycles; ++i)
        soak.cycle();
    const SoakReport& r = soak.report();
    for (const QString& problem : r.problems)
        std::fprintf(stderr, "bench_soak: %s\n", qPrintable(problem));
    std::printf("BENCH soak_cycles %d cycles\n", r.cycles);
    std::printf("BENCH soak_faults_injected %d faults\n", r.faultsInjected);
    std::printf("BENCH soak_faults_reported %d faults\n", r.faultsReported);
    std::printf("BENCH soak_not_taken %d cycles\n", r.notTaken);
    std::printf("BENCH soak_hangups %d hangups\n", r.hangups);
    std::printf("BENCH soak_reconnects %d reconnects\n", r.reconnects);
    std::printf("BENCH soak_mixed_sets %d sets\n", r.mixedSets);
    std::printf("BENCH soak_unreported %d cycles\n", r.unreported);
    std::printf("BENCH soak_clean_failures %d cycles\n", r.cleanFailures);
    std::printf("BENCH soak_cpu_after_hangup %.1f %%\n", r.maxCpuAfterHangup * 100.0);
    return r.mixedSets == 0 && r.unreported == 0 ? 0 : 1;
}

// Cost of the history and the review before a write: listing a history of 10 000
// archived sets, and the work between the end of the pre-write read and the review
// on screen for 128 parameters (archiving the backup, the difference list, the dialog
// filled and shown), measured in that same full history.
#include "Median.h"
#include "lang/LangModule.h"
#include "params/ParamFiles.h"
#include "platform/StderrPrompts.h"
#include "transfer/DifferenceView.h"
#include "transfer/History.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    History history(dir.path());
    ParamSet set{};
    const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
    constexpr int Sets = 10000;
    for (int n = 0; n < Sets; ++n) {
        set[std::size_t(n % 128)] = float(n);
        const QString kind = n % 3 == 0 ? QStringLiteral("read") : QStringLiteral("write");
        if (history
                .archive(kind, 5, QStringLiteral("830"), ParamFiles::textOf(set),
                         start.addSecs(n / 2))
                .isEmpty()) {
            std::fprintf(stderr, "archive %d failed\n", n);
            return 1;
        }
    }

    qsizetype listed = 0;
    const double listMs = medianMs(7, [&](int) { listed = history.list().size(); });
    if (listed != Sets) {
        std::fprintf(stderr, "listed %lld of %d\n", qlonglong(listed), Sets);
        return 1;
    }

    LangModule lang{QString()};
    std::array<ParamDef, ParamModule::Count> catalogue;
    ParamSet drive{};
    ParamSet wanted{};
    for (int k = 0; k < ParamModule::Count; ++k) {
        catalogue[std::size_t(k)] = {QStringLiteral("Parameter %1").arg(k),
                                     QStringLiteral("P%1").arg(k), QStringLiteral("m/s")};
        drive[std::size_t(k)] = float(k) / 3;
        // Every even index but 0 changes: 63 rows.
        wanted[std::size_t(k)] = k % 2 ? drive[std::size_t(k)] : float(k) / 7;
    }
    StderrPrompts prompts;
    ReviewDialog review(lang, prompts, nullptr);
    const double reviewMs = medianMs(15, [&](int run) {
        history.archive(QStringLiteral("backup"), 5, QStringLiteral("830"),
                        ParamFiles::textOf(drive), start.addDays(1).addSecs(run));
        DifferenceDialog* dialog = review.open(differences(catalogue, drive, wanted));
        QApplication::processEvents();
        if (!dialog->isVisible() || dialog->table()->rowCount() != 63)
            std::fprintf(stderr, "review not shown\n");
        dialog->close();
        QApplication::processEvents();
    });

    std::printf("BENCH history_list_ms %.2f ms\n", listMs);
    std::printf("BENCH review_open_ms %.2f ms\n", reviewMs);
    return 0;
}

// The travel page's `simulate` as a whole (model, grid, lanes, points) on plots sized
// as in a 1280×900 main window, at 15 s and 60 s, and a slider drag: the time from a
// slider's change to the plots being finished.
#include "Median.h"
#include "support/TravelPageFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSlider>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The page's share of a 1280×900 window: less the menu bar, tab strip, status bar
    // and margins.
    TravelPageFixture f(QSize(1280, 820));
    if (!f.exposed)
        return 1;
    QApplication::processEvents();
    for (auto plot : {TravelPage::APlot, TravelPage::VPlot, TravelPage::CPlot})
        std::fprintf(stderr, "(plot %d: %d×%d pixels)\n", int(plot), f.plot(plot).image().width(),
                     f.plot(plot).image().height());

    auto* duration = f.window.findChild<QComboBox*>(QStringLiteral("SimDurationCombo"));
    duration->setCurrentIndex(2);
    std::printf("BENCH simulate_d15_ms %.3f ms\n", medianMs(101, [&](int) { f.page->simulate(); }));

    // A drag of the acceleration slider back and forth, 100 changes at 15 s.
    auto* slider = f.window.findChild<QSlider*>(QStringLiteral("AcaSlider"));
    const double change = medianMs(100, [&](int i) {
        const int step = i % 50;
        slider->setValue(i / 50 % 2 == 0 ? 20 + step : 70 - step);
    });
    std::printf("BENCH slider_change_ms %.3f ms\n", change);

    duration->setCurrentIndex(7);
    std::printf("BENCH simulate_d60_ms %.3f ms\n", medianMs(101, [&](int) { f.page->simulate(); }));
    return f.prompts.messages.isEmpty() ? 0 : 1;
}

#pragma once
// The travel page as the main window holds it: the program's start-up (English pack),
// the page in front of a shown window and ready to simulate, the defaults applied
// again through it. Distinct jerks and accelerations, so that no input can stand in
// for another.
#include "platform/Canvas.h"
#include "sim/TravelPage.h"
#include "support/ModelFixture.h"

#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

// The main window's part of the setter: every stored value re-runs the simulation
// once the parameters are there.
struct SimulateOnStore final : ParamListener {
    TravelPage* page = nullptr;
    void parameterStored(int, const ParamDef&, float) override {
        if (page && page->readyToSimulate())
            page->simulate();
    }
};

struct TravelPageFixture : Program {
    SimulateOnStore onStore;
    QWidget window; // owns the page
    TravelPage* page = nullptr;

    // `size`: the main window's client area the page gets.
    explicit TravelPageFixture(QSize size = QSize(1000, 700))
        : Program(QStringLiteral("UK-English.lng")) {
        window.setWindowTitle(QStringLiteral("Main"));
        page = new TravelPage(sim, params, lang, prompts, &window);
        (new QVBoxLayout(&window))->addWidget(page);
        window.resize(size);
        onStore.page = page;
        params.addListener(&onStore);
        page->retitle(lang);
        page->setUp();
        params.LoadDefaultParameters();
        page->selectStopMode(1);
        const QStringList ids{"S1", "S2", "S3", "S4", "PA", "NA"};
        const float values[] = {0.5f, 0.7f, 0.9f, 1.1f, 0.4f, 0.6f};
        for (int i = 0; i < ids.size(); ++i)
            params.setById(ids[i], values[i]);
        page->setInFront(true);
        // Shown, so the plots have their pictures at the size of the layout.
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
        page->simulate();
    }
    bool exposed = false;
    ~TravelPageFixture() { params.removeListener(&onStore); }

    Canvas& plot(TravelPage::Plot which) const { return *page->plot(which); }
};

#pragma once
// The travel page as the main window holds it: a shipped pack and definition file,
// the model listening to the setter, the defaults applied, the page in front of a
// shown window and ready to simulate. Distinct jerks and accelerations, so that no
// input can stand in for another.
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/Canvas.h"
#include "sim/SimModule.h"
#include "sim/TravelPage.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"

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

struct TravelPageFixture {
    RecordingPrompts prompts;
    LangModule lang{binFolder()};
    ParamModule params{lang, prompts};
    SimModule sim;
    SimulateOnStore onStore;
    QWidget window; // owns the page
    TravelPage* page = nullptr;

    // `size`: the main window's client area the page gets.
    explicit TravelPageFixture(QSize size = QSize(1000, 700)) {
        lang.LoadLanguagePack(QStringLiteral("UK-English.lng"));
        params.LoadParamDefinitions(binFolder());
        params.addListener(&sim);
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
    float value(const char* id) const { return params.valueById(QString::fromLatin1(id), -99.0f); }
};

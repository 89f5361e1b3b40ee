#include "app/RideCommands.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "lang/TextId.h"
#include "monitor/MonitorPage.h"
#include "params/ParamModule.h"
#include "platform/Prompts.h"
#include "ride/RecordingWindow.h"
#include "ride/TravelCurve.h"
#include "ride/TravelList.h"
#include "sim/TravelPage.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Rows of the live list always visible (the splitter gives it more): the newest travels.
constexpr int LiveRows = 2;
} // namespace

RideCommands::RideCommands(MonitorPage& monitor, TravelPage& travelPage, const ParamModule& params,
                           const LangModule& lang, Prompts& prompts, QWidget* mainWindow)
    : QObject(mainWindow), m_travelPage(travelPage), m_params(params), m_lang(lang),
      m_prompts(prompts), m_mainWindow(mainWindow) {
    auto* frame = new QGroupBox(QStringLiteral("Seyirler"));
    frame->setObjectName(QStringLiteral("FrameTravels"));
    LanguageUi::setTag(frame, TextId::TravelsFrame);
    m_live = new TravelList(lang, prompts, frame);
    m_live->setLevellingSpeed([this] { return levellingSpeed(); });
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(m_live);
    const int row = m_live->fontMetrics().height() + 6;
    m_live->setMinimumHeight(m_live->view()->header()->sizeHint().height() + row * LiveRows + 8);
    monitor.addTravelPanel(frame);
    monitor.tick().sampleTaken = [this](double t, const MonitorState& s) {
        m_live->takeSample(t, s.SpeedRaw, s.AccelRaw, s.CurrentRaw);
    };
    connect(m_live, &TravelList::travelChosen, this, &RideCommands::choose);

    m_recording = new RecordingWindow(lang, prompts, mainWindow);
    connect(m_recording->list(), &TravelList::travelChosen, this, &RideCommands::choose);
}

void RideCommands::addCommands(QMenu* menu, QAction* before) {
    m_open = new QAction(QStringLiteral("Kay\u0131t a\u00e7..."), menu);
    m_open->setObjectName(QStringLiteral("MI_OpenRecording"));
    LanguageUi::setTag(m_open, TextId::MenuOpenRecording);
    menu->insertAction(before, m_open);
    connect(m_open, &QAction::triggered, this, [this] {
        const QString path =
            m_prompts.openFileName(LanguageUi::asTitle(m_open->text()), QStringLiteral("*.csv"));
        if (!path.isEmpty())
            openRecording(path);
    });
}

void RideCommands::retitle(const LangModule& lang) {
    m_live->retitle(lang);
    m_recording->retitle(lang);
}

double RideCommands::levellingSpeed() const {
    return double(m_params.valueById(QStringLiteral("V0")));
}

void RideCommands::openRecording(const QString& path) {
    const QString title = m_mainWindow->windowTitle();
    const std::optional<QList<RideSample>> samples =
        RecordingLoad::read(path, m_lang, m_prompts, title, m_mainWindow);
    if (!samples)
        return;
    const QList<MeasuredTravel> travels = Ride::travelsIn(*samples, levellingSpeed());
    if (travels.isEmpty()) {
        m_prompts.information(
            title, m_lang.LangText(TextId::RecordingNoTravels).arg(QDir::toNativeSeparators(path)));
        return;
    }
    m_recording->show(path, travels);
}

const QList<MeasuredTravel>& RideCommands::shownTravels() const {
    return m_recording->isVisible() ? m_recording->list()->travels() : m_live->travels();
}

void RideCommands::choose(const MeasuredTravel& travel) {
    m_chosen = travel;
    m_travelPage.setMeasuredCurve(Ride::curveOf(travel));
    emit travelChosen(travel);
}

#include "app/ReportMenu.h"

#include "app/MainForm.h"
#include "app/RideCommands.h"
#include "lang/LanguageUi.h"
#include "params/ParamGrid.h"
#include "platform/NumberText.h"
#include "report/ReportCommand.h"
#include "report/ReportPlots.h"
#include "ride/RecordingWindow.h"
#include "sim/TravelPage.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <memory>

namespace {

// The drive column as the grid shows it, by parameter index.
std::array<QString, 128> driveTexts(const ParamGrid& grid) {
    std::array<QString, 128> texts;
    for (int i = 0; i < ParamModule::Count; ++i) {
        const int row = grid.FindGridRow(i);
        if (row != ParamGrid::NoRow)
            texts[std::size_t(i)] = grid.cellText(row, ParamGrid::DriveColumn);
    }
    return texts;
}

// The measured travels the window shows: the recording's while its window is open,
// else the live ones. The chosen travel gets the simulated figures beside its own when
// the signal lanes were matched to it.
void fillTravels(ReportData& data, const RideCommands& ride, const TravelPlots& plots,
                 bool matched) {
    const RecordingWindow* recording = ride.recordingWindow();
    const bool fromRecording = recording->isVisible();
    if (fromRecording)
        data.travelsSource = QDir::toNativeSeparators(recording->path());
    const QList<MeasuredTravel>& travels = ride.shownTravels();
    data.travelsKnown = fromRecording || !travels.isEmpty();
    const std::optional<MeasuredTravel>& chosen = ride.chosen();
    for (const MeasuredTravel& travel : travels) {
        ReportTravelRow row = travelRow(travel.figures);
        if (travel.clock.isValid())
            row.start = travel.clock.toString(QStringLiteral("HH:mm:ss"));
        if (matched && chosen && chosen->clock == travel.clock &&
            chosen->figures.start == travel.figures.start) {
            row.simulatedFlight = plots.simulatedFlight();
            row.simulatedCreep = plots.simulatedCreep();
        }
        data.travels << row;
    }
}

} // namespace

namespace ReportMenu {

QAction* add(MainForm& form, QMenu* menu, QAction* before) {
    const QDateTime started = QDateTime::currentDateTime();
    // The plots of the run the last report gathered, drawn when its pages are.
    const auto plots = std::make_shared<std::unique_ptr<TravelPlots>>();
    auto gather = [&form, started, plots] {
        ReportData data;
        data.edition = form.editionTitle();
        data.version = ReportData::programVersion();
        DriveSession& session = form.session();
        if (session.selectedPort() != 0)
            data.port = session.portStatus();
        const ParamModule& params = form.params();
        // Until a drive was read every parameter counts as present.
        if (params.driveVersion() < 100000.0f)
            data.firmware = NumberText::general(params.driveVersion());
        data.valuesIdentical = session.flashParamsIdentical();
        // The history reaches back over earlier runs; only this run's sets count.
        for (const HistoryEntry& entry : session.archived().history().list())
            if (entry.time >= started) {
                data.lastTransfer = entry.time;
                break;
            }
        data.paramFile = params.lastFile;
        data.rows = parameterRows(params, driveTexts(*form.paramGrid()));
        // The run of the values the report lists, with the travel page's lanes and
        // the measured travel it shows, whether or not the page has been opened.
        const TravelPage* page = form.travelPage();
        auto run = std::make_unique<TravelPlots>(form.sim());
        run->setMeasured(page->plots().measured());
        run->setLegend({form.lang().LangText(TextId::LegendSimulated),
                        form.lang().LangText(TextId::LegendMeasured)});
        // A refused run leaves the plots out rather than showing an earlier one.
        const bool ran = form.sim().simulate(&params, form.lang(), run.get()).ran;
        fillTravel(data, form.sim(), form.lang());
        fillTravels(data, *form.ride(), *run, ran && page->signalsMatched());
        *plots = ran ? std::move(run) : nullptr;
        return data;
    };
    auto* command = new ReportCommand(form.lang(), form.prompts(), gather, &form);
    command->setPlotPainter([plots, &form](QPainter& painter, const QRectF& area) {
        if (*plots)
            ReportPlots::painter(**plots, form.lang())(painter, area);
    });
    auto* action = new QAction(form.lang().LangText(TextId::MenuReport), menu);
    action->setObjectName(QStringLiteral("MI_Report"));
    LanguageUi::setTag(action, TextId::MenuReport);
    menu->insertAction(before, action);
    // A transfer changes what the report would show.
    QObject::connect(&form.session(), &DriveSession::transferCommandsEnabled, action,
                     &QAction::setEnabled);
    QObject::connect(action, &QAction::triggered, command, [&form, command] {
        command->setTitle(form.windowTitle());
        command->run();
    });
    return action;
}

} // namespace ReportMenu

#include "app/ReportMenu.h"

#include "app/MainForm.h"
#include "lang/LanguageUi.h"
#include "params/ParamGrid.h"
#include "platform/NumberText.h"
#include "report/ReportCommand.h"

#include <QAction>
#include <QMenu>

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

} // namespace

namespace ReportMenu {

QAction* add(MainForm& form, QMenu* menu, QAction* before) {
    const QDateTime started = QDateTime::currentDateTime();
    auto gather = [&form, started] {
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
        fillTravel(data, form.sim(), form.lang());
        return data;
    };
    auto* command = new ReportCommand(form.lang(), form.prompts(), gather, &form);
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

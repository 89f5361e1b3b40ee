#pragma once
// The measured travels in the main window: the live list on the monitor page, fed by
// every monitor tick, and File > Open recording..., which lists a recording's travels
// in a window of its own. A travel chosen in either list is shown on the travel page.
#include "ride/TravelFigures.h"

#include <QObject>
#include <optional>

class LangModule;
class MonitorPage;
class ParamModule;
class Prompts;
class QAction;
class QMenu;
class RecordingWindow;
class TravelList;
class TravelPage;

class RideCommands final : public QObject {
    Q_OBJECT
public:
    RideCommands(MonitorPage& monitor, TravelPage& travelPage, const ParamModule& params,
                 const LangModule& lang, Prompts& prompts, QWidget* mainWindow);

    // "Open recording..." before `before` in `menu`.
    void addCommands(QMenu* menu, QAction* before);
    void retitle(const LangModule& lang);

    // Reads the recording `path` and lists its travels; a file that is no recording, or
    // holds no travel, is reported and changes nothing.
    void openRecording(const QString& path);

    TravelList* liveList() const { return m_live; }
    RecordingWindow* recordingWindow() const { return m_recording; }
    QAction* openAction() const { return m_open; }
    // The travels a report lists: the recording's while its window is open, else the
    // live ones (newest first).
    const QList<MeasuredTravel>& shownTravels() const;
    // The travel chosen last in either list, if any.
    const std::optional<MeasuredTravel>& chosen() const { return m_chosen; }

signals:
    void travelChosen(const MeasuredTravel& travel);

private:
    void choose(const MeasuredTravel& travel);
    double levellingSpeed() const;

    TravelPage& m_travelPage;
    const ParamModule& m_params;
    const LangModule& m_lang;
    Prompts& m_prompts;
    QWidget* m_mainWindow;
    TravelList* m_live = nullptr;
    RecordingWindow* m_recording = nullptr;
    QAction* m_open = nullptr;
    std::optional<MeasuredTravel> m_chosen;
};

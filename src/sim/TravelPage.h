#pragma once
// The travel page ("FrameSeyir"): the acceleration, speed, position and signal plots,
// the travel parameter controls and the stop-mode frame. It runs `simulate`, keeps the
// time cursor, lets the user draw the signal timeline, and mirrors every stored travel
// parameter into its controls.
#include "params/ParamModule.h"
#include "sim/SimModule.h"

#include <QFrame>
#include <QList>
#include <QPointF>
#include <array>

class Canvas;
class LangModule;
class Prompts;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class StopModePanel;
class TravelParsPanel;

class TravelPage : public QFrame, public ParamListener, public SimulationHost {
    Q_OBJECT
public:
    enum Plot { APlot, VPlot, XPlot, CPlot }; // aPicture, vPicture, xPicture, cPicture

    // The page points the model at its stop-mode frame and listens to the setter
    // until it is destroyed; the four references must outlive it.
    TravelPage(SimModule& sim, ParamModule& params, const LangModule& lang, Prompts& prompts,
               QWidget* parent = nullptr);
    ~TravelPage() override;

    // The main window's flag: the catalogue holds a parameter set worth simulating.
    // Only then does a run reload the model's inputs and set the plots up afresh.
    void setReadyToSimulate(bool ready) { m_ready = ready; }
    bool readyToSimulate() const override { return m_ready; }
    // The travel page is the selected tab; runs started otherwise draw nothing.
    void setInFront(bool inFront) { m_inFront = inFront; }
    bool inFront() const { return m_inFront; }

    // Start-up set-up, before the catalogue's values arrive: duration 15 s, the
    // default signal timeline, slider ranges from the catalogue, the position plot
    // hidden.
    void setUp();
    // Runs the model over the chosen duration and draws the plots.
    void simulate() override;
    // Moves the time cursor on all four plots to `t` seconds (-10: out of sight).
    void refreshTCursor(float t);
    // Selects a stop mode as the main window's start-up does: the stop-mode handler
    // runs once whether or not the selection changes.
    void selectStopMode(int index);
    // The stop-mode handler: a change of the stop-mode list from any source, or
    // leaving a distance box.
    void stopModeChanged();
    // Captions from the active language pack.
    void retitle(const LangModule& lang);

    void parameterStored(int index, const ParamDef& def, float value) override;

    // Toggles one curve plot (A, V or X), as its show/hide button does.
    void toggleShowHide(Plot plot);
    short shownPlotCount() const { return m_shownPlotCount; }
    float cursorTime() const { return m_cursorTime; }
    Canvas* plot(Plot which) const { return m_plots[std::size_t(which)]; }

    // Drawing steps of a run, exposed for their callers inside the page and tests.
    void DrawPlotGrid();
    void DrawSignalLanes();

    static QColor laneColor(int lane);
    static QColor signalBackground();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    class RunPlotter;

    void buildPlots(QGridLayout* grid);
    QWidget* buildOptions();
    void plotSetUp();
    void eraseCursor();
    void plotResized(Plot which);
    void durationChosen(int item);
    void signalPressed(Qt::MouseButton button, QPointF at);
    void signalMoved(Qt::MouseButtons buttons, QPointF at);
    void signalReleased(Qt::MouseButton button, QPointF at);
    void paintLaneStrip(int lane, double fromT, double toT, bool on);
    // A distance box in stop mode 0 that holds no number: one warning, and the box
    // gets back the number the catalogue holds for it.
    void refuseBadDistances();
    QString windowTitleText() const;

    SimModule& m_sim;
    ParamModule& m_params;
    const LangModule& m_lang;
    Prompts& m_prompts;

    std::array<Canvas*, 4> m_plots{};
    std::array<QLabel*, 4> m_captions{};
    std::array<QPushButton*, 3> m_showHide{};
    std::array<bool, 3> m_hidden{};
    QGridLayout* m_plotGrid = nullptr;
    QCheckBox* m_showScales = nullptr;
    QLabel* m_durationLabel = nullptr;
    QComboBox* m_duration = nullptr;
    StopModePanel* m_stopPanel = nullptr;
    TravelParsPanel* m_pars = nullptr;

    bool m_ready = false;
    bool m_inFront = false;
    // A plot lost its picture (resized); the next run draws everything again.
    bool m_needsRedraw = true;
    bool m_redrawQueued = false;
    short m_shownPlotCount = 3;
    float m_cursorTime = -10.0f;

    // Signal editing.
    bool m_signalDragging = false;
    bool m_signalSetMode = false;
    int m_signalEditStart = 0;
    int m_signalEditLane = 0;
};

#pragma once
// The travel page ("FrameSeyir"): the acceleration, speed, position and signal plots,
// the travel parameter controls and the stop-mode frame. It runs `simulate`, keeps the
// time cursor, lets the user draw the signal timeline, lays a measured travel over the
// simulated one, and mirrors every stored travel parameter into its controls.
#include "params/ParamModule.h"
#include "sim/MeasuredCurve.h"
#include "sim/SimModule.h"
#include "sim/TravelPlots.h"

#include <QFrame>
#include <array>

class Canvas;
class LangModule;
class Prompts;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class SignalEditor;
class StopModePanel;
class TravelParsPanel;

class TravelPage : public QFrame, public ParamListener, public SimulationHost {
    Q_OBJECT
public:
    using Plot = TravelPlots::Plot;
    static constexpr Plot APlot = TravelPlots::APlot;
    static constexpr Plot VPlot = TravelPlots::VPlot;
    static constexpr Plot XPlot = TravelPlots::XPlot;
    static constexpr Plot CPlot = TravelPlots::CPlot;

    // The page points the model at its stop-mode frame and listens to the setter
    // until it is destroyed; the four references must outlive it.
    TravelPage(SimModule& sim, ParamModule& params, const LangModule& lang, Prompts& prompts,
               QWidget* parent = nullptr);
    ~TravelPage() override;

    // The session's flag, clear only while a read converts the drive's words (the
    // catalogue is then half old, half new): runs are held back meanwhile. Every other
    // run takes the catalogue's values, whatever put them there.
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

    // A measured travel over the simulated one, until cleared.
    void setMeasuredCurve(const MeasuredCurve& curve);
    void clearMeasuredCurve();
    // Sets the V3 and V0 lanes to the measured travel's command timing and runs it;
    // undoSignals brings the lanes back.
    void matchSignals();
    void undoSignals();
    // The lanes hold the measured travel's command timing, as matchSignals set them.
    bool signalsMatched() const { return m_matched; }

    // Toggles one curve plot (A, V or X), as its show/hide button does.
    void toggleShowHide(Plot plot);
    short shownPlotCount() const { return m_shownPlotCount; }
    float cursorTime() const { return m_cursorTime; }
    Canvas* plot(Plot which) const { return m_plots[std::size_t(which)]; }
    const TravelPlots& plots() const { return m_drawing; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPlots(QGridLayout* grid);
    QWidget* buildOptions();
    QWidget* buildComparison();
    void arrangeControls(int width);
    void drawAll();
    void eraseCursor();
    void plotResized(Plot which);
    void durationChosen(int item);
    void showComparison();
    // By distance, a typed distance the run cannot take: one warning, and the box
    // gets back the number the catalogue holds for it.
    void refuseBadDistances();
    QString windowTitleText() const;

    SimModule& m_sim;
    ParamModule& m_params;
    const LangModule& m_lang;
    Prompts& m_prompts;
    TravelPlots m_drawing;

    std::array<Canvas*, 4> m_plots{};
    std::array<QLabel*, 4> m_captions{};
    std::array<QPushButton*, 3> m_showHide{};
    std::array<bool, 3> m_hidden{};
    QWidget* m_content = nullptr; // the scrolled page
    QWidget* m_viewport = nullptr;
    QBoxLayout* m_controls = nullptr;
    QGridLayout* m_plotGrid = nullptr;
    QCheckBox* m_showScales = nullptr;
    QLabel* m_durationLabel = nullptr;
    QComboBox* m_duration = nullptr;
    StopModePanel* m_stopPanel = nullptr;
    TravelParsPanel* m_pars = nullptr;
    SignalEditor* m_signalEditor = nullptr;
    QWidget* m_comparison = nullptr; // measured against simulated, under the plots
    QLabel* m_comparisonText = nullptr;
    QPushButton* m_match = nullptr;
    QPushButton* m_undo = nullptr;

    bool m_ready = true;
    bool m_inFront = false;
    bool m_matched = false;
    short m_shownPlotCount = 3;
    float m_cursorTime = -10.0f;
};

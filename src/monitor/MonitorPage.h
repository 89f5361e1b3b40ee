#pragma once
// The monitor page: the double-buffered strip chart with its scale, the value labels,
// the G gauge, the chart options, the sample-rate slider and the recording buttons,
// run by the monitor tick (Timer1) and the one-second tick (Timer_1Sec).
#include "monitor/ChartScale.h"
#include "monitor/GGauge.h"
#include "monitor/MonitorTick.h"

#include <QStringList>
#include <QWidget>

class Canvas;
class LangModule;
class ParamModule;
class Prompts;
class ProtocolModule;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class ShapeWidget;

class MonitorPage final : public QWidget {
    Q_OBJECT
public:
    static constexpr int TickMs = 20; // Timer1 until the slider is moved
    static constexpr float StartFullScale = 1000.0f;

    // `params` gives the top speed and rated current of the scale; `folder` is the
    // program's folder, under which the recording is exported (csv/log.csv).
    MonitorPage(ProtocolModule& protocol, const ParamModule& params, Prompts& prompts,
                const QString& folder, QWidget* parent = nullptr);

    MonitorTick& tick() { return m_tick; }
    MonitorState& state() { return m_tick.state; }
    RecordBuffer& record() { return m_tick.record; }
    Canvas* picture(int n) const { return n == 1 ? m_picture1 : m_picture2; }
    float fullScale() const { return m_fullScale; }

    // Start-up: enables Timer1, which is off until then.
    void start();
    // Shows `panel` (the list of measured travels) under the chart, sharing the chart's
    // height through a splitter the user can drag; the chart keeps the larger part. The
    // page takes ownership.
    void addTravelPanel(QWidget* panel);
    // Captions, the scale selector's entries, the column titles of the export and the
    // no-connection notice from the pack now loaded.
    void retitle(const LangModule& lang);

public slots:
    // The port in use, 0 for none. Without a port the labels show "...".
    void setSelectedPort(int n);
    // Whether the program's values are the drive's (the warning blinks while not).
    void setValuesIdentical(bool identical);
    // Vertical full scale of the chart in mm/s (1050 x the top speed).
    void setFullScale(float scale);

    // The monitor tick. Re-arms Timer1 only at its end, so ticks never overlap even
    // when the receive lets the event loop run.
    void Timer1_Timer();
    void Timer_1Sec_Timer();
    void SampleRateSlider_Change();
    void CommandRecordData_Click();
    void CommandPauseRecData_Click();
    void CommandRecDataToClipboard_Click();

signals:
    // Status-bar panel 2: the warning that the values differ from the drive's.
    void differWarningShown(bool shown);

private:
    void buildChart(class QVBoxLayout* page);
    void buildValueRow(class QVBoxLayout* page);
    void buildOptionRow(class QVBoxLayout* page);
    void showGForce(const GGauge::Display& g);
    void showNoValues();
    ChartScale::Plan scalePlan() const;
    void rearm();

    ProtocolModule& m_protocol;
    const ParamModule& m_params;
    Prompts& m_prompts;
    QString m_folder;
    MonitorTick m_tick;
    int m_selectedPort = 0;
    bool m_valuesIdentical = false;
    float m_fullScale = StartFullScale;
    QStringList m_csvTitles;
    QString m_offlineText;

    Canvas* m_picture1 = nullptr;
    Canvas* m_picture2 = nullptr;
    class QStackedLayout* m_pictures = nullptr;
    class QSplitter* m_chartSplit = nullptr;
    QComboBox* m_scaleSelect = nullptr;
    QLabel* m_speed = nullptr;
    QLabel* m_accel = nullptr;
    QLabel* m_current = nullptr;
    QLabel* m_gForce = nullptr;
    ShapeWidget* m_gBar = nullptr;
    QCheckBox* m_showV = nullptr;
    QCheckBox* m_showA = nullptr;
    QCheckBox* m_showI = nullptr;
    QSlider* m_slider = nullptr;
    QPushButton* m_record = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_export = nullptr;
    ShapeWidget* m_shapeR = nullptr;
    ShapeWidget* m_shapeP1 = nullptr;
    ShapeWidget* m_shapeP2 = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer1Sec = nullptr;
};

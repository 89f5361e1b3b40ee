#include "monitor/MonitorPage.h"

#include "lang/FixedTexts.h"
#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "lang/TextId.h"
#include "link/LinkPort.h"
#include "link/ProtocolModule.h"
#include "monitor/ShapeWidget.h"
#include "monitor/StripChart.h"
#include "params/ParamModule.h"
#include "platform/Canvas.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The chart's width in its own units; only ratios matter.
constexpr double ChartWidth = 1000.0;
// The gauge is laid out in twips; a pixel is 15 of them at 96 dpi.
constexpr int TwipsPerPixel = 15;
constexpr int px(int twips) {
    return twips / TwipsPerPixel;
}

// Parameter indexes of the scale: the top speed V3 and the motor's rated current.
constexpr int TopSpeedIndex = 16;
constexpr int RatedCurrentIndex = 20;

const QString NoValue = QStringLiteral("...");

QGroupBox* frame(const QString& name, TextId tag, const QString& caption) {
    auto* box = new QGroupBox(caption);
    box->setObjectName(name);
    LanguageUi::setTag(box, int(tag));
    return box;
}

template <typename W> W* named(W* widget, const QString& name, TextId tag) {
    widget->setObjectName(name);
    LanguageUi::setTag(widget, int(tag));
    return widget;
}

QLabel* valueLabel(QGroupBox* box, const QString& name) {
    auto* label = new QLabel(NoValue, box);
    label->setObjectName(name);
    // Fixed pitch, so the digits do not jump while they change; large enough to read
    // from a step away from the screen.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(22);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("00.00")) + 8);
    (new QVBoxLayout(box))->addWidget(label);
    return label;
}

QFrame* lineAt(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Qt::black);
    line->setPalette(palette);
    line->setGeometry(px(x1), px(y1), std::max(1, px(x2 - x1)), std::max(1, px(y2 - y1)));
    return line;
}

} // namespace

MonitorPage::MonitorPage(ProtocolModule& protocol, const ParamModule& params, Prompts& prompts,
                         const QString& folder, QWidget* parent)
    : QWidget(parent), m_protocol(protocol), m_params(params), m_prompts(prompts), m_folder(folder),
      m_tick(protocol), m_csvTitles{QStringLiteral("H\u0131z (mm/s)"),
                                    QStringLiteral("\u0130vme (mm/s\u00b2)"),
                                    QStringLiteral("Motor ak\u0131m\u0131 (0,1 A)")},
      m_offlineText(QStringLiteral("Ba\u011flant\u0131 yok")) {
    setObjectName(QStringLiteral("MonitorPage"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    buildChart(page);
    buildValueRow(page);
    buildOptionRow(page);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(TickMs);
    connect(m_timer1, &QTimer::timeout, this, &MonitorPage::Timer1_Timer);

    m_timer1Sec = new QTimer(this);
    m_timer1Sec->setObjectName(QStringLiteral("Timer_1Sec"));
    m_timer1Sec->setInterval(1000);
    connect(m_timer1Sec, &QTimer::timeout, this, &MonitorPage::Timer_1Sec_Timer);
    m_timer1Sec->start();
}

void MonitorPage::buildChart(QVBoxLayout* page) {
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addStretch(1);
    auto* scaleFrame =
        frame(QStringLiteral("FrameScaleSelect"), TextId::Scale, QStringLiteral("Skala"));
    m_scaleSelect = new QComboBox(scaleFrame);
    m_scaleSelect->setObjectName(QStringLiteral("ComboScaleSelect"));
    m_scaleSelect->addItems({QStringLiteral("HIZ  (m/s)"), QStringLiteral("\u0130VME  (m/s\u00b2)"),
                             QStringLiteral("MOTOR AKIMI  (amper)")});
    m_scaleSelect->setCurrentIndex(ChartScale::Speed);
    (new QHBoxLayout(scaleFrame))->addWidget(m_scaleSelect);
    scaleRow->addWidget(scaleFrame);
    page->addLayout(scaleRow);

    auto* holder = new QWidget(this);
    m_pictures = new QStackedLayout(holder);
    for (auto [canvas, name] :
         {std::pair{&m_picture1, "Picture1"}, std::pair{&m_picture2, "Picture2"}}) {
        *canvas = new Canvas(holder);
        (*canvas)->setObjectName(QString::fromLatin1(name));
        (*canvas)->setBackground(QColor::fromRgb(StripChart::Background));
        (*canvas)->setScale(ChartWidth, m_fullScale);
        (*canvas)->setLineWidth(1);
        QFont font = (*canvas)->font();
        font.setPointSize(8);
        font.setBold(true);
        (*canvas)->setFont(font);
        (*canvas)->clear();
        // A resize wipes the picture, the no-connection notice with it: draw it again.
        connect(*canvas, &Canvas::resized, this,
                [this] { m_tick.state.OfflineNoticeShown = false; });
        m_pictures->addWidget(*canvas);
    }
    holder->setMinimumHeight(120);
    m_chartSplit = new QSplitter(Qt::Vertical, this);
    m_chartSplit->setObjectName(QStringLiteral("ChartSplitter"));
    m_chartSplit->setChildrenCollapsible(false);
    m_chartSplit->addWidget(holder);
    auto* inset = new QHBoxLayout;
    inset->setContentsMargins(px(100), 0, 0, 0);
    inset->addWidget(m_chartSplit);
    page->addLayout(inset, 1);
}

void MonitorPage::buildValueRow(QVBoxLayout* page) {
    auto* row = new QHBoxLayout;
    auto* v =
        frame(QStringLiteral("FrameVValue"), TextId::ScaleSpeed, QStringLiteral("HIZ  (m/s)"));
    m_speed = valueLabel(v, QStringLiteral("LabelVValue"));
    auto* a = frame(QStringLiteral("FrameAValue"), TextId::ScaleAcceleration,
                    QStringLiteral("\u0130VME  (m/s\u00b2)"));
    m_accel = valueLabel(a, QStringLiteral("LabelAValue"));
    auto* i = frame(QStringLiteral("FrameIValue"), TextId::ScaleCurrent,
                    QStringLiteral("MOTOR AKIMI  (amper)"));
    m_current = valueLabel(i, QStringLiteral("LabelIValue"));
    for (QGroupBox* box : {v, a, i})
        row->addWidget(box);

    auto* gauge = frame(QStringLiteral("FrameGgauge"), TextId::GaugeG, QStringLiteral("G"));
    auto* gaugeLayout = new QHBoxLayout(gauge);
    m_gForce = new QLabel(QStringLiteral("1.000"), gauge);
    m_gForce->setObjectName(QStringLiteral("LabelGForce"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(14);
    font.setBold(true);
    m_gForce->setFont(font);
    gaugeLayout->addWidget(m_gForce);
    auto* area = new QWidget(gauge);
    area->setFixedSize(px(GGauge::AxisRight + 120), px(GGauge::ScaleBottom + 60));
    lineAt(area, QStringLiteral("Line1"), GGauge::AxisLeft, GGauge::ScaleTop, GGauge::AxisLeft + 15,
           GGauge::ScaleBottom);
    m_gBar = new ShapeWidget(ShapeWidget::Kind::Box, QColor(0, 255, 0), area);
    m_gBar->setObjectName(QStringLiteral("ShapeGBar"));
    m_gBar->setGeometry(px(GGauge::BarLeft), px(GGauge::AxisY), px(GGauge::BarWidth), 0);
    lineAt(area, QStringLiteral("LineGBarAxis"), GGauge::AxisLeft, GGauge::AxisY, GGauge::AxisRight,
           GGauge::AxisY + 15);
    gaugeLayout->addWidget(area);
    row->addWidget(gauge);
    row->addStretch(1);
    page->addLayout(row);
}

void MonitorPage::buildOptionRow(QVBoxLayout* page) {
    auto* row = new QHBoxLayout;
    auto* options = frame(QStringLiteral("FrameMonitorOptions"), TextId::MonitorShow,
                          QStringLiteral("G\u00f6ster"));
    auto* optionsLayout = new QHBoxLayout(options);
    m_showV = named(new QCheckBox(QStringLiteral("H\u0131z"), options),
                    QStringLiteral("ShowVCheck"), TextId::ShowSpeed);
    m_showA = named(new QCheckBox(QStringLiteral("\u0130vme"), options),
                    QStringLiteral("ShowACheck"), TextId::ShowAcceleration);
    m_showI = named(new QCheckBox(QStringLiteral("Motor Ak\u0131m\u0131"), options),
                    QStringLiteral("ShowICheck"), TextId::ShowCurrent);
    for (QCheckBox* check : {m_showV, m_showA, m_showI}) {
        check->setChecked(true);
        optionsLayout->addWidget(check);
    }
    row->addWidget(options);

    auto* rate = frame(QStringLiteral("FrameMonitorSamplerate"), TextId::SampleRate,
                       QStringLiteral("\u00d6rnekleme H\u0131z\u0131"));
    auto* rateLayout = new QHBoxLayout(rate);
    rateLayout->addWidget(named(new QLabel(QStringLiteral("H\u0131zl\u0131"), rate),
                                QStringLiteral("Label20"), TextId::SampleFast));
    m_slider = new QSlider(Qt::Horizontal, rate);
    m_slider->setObjectName(QStringLiteral("SampleRateSlider"));
    m_slider->setRange(MonitorTick::MinInterval, MonitorTick::StopInterval);
    m_slider->setValue(TickMs);
    m_slider->setMinimumWidth(120);
    connect(m_slider, &QSlider::valueChanged, this, &MonitorPage::SampleRateSlider_Change);
    rateLayout->addWidget(m_slider);
    rateLayout->addWidget(named(new QLabel(QStringLiteral("Dur"), rate), QStringLiteral("Label21"),
                                TextId::SampleStop));
    row->addWidget(rate);

    auto* rec = frame(QStringLiteral("FrameMoniorRecordData"), TextId::CsvRecord,
                      QStringLiteral("CSV  kay\u0131t (Excel)"));
    auto* recLayout = new QHBoxLayout(rec);
    auto button = [rec, recLayout](const QString& name, const QString& caption,
                                   const QString& tip) {
        auto* b = new QPushButton(caption, rec);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setFixedWidth(36);
        recLayout->addWidget(b);
        return b;
    };
    m_record = button(QStringLiteral("CommandRecordData"), QStringLiteral("\u25cf"),
                      QStringLiteral("Veri kayd\u0131na ba\u015fla"));
    m_pause = button(QStringLiteral("CommandPauseRecData"), QStringLiteral("||"),
                     QStringLiteral("Veri kayd\u0131n\u0131 duraklat"));
    m_export = button(QStringLiteral("CommandRecDataToClipboard"), QStringLiteral("\u25a0"),
                      QStringLiteral("Kay\u0131t edilen verileri CSV format\u0131nda kaydet"));
    connect(m_record, &QPushButton::clicked, this, &MonitorPage::CommandRecordData_Click);
    connect(m_pause, &QPushButton::clicked, this, &MonitorPage::CommandPauseRecData_Click);
    connect(m_export, &QPushButton::clicked, this, &MonitorPage::CommandRecDataToClipboard_Click);

    // The indicator: a red dot that blinks while recording, a pause sign otherwise.
    auto* indicator = new QWidget(rec);
    indicator->setFixedSize(24, 24);
    m_shapeR = new ShapeWidget(ShapeWidget::Kind::Circle, QColor(255, 0, 0), indicator);
    m_shapeR->setObjectName(QStringLiteral("ShapeR"));
    m_shapeR->setGeometry(2, 2, 20, 20);
    m_shapeR->hide();
    m_shapeP1 = new ShapeWidget(ShapeWidget::Kind::Box, QColor(0, 0, 255), indicator);
    m_shapeP1->setObjectName(QStringLiteral("ShapeP1"));
    m_shapeP1->setGeometry(5, 3, 5, 18);
    m_shapeP2 = new ShapeWidget(ShapeWidget::Kind::Box, QColor(0, 0, 255), indicator);
    m_shapeP2->setObjectName(QStringLiteral("ShapeP2"));
    m_shapeP2->setGeometry(14, 3, 5, 18);
    recLayout->addWidget(indicator);
    row->addWidget(rec);
    row->addStretch(1);
    page->addLayout(row);
}

void MonitorPage::start() {
    rearm();
}

void MonitorPage::addTravelPanel(QWidget* panel) {
    m_chartSplit->addWidget(panel);
    // Three quarters for the chart from the start, whatever the two ask for, and of
    // every change of the window's height after.
    m_chartSplit->setSizes({3000, 1000});
    m_chartSplit->setStretchFactor(0, 3);
    m_chartSplit->setStretchFactor(m_chartSplit->indexOf(panel), 1);
}

void MonitorPage::retitle(const LangModule& lang) {
    LanguageUi::applyToWindow(this, lang);
    // Entries in the order of the scales they select: the value frames carry the same
    // texts, so each entry reads as what it selects.
    const int selected = m_scaleSelect->currentIndex();
    m_scaleSelect->clear();
    m_scaleSelect->addItems({lang.LangText(TextId::ScaleSpeed),
                             lang.LangText(TextId::ScaleAcceleration),
                             lang.LangText(TextId::ScaleCurrent)});
    m_scaleSelect->setCurrentIndex(selected);
    m_csvTitles = {lang.LangText(TextId::CsvSpeed), lang.LangText(TextId::CsvAcceleration),
                   lang.LangText(TextId::CsvCurrent)};
    m_offlineText = lang.LangText(TextId::NoConnection);
}

void MonitorPage::setSelectedPort(int n) {
    m_selectedPort = n;
    if (n == 0)
        showNoValues();
}

void MonitorPage::setValuesIdentical(bool identical) {
    m_valuesIdentical = identical;
}

void MonitorPage::setFullScale(float scale) {
    if (!(scale > 0.0f))
        return; // a chart of no height cannot be drawn; keep the last one
    m_fullScale = scale;
    m_picture1->setScale(ChartWidth, scale);
    m_picture2->setScale(ChartWidth, scale);
}

ChartScale::Plan MonitorPage::scalePlan() const {
    auto scaled = [this](int k) {
        return double(m_params.ParamValues()[std::size_t(k)] *
                      m_params.ParamCatalogue[std::size_t(k)].scale);
    };
    return ChartScale::plan(m_scaleSelect->currentIndex(), scaled(TopSpeedIndex),
                            scaled(RatedCurrentIndex));
}

void MonitorPage::showNoValues() {
    for (QLabel* label : {m_speed, m_accel, m_current})
        label->setText(NoValue);
}

void MonitorPage::rearm() {
    m_timer1->setInterval(m_slider->value());
    if (MonitorTick::rearms(m_slider->value()))
        m_timer1->start();
}

void MonitorPage::Timer1_Timer() {
    m_timer1->stop();
    const MonitorTick::Report report = m_tick.run(m_selectedPort != 0);
    if (!report.online) {
        showNoValues();
        if (report.printOfflineNotice)
            for (Canvas* picture : {m_picture1, m_picture2})
                StripChart::drawOfflineNotice(*picture, m_offlineText);
        rearm();
        return;
    }
    if (report.gauge)
        showGForce(*report.gauge);
    m_speed->setText(report.texts.speed);
    m_accel->setText(report.texts.accel);
    m_current->setText(report.texts.current);

    // The labels and the gauge are painted as soon as the tick returns to the event
    // loop; painting them here would cost more than the rest of the tick.
    // The picture in view keeps the last tick's drawing while the other is drawn.
    Canvas* target = report.drawFirstPicture ? m_picture1 : m_picture2;
    m_pictures->setCurrentWidget(report.drawFirstPicture ? m_picture2 : m_picture1);
    StripChart::draw(*target, m_tick.history,
                     {m_showV->isChecked(), m_showA->isChecked(), m_showI->isChecked()},
                     scalePlan());
    rearm();
}

void MonitorPage::showGForce(const GGauge::Display& g) {
    m_gForce->setText(g.text);
    m_gBar->setGeometry(px(GGauge::BarLeft), px(g.barTop), px(GGauge::BarWidth), px(g.barHeight));
    if (g.colourChanged)
        m_gBar->setFillColor(QColor(g.red, g.green, 0));
}

void MonitorPage::Timer_1Sec_Timer() {
    MonitorState& s = m_tick.state;
    s.BlinkPhase = !s.BlinkPhase;
    if (m_tick.record.Recording) {
        m_shapeP1->hide();
        m_shapeP2->hide();
        m_shapeR->setVisible(m_shapeR->isHidden());
    } else {
        m_shapeP1->show();
        m_shapeP2->show();
        m_shapeR->hide();
    }
    emit differWarningShown(!m_valuesIdentical && s.BlinkPhase);
}

void MonitorPage::SampleRateSlider_Change() {
    if (MonitorTick::rearms(m_slider->value()) && !m_timer1->isActive()) {
        m_timer1->setInterval(m_slider->value());
        m_timer1->start();
    }
}

void MonitorPage::CommandRecordData_Click() {
    m_tick.record.start(m_tick.now());
}

void MonitorPage::CommandPauseRecData_Click() {
    m_tick.record.pause();
}

void MonitorPage::CommandRecDataToClipboard_Click() {
    const CsvExport::Result result = CsvExport::write(m_tick.record, m_folder, m_csvTitles);
    const QString path = QDir::toNativeSeparators(result.path);
    const QString title = window()->windowTitle();
    if (!result.ok) {
        m_prompts.critical(title, FixedTexts::recordNotWritten(path));
        return;
    }
    m_prompts.information(title, FixedTexts::recordWritten(path));
}

#include "sim/TravelPage.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "platform/Canvas.h"
#include "platform/NumberText.h"
#include "platform/Prompts.h"
#include "sim/SignalEditor.h"
#include "sim/StopModePanel.h"
#include "sim/TravelParsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Exclusive-or with the complement of RGB(40, 40, 40).
const QColor kCursor(215, 215, 215);
constexpr float kCursorAway = -10.0f;
constexpr double kSignalHeight = 8.2;

const char16_t* const kDurations[] = {u"5 saniye",  u"10 saniye", u"15 saniye", u"20 saniye",
                                      u"25 saniye", u"30 saniye", u"45 saniye", u"60 s"};
constexpr int kDefaultDuration = 2; // "15 saniye"

} // namespace

TravelPage::TravelPage(SimModule& sim, ParamModule& params, const LangModule& lang,
                       Prompts& prompts, QWidget* parent)
    : QFrame(parent), m_sim(sim), m_params(params), m_lang(lang), m_prompts(prompts),
      m_drawing(sim) {
    setObjectName(QStringLiteral("FrameSeyir"));
    // A window too small for the page scrolls it rather than squeezing the plots.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("TravelPageScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    // The frames below the plots are arranged for the width the page is shown at.
    scroll->viewport()->installEventFilter(this);
    m_viewport = scroll->viewport();
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("TravelPageContent"));
    // Moves over the page itself (outside the plots) take the cursor away.
    m_content->setMouseTracking(true);
    m_content->installEventFilter(this);

    auto* page = new QVBoxLayout(m_content);
    page->setContentsMargins(4, 4, 4, 4);
    m_plotGrid = new QGridLayout;
    m_plotGrid->setVerticalSpacing(4);
    buildPlots(m_plotGrid);
    page->addLayout(m_plotGrid, 1);
    page->addWidget(buildComparison());

    // The three frames below the plots side by side where the page is wide enough,
    // stacked where it is not.
    m_controls = new QBoxLayout(QBoxLayout::LeftToRight);
    m_stopPanel = new StopModePanel(m_content);
    m_pars = new TravelParsPanel(params, m_content);
    m_controls->addWidget(m_stopPanel, 0, Qt::AlignTop);
    m_controls->addWidget(m_pars, 1, Qt::AlignTop);
    m_controls->addWidget(buildOptions(), 0, Qt::AlignTop);
    page->addLayout(m_controls);
    scroll->setWidget(m_content);

    m_signalEditor = new SignalEditor(m_sim, *m_plots[CPlot], this);
    // The strip may cover the cursor line; take it away first so that the exclusive-or
    // redraw does not leave a broken line behind.
    connect(m_signalEditor, &SignalEditor::aboutToPaint, this, [this] { eraseCursor(); });
    connect(m_signalEditor, &SignalEditor::cursorMoved, this, &TravelPage::refreshTCursor);
    connect(m_signalEditor, &SignalEditor::edited, this, [this] {
        m_matched = false;
        m_undo->setEnabled(m_sim.canUndoSignals());
        simulate();
    });

    m_sim.setControls(m_stopPanel);
    connect(m_stopPanel, &StopModePanel::changed, this, [this] { stopModeChanged(); });
    m_params.addListener(this);
}

TravelPage::~TravelPage() {
    // Controls losing the focus while they are torn down must reach neither the
    // setter nor the model.
    for (QObject* child : findChildren<QObject*>())
        child->blockSignals(true);
    m_params.removeListener(this);
    m_sim.setControls(nullptr);
}

void TravelPage::buildPlots(QGridLayout* grid) {
    const struct {
        const char* picture;
        const char* label;
        const char16_t* caption;
        TextId tag;
        const char* button;
    } plots[] = {
        {"aPicture", "Label1", u"İvme", TextId::PlotAcceleration, "CommandShowHideA"},
        {"vPicture", "Label2", u"Hız", TextId::PlotSpeed, "CommandShowHideV"},
        {"xPicture", "Label3", u"Mesafe   ", TextId::PlotPosition, "CommandShowHideX"},
        {"cPicture", "Label13", u"Sinyaller", TextId::PlotSignals, nullptr},
    };
    for (int i = 0; i < 4; ++i) {
        auto* canvas = new Canvas(this);
        canvas->setObjectName(QString::fromLatin1(plots[i].picture));
        // Tall enough to read a curve; a lower window scrolls the page instead.
        canvas->setMinimumSize(200, 70);
        m_plots[std::size_t(i)] = canvas;
        m_captions[std::size_t(i)] = LanguageUi::taggedLabel(
            plots[i].label, QString::fromUtf16(plots[i].caption), plots[i].tag, this);

        auto* captionColumn = new QVBoxLayout;
        captionColumn->setSpacing(2);
        int canvasRow = i;
        if (plots[i].button) {
            captionColumn->addWidget(m_captions[std::size_t(i)]);
            auto* button = new QPushButton(QStringLiteral("Gizle"), this);
            button->setObjectName(QString::fromLatin1(plots[i].button));
            LanguageUi::setTag(button, TextId::Show);
            m_showHide[std::size_t(i)] = button;
            captionColumn->addWidget(button);
            connect(button, &QPushButton::clicked, this, [this, i] { toggleShowHide(Plot(i)); });
            canvas->setBackground(Qt::black);
            canvas->setScale(15.0, i == APlot ? 1.2 : i == VPlot ? 1.1 : 0.3);
            connect(canvas, &Canvas::mouseMoved, this,
                    [this](Qt::MouseButtons, QPointF at) { refreshTCursor(float(at.x())); });
        } else {
            // The caption above the lanes, the lanes' names beside them from the top
            // (V3, V2, V1, V0), each as high as its band of two plot units.
            grid->addWidget(m_captions[std::size_t(i)], i, 0);
            canvasRow = i + 1;
            constexpr int height = 96;
            const int band = int(std::lround(height * 2.0 / kSignalHeight));
            captionColumn->setSpacing(0);
            const char* laneLabels[] = {"Label14", "Label16", "Label15", "Label17"};
            for (int lane = 3; lane >= 0; --lane) {
                auto* label = new QLabel(QStringLiteral("V%1").arg(lane), this);
                label->setObjectName(QString::fromLatin1(laneLabels[3 - lane]));
                label->setFixedHeight(band);
                captionColumn->addWidget(label);
            }
            canvas->setBackground(TravelPlots::signalBackground());
            canvas->setScale(15.0, kSignalHeight);
            canvas->setFixedHeight(height);
        }
        captionColumn->addStretch(1);
        connect(canvas, &Canvas::mouseLeft, this, [this] { refreshTCursor(kCursorAway); });
        connect(canvas, &Canvas::resized, this, [this, i] { plotResized(Plot(i)); });
        grid->addLayout(captionColumn, canvasRow, 0);
        grid->addWidget(canvas, canvasRow, 1);
        grid->setRowStretch(i, i == CPlot ? 0 : 1);
    }
    grid->setColumnStretch(1, 1);
}

QWidget* TravelPage::buildOptions() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 8, 0, 0);
    m_showScales = new QCheckBox(QString::fromUtf8("Klavuz çizgileri göster"), box);
    m_showScales->setObjectName(QStringLiteral("ShowScalesCheck"));
    LanguageUi::setTag(m_showScales, TextId::ShowGuideLines);
    m_showScales->setChecked(true);
    connect(m_showScales, &QCheckBox::toggled, this, [this](bool on) {
        m_drawing.setShowScales(on);
        simulate();
    });
    column->addWidget(m_showScales);

    auto* row = new QHBoxLayout;
    m_durationLabel =
        LanguageUi::taggedLabel("Label19", QString::fromUtf8("Süre"), TextId::Duration, box);
    m_duration = new QComboBox(box);
    m_duration->setObjectName(QStringLiteral("SimDurationCombo"));
    for (const char16_t* entry : kDurations)
        m_duration->addItem(QString::fromUtf16(entry));
    m_duration->setCurrentIndex(kDefaultDuration);
    connect(m_duration, &QComboBox::currentIndexChanged, this, &TravelPage::durationChosen);
    row->addWidget(m_durationLabel);
    row->addWidget(m_duration);
    column->addLayout(row);
    column->addStretch(1);
    return box;
}

QWidget* TravelPage::buildComparison() {
    m_comparison = new QWidget(this);
    m_comparison->setObjectName(QStringLiteral("MeasuredComparison"));
    auto* row = new QHBoxLayout(m_comparison);
    row->setContentsMargins(0, 0, 0, 0);
    m_comparisonText = new QLabel(m_comparison);
    m_comparisonText->setObjectName(QStringLiteral("LabelComparison"));
    m_comparisonText->setWordWrap(true);
    m_comparisonText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_match = new QPushButton(m_lang.LangText(TextId::MatchSignals), m_comparison);
    m_match->setObjectName(QStringLiteral("CommandMatchSignals"));
    m_undo = new QPushButton(m_lang.LangText(TextId::UndoSignals), m_comparison);
    m_undo->setObjectName(QStringLiteral("CommandUndoSignals"));
    m_undo->setEnabled(false);
    connect(m_match, &QPushButton::clicked, this, &TravelPage::matchSignals);
    connect(m_undo, &QPushButton::clicked, this, &TravelPage::undoSignals);
    row->addWidget(m_comparisonText, 1);
    row->addWidget(m_match);
    row->addWidget(m_undo);
    m_comparison->hide();
    return m_comparison;
}

QString TravelPage::windowTitleText() const {
    return window()->windowTitle();
}

// ---------------------------------------------------------------------------------
// Start-up and the controls

void TravelPage::setUp() {
    {
        const QSignalBlocker blocker(m_duration);
        m_duration->setCurrentIndex(kDefaultDuration);
    }
    m_sim.setDuration(float(NumberText::leadingNumber(m_duration->currentText())));
    m_sim.setDefaultTravel();
    m_pars->setUpRanges();
    // The position plot starts hidden.
    if (!m_hidden[XPlot])
        toggleShowHide(XPlot);
}

void TravelPage::durationChosen(int item) {
    if (item < 0)
        return;
    const float D = float(NumberText::leadingNumber(m_duration->itemText(item)));
    if (!(D > 0.0f))
        return;
    m_sim.setDuration(D);
    simulate();
}

void TravelPage::parameterStored(int, const ParamDef& def, float value) {
    if (m_pars->mirror(def.id, value))
        return;
    // Any change of the list runs the stop-mode handler, a loaded or received value
    // as well as the user's choice.
    if (def.id == u"stpmod")
        m_stopPanel->setStopModeIndex(int(NumberText::roundHalfEven(value)));
}

void TravelPage::selectStopMode(int index) {
    const bool changes = m_stopPanel->stopModeIndex() != index;
    m_stopPanel->setStopModeIndex(index);
    if (!changes)
        stopModeChanged();
}

void TravelPage::stopModeChanged() {
    refuseBadDistances();
    m_sim.stopModeChanged(m_params, *this);
}

void TravelPage::refuseBadDistances() {
    for (const DistanceRefusal& r : m_sim.refusedDistances(m_params)) {
        const TextId caption = r.box == StopModeBox::SlowingDistance ? TextId::SlowingDistance
                                                                     : TextId::StoppingDistance;
        const QString what = m_lang.LangText(caption);
        // Put back first: a message box lets the event loop run, and a run started
        // from there must find the catalogue's number.
        m_stopPanel->setText(r.box, NumberText::general(r.stored));
        m_prompts.warning(m_lang.LangText(TextId::Warning),
                          std::isnan(r.shortest) ? m_lang.LangText(TextId::ValueNotNumber).arg(what)
                                                 : m_lang.LangText(TextId::DistanceTooShort)
                                                       .arg(what, NumberText::general(r.shortest)));
    }
}

void TravelPage::retitle(const LangModule& lang) {
    const TextId captions[] = {TextId::PlotAcceleration, TextId::PlotSpeed, TextId::PlotPosition,
                               TextId::PlotSignals};
    for (int i = 0; i < 4; ++i)
        m_captions[std::size_t(i)]->setText(lang.LangText(captions[i]));
    for (int i = 0; i < 3; ++i)
        m_showHide[std::size_t(i)]->setText(
            lang.LangText(m_hidden[std::size_t(i)] ? TextId::Show : TextId::Hide));
    m_showScales->setText(lang.LangText(TextId::ShowGuideLines));
    m_durationLabel->setText(lang.LangText(TextId::Duration));
    m_match->setText(lang.LangText(TextId::MatchSignals));
    m_undo->setText(lang.LangText(TextId::UndoSignals));
    m_drawing.setLegend(
        {lang.LangText(TextId::LegendSimulated), lang.LangText(TextId::LegendMeasured)});
    m_pars->retitle(lang);
    m_stopPanel->retitle(lang);
}

void TravelPage::toggleShowHide(Plot which) {
    if (which > XPlot)
        return;
    bool& hidden = m_hidden[std::size_t(which)];
    hidden = !hidden;
    m_plots[std::size_t(which)]->setVisible(!hidden);
    m_showHide[std::size_t(which)]->setText(m_lang.LangText(hidden ? TextId::Show : TextId::Hide));
    m_shownPlotCount = short(m_shownPlotCount + (hidden ? -1 : 1));
    // The shown plots share the height; a hidden one keeps only its caption.
    m_plotGrid->setRowStretch(int(which), hidden ? 0 : 1);
}

// ---------------------------------------------------------------------------------
// The run and its drawing

void TravelPage::simulate() {
    // While a read converts words the catalogue is half old, half new: no run.
    if (!m_inFront || !m_ready)
        return;
    // A distance typed but not yet left (another control moved meanwhile) is refused
    // here once, not by every run of a slider drag.
    refuseBadDistances();
    const RunReport report = m_sim.simulate(&m_params, m_lang, &m_drawing);
    if (!report.ran) {
        m_prompts.warning(windowTitleText(), report.refusal);
        return;
    }
    drawAll();
    showComparison();
}

void TravelPage::drawAll() {
    eraseCursor();
    for (int i = 0; i < 4; ++i)
        m_drawing.draw(Plot(i), *m_plots[std::size_t(i)]);
}

// ---------------------------------------------------------------------------------
// The measured travel

void TravelPage::setMeasuredCurve(const MeasuredCurve& curve) {
    m_drawing.setMeasured(curve);
    m_matched = false;
    m_comparison->show();
    simulate();
}

void TravelPage::clearMeasuredCurve() {
    m_drawing.setMeasured(std::nullopt);
    m_matched = false;
    m_comparison->hide();
    simulate();
}

void TravelPage::showComparison() {
    if (!m_drawing.measured())
        return;
    const MeasuredCurve& m = *m_drawing.measured();
    const auto number = [](double value) {
        return std::isfinite(value) ? NumberText::general(float(value)) : QStringLiteral("-");
    };
    m_comparisonText->setText(m_lang.LangText(TextId::MeasuredComparison)
                                  .arg(number(m_drawing.simulatedFlight()), number(m.flight),
                                       number(m_drawing.simulatedCreep()), number(m.creep),
                                       number(m_drawing.largestSpeedDifference())));
}

void TravelPage::matchSignals() {
    if (!m_drawing.measured())
        return;
    const CommandTiming timing = commandTiming(*m_drawing.measured());
    if (!std::isfinite(timing.highSpeedEnd) || !std::isfinite(timing.lowSpeedEnd))
        return;
    // The commands keep their start; the car starts moving a little after it (brake,
    // start sequence), as the last run showed.
    const int first = m_sim.firstCommandSample();
    const float commandStart = first < 0 ? 1.0f : float(first) * (m_sim.duration() / 1000.0f);
    double delay = 0.0;
    for (const TravelSample& s : m_drawing.samples())
        if (s.v > 0.0f) {
            delay = std::max(0.0, double(s.t) - commandStart);
            break;
        }
    m_sim.matchCommands(commandStart, commandStart + delay + timing.highSpeedEnd,
                        commandStart + delay + timing.lowSpeedEnd);
    m_undo->setEnabled(true);
    m_matched = true;
    simulate();
}

void TravelPage::undoSignals() {
    m_sim.undoSignals();
    m_matched = false;
    m_undo->setEnabled(m_sim.canUndoSignals());
    simulate();
}

// ---------------------------------------------------------------------------------
// The cursor

void TravelPage::refreshTCursor(float t) {
    for (Canvas* c : m_plots) {
        const double H = c->scaleHeight();
        c->setXorMode(true);
        // The first line takes the old cursor away, the second draws the new one.
        c->line(m_cursorTime, 0.0, m_cursorTime, H, kCursor);
        c->line(t, 0.0, t, H, kCursor);
        c->setXorMode(false);
    }
    m_cursorTime = t;
    const float shown = float(std::trunc(double(t) * 100.0) / 100.0);
    const QString tip =
        QStringLiteral("t=") + NumberText::general(shown) + u' ' + m_lang.LangText(TextId::Seconds);
    for (int i = APlot; i <= XPlot; ++i)
        m_plots[std::size_t(i)]->setToolTip(tip);
}

void TravelPage::eraseCursor() {
    for (Canvas* c : m_plots) {
        c->setXorMode(true);
        c->line(m_cursorTime, 0.0, m_cursorTime, c->scaleHeight(), kCursor);
        c->setXorMode(false);
    }
    m_cursorTime = kCursorAway;
}

void TravelPage::plotResized(Plot which) {
    // The resized plot lost its picture and with it the cursor; the others lose the
    // cursor now, so the next cursor line is drawn and not taken away.
    for (int i = 0; i < 4; ++i) {
        if (i == which)
            continue;
        Canvas* c = m_plots[std::size_t(i)];
        c->setXorMode(true);
        c->line(m_cursorTime, 0.0, m_cursorTime, c->scaleHeight(), kCursor);
        c->setXorMode(false);
    }
    m_cursorTime = kCursorAway;
    // Drawn again from the last run, without running it again.
    m_drawing.draw(which, *m_plots[std::size_t(which)]);
}

bool TravelPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_content && event->type() == QEvent::MouseMove)
        refreshTCursor(kCursorAway);
    else if (watched == m_viewport && event->type() == QEvent::Resize)
        arrangeControls(static_cast<QResizeEvent*>(event)->size().width());
    return QFrame::eventFilter(watched, event);
}

void TravelPage::arrangeControls(int width) {
    const QMargins margins = m_content->layout()->contentsMargins();
    int needed = margins.left() + margins.right();
    for (int i = 0; i < m_controls->count(); ++i)
        if (QWidget* w = m_controls->itemAt(i)->widget())
            needed += w->minimumSizeHint().width() + m_controls->spacing();
    const auto direction = needed <= width ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (m_controls->direction() != direction)
        m_controls->setDirection(direction);
}

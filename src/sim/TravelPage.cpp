#include "sim/TravelPage.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "platform/Canvas.h"
#include "platform/NumberText.h"
#include "platform/Prompts.h"
#include "sim/StopModePanel.h"
#include "sim/TravelParsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const QColor kGuide(0, 200, 0);
const QColor kGuideText(0, 250, 0);
const QColor kGrid(140, 140, 140);
const QColor kSeparator(240, 240, 240);
// Exclusive-or with the complement of RGB(40, 40, 40).
const QColor kCursor(215, 215, 215);
constexpr QRgb kWhite = 0xffffffu;
constexpr QRgb kSlowing = 0xffff00u;
constexpr QRgb kStopping = 0xff0000u;

constexpr float kCursorAway = -10.0f;
constexpr int kLastSample = SimModule::SignalSamples - 1;
constexpr double kSignalHeight = 8.2;

const char16_t* const kDurations[] = {u"5 saniye",  u"10 saniye", u"15 saniye", u"20 saniye",
                                      u"25 saniye", u"30 saniye", u"45 saniye", u"60 s"};
constexpr int kDefaultDuration = 2; // "15 saniye"

// Lane k of the signal plot lies between these heights; lane 0 at the bottom.
double laneTop(int lane) {
    return 6.5 - 2.0 * lane;
}
double laneBottom(int lane) {
    return 7.5 - 2.0 * lane;
}
double laneCentre(int lane) {
    return 7.0 - 2.0 * lane;
}

} // namespace

// Collects the points of a run and draws them when it ends: one ordered pass per plot
// instead of a painter call per point.
class TravelPage::RunPlotter final : public TravelPlotter {
public:
    explicit RunPlotter(TravelPage& page)
        : m_page(page), m_a(*page.plot(APlot)), m_v(*page.plot(VPlot)), m_x(*page.plot(XPlot)) {}

    void runStarting() override {
        TravelPage& p = m_page;
        p.eraseCursor();
        if (p.m_ready) {
            p.plotSetUp();
        } else if (p.m_needsRedraw) {
            // A picture was lost without new inputs: lay the lanes down again with the
            // scales the plots already have.
            for (Canvas* c : p.m_plots)
                c->clear();
            p.DrawSignalLanes();
        }
        p.m_needsRedraw = false;
        p.DrawPlotGrid();
        for (Canvas* c : {&m_a, &m_v, &m_x})
            c->setLineWidth(2);
        m_aMiddle = m_a.scaleHeight() / 2.0;
        m_vBottom = m_v.scaleHeight();
        m_xBottom = m_x.scaleHeight();
        const qsizetype expected = qsizetype(std::max(0.0f, p.m_sim.D) * 100.0f) + 2;
        for (QList<QPointF>* list : {&m_aAt, &m_vAt, &m_xAt})
            list->reserve(std::min<qsizetype>(expected, 1'000'000));
        m_colors.reserve(m_aAt.capacity());
    }

    void plot(const TravelSample& s) override {
        const QRgb color = s.stopRequest == 1 ? kSlowing : s.stopRequest == 2 ? kStopping : kWhite;
        m_aAt.append(QPointF(s.t, m_aMiddle - double(s.a)));
        m_vAt.append(QPointF(s.t, m_vBottom - double(s.v)));
        m_xAt.append(QPointF(s.t, m_xBottom - double(s.x)));
        m_colors.append(color);
    }

    void finish() {
        m_a.points(m_aAt, m_colors);
        m_v.points(m_vAt, m_colors);
        m_x.points(m_xAt, QColor(255, 255, 255));
        for (Canvas* c : {&m_a, &m_v, &m_x})
            c->setLineWidth(1);
    }

private:
    TravelPage& m_page;
    Canvas& m_a;
    Canvas& m_v;
    Canvas& m_x;
    double m_aMiddle = 0.0;
    double m_vBottom = 0.0;
    double m_xBottom = 0.0;
    QList<QPointF> m_aAt;
    QList<QPointF> m_vAt;
    QList<QPointF> m_xAt;
    QList<QRgb> m_colors; // the same for the acceleration and speed points
};

TravelPage::TravelPage(SimModule& sim, ParamModule& params, const LangModule& lang,
                       Prompts& prompts, QWidget* parent)
    : QFrame(parent), m_sim(sim), m_params(params), m_lang(lang), m_prompts(prompts) {
    setObjectName(QStringLiteral("FrameSeyir"));
    // Moves over the page itself (outside the plots) take the cursor away.
    setMouseTracking(true);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);
    m_plotGrid = new QGridLayout;
    m_plotGrid->setVerticalSpacing(4);
    buildPlots(m_plotGrid);
    page->addLayout(m_plotGrid, 1);

    auto* controls = new QHBoxLayout;
    m_stopPanel = new StopModePanel(this);
    m_pars = new TravelParsPanel(params, this);
    controls->addWidget(m_stopPanel, 0, Qt::AlignTop);
    controls->addWidget(m_pars, 1, Qt::AlignTop);
    controls->addWidget(buildOptions(), 0, Qt::AlignTop);
    page->addLayout(controls);

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
        canvas->setMinimumSize(200, 30);
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
            canvas->setBackground(signalBackground());
            canvas->setScale(15.0, kSignalHeight);
            canvas->setFixedHeight(height);
            connect(canvas, &Canvas::mousePressed, this, &TravelPage::signalPressed);
            connect(canvas, &Canvas::mouseMoved, this, &TravelPage::signalMoved);
            connect(canvas, &Canvas::mouseReleased, this, &TravelPage::signalReleased);
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
    connect(m_showScales, &QCheckBox::toggled, this, [this] { simulate(); });
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

QColor TravelPage::laneColor(int lane) {
    switch (lane) {
    case 0:
        return QColor(255, 0, 0);
    case 1:
        return QColor(245, 245, 0);
    case 2:
        return QColor(0, 0, 255);
    default:
        return QColor(0, 255, 0);
    }
}

QColor TravelPage::signalBackground() {
    return QColor(245, 245, 250);
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
    m_sim.D = float(NumberText::leadingNumber(m_duration->currentText()));
    m_plots[CPlot]->setBackground(signalBackground());
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
    m_sim.D = D;
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
    if (m_stopPanel->stopModeIndex() != 0)
        return;
    const struct {
        StopModeBox box;
        const char16_t* id;
        TextId caption;
    } boxes[] = {
        {StopModeBox::SlowingDistance, u"slwd", TextId::SlowingDistance},
        {StopModeBox::StoppingDistance, u"stpd", TextId::StoppingDistance},
    };
    for (const auto& b : boxes) {
        if (m_sim.boxNumber(b.box, nullptr))
            continue;
        // Put back first: a message box lets the event loop run, and a run started
        // from there must find a number.
        const float previous = m_params.valueById(QString::fromUtf16(b.id), 0.0f);
        m_stopPanel->setText(b.box, NumberText::general(previous));
        m_prompts.warning(m_lang.LangText(TextId::Warning),
                          m_lang.LangText(TextId::ValueNotNumber).arg(m_lang.LangText(b.caption)));
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
    if (!m_inFront)
        return;
    // A distance box left without a number (typing still under way when another
    // control moved) is refused here once, not by every run of a slider drag.
    refuseBadDistances();
    RunPlotter plotter(*this);
    const RunReport report = m_sim.simulate(m_ready ? &m_params : nullptr, m_lang, m_prompts,
                                            windowTitleText(), &plotter);
    if (report.ran)
        plotter.finish();
}

void TravelPage::plotSetUp() {
    const double D = m_sim.D;
    const float accelerationHeight =
        m_sim.PA <= m_sim.NA ? 2.0f * 1.2f * m_sim.NA : 2.0f * 1.2f * m_sim.PA;
    m_plots[APlot]->setScale(D, accelerationHeight);
    m_plots[VPlot]->setScale(D, 1.1f * m_sim.speedTable[3]);
    m_plots[XPlot]->setScale(D, 0.3);
    m_plots[CPlot]->setScale(D, kSignalHeight);
    m_plots[CPlot]->setLineWidth(1);
    for (Canvas* c : m_plots)
        c->clear();
    DrawSignalLanes();
    m_cursorTime = kCursorAway;
}

void TravelPage::DrawPlotGrid() {
    Canvas& a = *m_plots[APlot];
    Canvas& v = *m_plots[VPlot];
    Canvas& x = *m_plots[XPlot];
    const Canvas::Batch batchA(a), batchV(v), batchX(x);
    const double D = m_sim.D;
    const double aMiddle = a.scaleHeight() / 2.0;
    const double vBottom = v.scaleHeight();
    const double xBottom = x.scaleHeight();

    if (m_showScales->isChecked()) {
        v.setLineStyle(Canvas::LineStyle::DashDot);
        for (int k = 0; k < 4; ++k) {
            const float speed = m_sim.speedTable[std::size_t(k)];
            v.line(0.0, vBottom - speed, D, vBottom - speed, kGuide);
            v.text(0.0, vBottom - speed - v.pixelsDown(14),
                   QStringLiteral("V%1=%2m/s").arg(k).arg(NumberText::general(speed)), kGuideText);
        }
        a.setLineStyle(Canvas::LineStyle::DashDot);
        const float PA = m_sim.PA;
        const float NA = m_sim.NA;
        a.line(0.0, aMiddle - PA, D, aMiddle - PA, kGuide);
        a.line(0.0, aMiddle + NA, D, aMiddle + NA, kGuide);
        a.text(0.0, aMiddle - PA - a.pixelsDown(14),
               QStringLiteral("PA=%1m/s²").arg(NumberText::general(PA)), kGuideText);
        a.text(0.0, aMiddle + NA - a.pixelsDown(14),
               QStringLiteral("NA=-%1m/s²").arg(NumberText::general(NA)), kGuideText);
        a.setLineStyle(Canvas::LineStyle::Solid);
        v.setLineStyle(Canvas::LineStyle::Solid);
    }

    for (Canvas* c : {&a, &v, &x})
        c->setLineStyle(Canvas::LineStyle::Dotted);
    a.line(0.0, aMiddle, D, aMiddle, kGrid);
    // The bottom edge itself lies just below the last row of pixels.
    v.line(0.0, vBottom - v.pixelsDown(1), D, vBottom - v.pixelsDown(1), kGrid);
    x.line(0.0, xBottom - x.pixelsDown(1), D, xBottom - x.pixelsDown(1), kGrid);
    for (int second = 0; second <= D; ++second) {
        for (Canvas* c : {&a, &v, &x})
            c->line(second, 0.0, second, c->scaleHeight(), kGrid);
        a.text(second + 0.05, 0.0, QString::number(second), Qt::white);
    }
    for (Canvas* c : {&a, &v, &x})
        c->setLineStyle(Canvas::LineStyle::Solid);
}

void TravelPage::paintLaneStrip(int lane, double fromT, double toT, bool on) {
    Canvas& c = *m_plots[CPlot];
    if (on)
        c.fillBox(fromT, laneBottom(lane), toT, laneTop(lane), laneColor(lane));
    else
        c.line(fromT, laneCentre(lane), toT, laneCentre(lane), laneColor(lane));
}

void TravelPage::DrawSignalLanes() {
    Canvas& c = *m_plots[CPlot];
    const float D = m_sim.D;
    if (!(D > 0.0f))
        return;
    const Canvas::Batch batch(c);
    constexpr float step = 0.01f;
    for (int lane = 0; lane < 4; ++lane)
        c.fillBox(0.0, laneBottom(lane), double(D) + step, laneTop(lane), signalBackground());

    // The table is sampled every 0.01 s; runs of equal samples are drawn as one bar or
    // one line, which covers the same pixels as a box or line per sample.
    std::array<bool, 4> on{};
    std::array<float, 4> runStart{};
    float last = 0.0f;
    bool first = true;
    for (float t = 0.0f; t <= D;) {
        double n = std::nearbyint(double(t) / (double(D) / 1000.0));
        n = std::clamp(n, 0.0, double(kLastSample));
        const SimModule::SignalSample& sample = m_sim.signalTable[std::size_t(n)];
        for (int lane = 0; lane < 4; ++lane) {
            const bool set = sample[std::size_t(lane)] != 0;
            if (first) {
                on[std::size_t(lane)] = set;
                runStart[std::size_t(lane)] = t;
            } else if (set != on[std::size_t(lane)]) {
                paintLaneStrip(lane, runStart[std::size_t(lane)], t, on[std::size_t(lane)]);
                on[std::size_t(lane)] = set;
                runStart[std::size_t(lane)] = t;
            }
        }
        first = false;
        last = t;
        const float next = t + step;
        if (!(next > t))
            break;
        t = next;
    }
    for (int lane = 0; lane < 4; ++lane)
        paintLaneStrip(lane, runStart[std::size_t(lane)], double(last) + step,
                       on[std::size_t(lane)]);

    c.setLineWidth(3);
    for (double y : {6.0, 4.0, 2.0, 0.0})
        c.line(0.0, y, D, y, kSeparator);
    c.setLineWidth(1);
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
    m_needsRedraw = true;
    if (m_redrawQueued)
        return;
    // One run after a layout pass, however many plots it resized.
    m_redrawQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_redrawQueued = false;
        simulate();
    });
}

void TravelPage::mouseMoveEvent(QMouseEvent* event) {
    refreshTCursor(kCursorAway);
    QFrame::mouseMoveEvent(event);
}

// ---------------------------------------------------------------------------------
// Signal editing on cPicture

void TravelPage::signalPressed(Qt::MouseButton button, QPointF at) {
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    m_signalDragging = true;
    const float x = float(at.x());
    const double n = std::clamp(double(x) / (double(m_sim.D) / 1000.0), 0.0, double(kLastSample));
    m_signalEditStart = std::isfinite(n) ? int(std::floor(n)) : 0;
    const double y = at.y();
    if (y >= 0.0 && y < 2.0)
        m_signalEditLane = 3;
    else if (y >= 2.0 && y < 4.0)
        m_signalEditLane = 2;
    else if (y >= 4.0 && y < 6.0)
        m_signalEditLane = 1;
    else if (y >= 6.0 && y < 8.0)
        m_signalEditLane = 0;
    m_signalSetMode = button == Qt::LeftButton;
}

void TravelPage::signalMoved(Qt::MouseButtons buttons, QPointF at) {
    const float x = float(at.x());
    if (m_signalDragging && (buttons & (Qt::LeftButton | Qt::RightButton))) {
        const double per = double(m_sim.D) / 1000.0;
        double n = double(x) / per;
        n = std::isfinite(n) ? std::clamp(n, 0.0, double(kLastSample)) : 0.0;
        const std::int16_t flag = m_signalSetMode ? 1 : 0;
        const std::size_t lane = std::size_t(m_signalEditLane);
        // From the press sample towards the mouse, the press sample always included.
        if (n >= m_signalEditStart) {
            for (int i = m_signalEditStart; i <= n; ++i)
                m_sim.signalTable[std::size_t(i)][lane] = flag;
        } else {
            for (int i = m_signalEditStart; i >= n; --i)
                m_sim.signalTable[std::size_t(i)][lane] = flag;
        }
        // The strip may cover the cursor line; take it away first so that the
        // exclusive-or redraw below does not leave a broken line behind.
        eraseCursor();
        const double from = m_signalEditStart * per;
        const double to = n * per;
        Canvas& c = *m_plots[CPlot];
        const Canvas::Batch batch(c);
        c.fillBox(from, laneBottom(m_signalEditLane), to, laneTop(m_signalEditLane),
                  signalBackground());
        paintLaneStrip(m_signalEditLane, from, to, m_signalSetMode);
    }
    refreshTCursor(x);
}

void TravelPage::signalReleased(Qt::MouseButton button, QPointF) {
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    m_signalDragging = false;
    simulate();
}

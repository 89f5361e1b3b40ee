#include "monitor/StripChart.h"

#include "platform/Canvas.h"
#include "platform/NumberText.h"

#include <cmath>

namespace StripChart {

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);
const QColor Blue(0, 0, 255);
const QColor MarkGrey(200, 200, 200);
const QColor MarkerGrey(220, 220, 220);

} // namespace

void draw(Canvas& canvas, const MonitorHistory& history, const Shown& shown,
          const ChartScale::Plan& scale) {
    canvas.clear();
    Canvas::Batch batch(canvas);
    const double W = canvas.scaleWidth();
    const double H = canvas.scaleHeight();
    const double xs = W / MonitorHistory::Slots;
    const double u = H / 40.0;
    const int scroll = history.ScrollPos;

    QList<QPointF> speed;
    QList<QPointF> current;
    QList<QPointF> accel;
    QList<QLineF> marks;
    for (int i = FirstColumn; i <= LastColumn; ++i) {
        const MonitorHistory::Sample& c = history.at(scroll + i);
        const MonitorHistory::Sample& p = history.at(scroll + i - 1);
        const double x1 = i * xs;
        const double x0 = (i - 1) * xs;
        if (i == FirstColumn) {
            speed << QPointF(x0, H - p.speed);
            current << QPointF(x0, H - 5.0 * p.current);
        }
        speed << QPointF(x1, H - c.speed);
        current << QPointF(x1, H - 5.0 * c.current);
        accel << QPointF(x1, H - c.accel);
        marks << QLineF(x0, H, x0, u * (40 - p.mark));
    }
    canvas.setLineWidth(2);
    if (shown.speed)
        canvas.polyline(speed, Red);
    if (shown.current)
        canvas.polyline(current, Blue);
    if (shown.accel)
        canvas.points(accel, Green);
    canvas.setLineWidth(1);
    canvas.lines(marks, MarkGrey);

    // Level markers of the newest column.
    const MonitorHistory::Sample& last = history.at(scroll + LastColumn);
    const double px30 = canvas.pixelsAcross(30);
    canvas.fillBox(W - px30, 0, W, H, Qt::black);
    struct Level {
        bool on;
        double y;
        int width;
        QColor colour;
    };
    const Level levels[] = {{shown.speed, H - last.speed, 4, Red},
                            {shown.accel, H - last.accel, 3, Green},
                            {shown.current, H - 5.0 * last.current, 3, Blue}};
    for (const Level& level : levels) {
        if (!level.on)
            continue;
        canvas.setLineWidth(11);
        canvas.line(W - 7.5 * xs, level.y, W, level.y, MarkerGrey);
        canvas.setLineWidth(level.width);
        canvas.point(W - 7.0 * xs, level.y, level.colour);
    }

    // The scale.
    const double px3 = canvas.pixelsAcross(3);
    const double px13 = canvas.pixelsDown(13);
    const QColor colour = scale.valid ? QColor::fromRgb(scale.rgb) : QColor(Qt::black);
    canvas.setLineWidth(2);
    canvas.line(W - px3, 0, W - px3, H, colour);
    canvas.setLineWidth(1);
    const QList<double> ticks = ChartScale::ticks(scale);
    QList<QLineF> tickLines;
    for (double y : ticks) {
        const double at = H - scale.factor * y;
        tickLines << QLineF(W - px3, at, W - px30, at);
    }
    canvas.lines(tickLines, colour);
    // On a low chart the ticks lie closer than a line of text: label only every
    // tick that has a line's height to itself, so the numbers stay readable.
    const double lineHeight = canvas.pixelsDown(canvas.fontMetrics().height());
    double lastLabel = 0.0;
    bool labelled = false;
    for (double y : ticks) {
        const double at = H - scale.factor * y;
        if (labelled && std::abs(lastLabel - at) < lineHeight)
            continue;
        canvas.text(W - px30, at - px13, NumberText::pattern1to3(y / 1000.0), colour);
        lastLabel = at;
        labelled = true;
    }
}

void drawOfflineNotice(Canvas& canvas, const QString& text) {
    canvas.clear();
    QFont font = canvas.font();
    font.setPointSize(20);
    canvas.setFont(font);
    canvas.text(canvas.scaleWidth() / 2 - canvas.pixelsAcross(100),
                canvas.scaleHeight() / 2 - canvas.pixelsDown(20), text, QColor(255, 0, 0));
    font.setPointSize(8);
    canvas.setFont(font);
}

} // namespace StripChart

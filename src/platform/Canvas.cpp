#include "platform/Canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_image = QImage(QSize(1, 1), QImage::Format_RGB32);
    m_image.fill(m_background);
}

Canvas::~Canvas() = default;

void Canvas::setScale(double width, double height) {
    if (!(width > 0.0) || !(height > 0.0) || !std::isfinite(width) || !std::isfinite(height))
        return;
    m_scaleW = width;
    m_scaleH = height;
}

void Canvas::setBackground(const QColor& color) {
    m_background = color;
}

void Canvas::clear() {
    releasePainter();
    m_image.fill(m_background);
    if (m_batchDepth > 0)
        painter();
    update();
}

void Canvas::setLineWidth(int pixels) {
    m_lineWidth = std::max(1, pixels);
}

QPointF Canvas::toPixel(double x, double y) const {
    return {x * m_image.width() / m_scaleW, y * m_image.height() / m_scaleH};
}

QPointF Canvas::toPlot(const QPointF& pixel) const {
    return {pixel.x() * m_scaleW / std::max(1, m_image.width()),
            pixel.y() * m_scaleH / std::max(1, m_image.height())};
}

double Canvas::pixelsAcross(double pixels) const {
    return pixels * m_scaleW / std::max(1, m_image.width());
}

double Canvas::pixelsDown(double pixels) const {
    return pixels * m_scaleH / std::max(1, m_image.height());
}

QPainter& Canvas::painter() {
    if (!m_painter)
        m_painter = std::make_unique<QPainter>(&m_image);
    return *m_painter;
}

void Canvas::releasePainter() {
    m_painter.reset();
}

void Canvas::preparePen(QPainter& p, const QColor& color) const {
    QPen pen(color);
    pen.setCosmetic(true);
    pen.setWidth(m_lineWidth);
    pen.setCapStyle(Qt::FlatCap);
    if (m_style == LineStyle::DashDot)
        pen.setDashPattern({9, 6, 3, 6});
    else if (m_style == LineStyle::Dotted)
        pen.setDashPattern({3, 3});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(m_xor ? QPainter::RasterOp_SourceXorDestination
                               : QPainter::CompositionMode_SourceOver);
}

void Canvas::line(double x1, double y1, double x2, double y2, const QColor& color) {
    QPainter& p = painter();
    preparePen(p, color);
    p.drawLine(toPixel(x1, y1), toPixel(x2, y2));
    if (m_batchDepth == 0)
        releasePainter();
    update();
}

void Canvas::polyline(const QList<QPointF>& at, const QColor& color) {
    if (at.size() < 2)
        return;
    QPainter& p = painter();
    preparePen(p, color);
    QPolygonF pixels;
    pixels.reserve(at.size());
    for (const QPointF& pt : at)
        pixels << toPixel(pt.x(), pt.y());
    p.drawPolyline(pixels);
    if (m_batchDepth == 0)
        releasePainter();
    update();
}

void Canvas::lines(const QList<QLineF>& segments, const QColor& color) {
    if (segments.isEmpty())
        return;
    QPainter& p = painter();
    preparePen(p, color);
    QList<QLineF> pixels;
    pixels.reserve(segments.size());
    for (const QLineF& l : segments)
        pixels << QLineF(toPixel(l.x1(), l.y1()), toPixel(l.x2(), l.y2()));
    p.drawLines(pixels);
    if (m_batchDepth == 0)
        releasePainter();
    update();
}

void Canvas::point(double x, double y, const QColor& color) {
    points({QPointF(x, y)}, color);
}

void Canvas::points(const QList<QPointF>& at, const QColor& color) {
    const QRgb rgb = color.rgb();
    writePoints(at, [rgb](qsizetype) { return rgb; });
}

void Canvas::points(const QList<QPointF>& at, const QList<QRgb>& colors) {
    const qsizetype known = colors.size();
    if (known == 0)
        return;
    writePoints(at, [&colors, known](qsizetype i) { return colors[i < known ? i : known - 1]; });
}

template <typename ColorAt> void Canvas::writePoints(const QList<QPointF>& at, ColorAt colorAt) {
    // Straight into the scan lines: a wide pen through QPainter costs several times
    // as much, and a slider drag redraws thousands of points per change.
    const bool hadPainter = m_painter != nullptr;
    if (hadPainter)
        releasePainter();
    const int w = m_lineWidth;
    const int half = w / 2;
    const int iw = m_image.width();
    const int ih = m_image.height();
    const double sx = iw / m_scaleW;
    const double sy = ih / m_scaleH;
    uchar* bits = m_image.bits(); // detaches once, not once per row
    const qsizetype stride = m_image.bytesPerLine();
    for (qsizetype i = 0; i < at.size(); ++i) {
        const double fx = at[i].x() * sx;
        const double fy = at[i].y() * sy;
        // Far outside the picture (or no number): nothing to draw, and no int overflow.
        if (!(fx > -w && fx < iw + w && fy > -w && fy < ih + w))
            continue;
        const QRgb rgb = colorAt(i) | 0xff000000u;
        const int x0 = int(std::floor(fx)) - half;
        const int y0 = int(std::floor(fy)) - half;
        for (int yy = std::max(0, y0); yy < std::min(ih, y0 + w); ++yy) {
            auto* row = reinterpret_cast<QRgb*>(bits + yy * stride);
            for (int xx = std::max(0, x0); xx < std::min(iw, x0 + w); ++xx)
                row[xx] = m_xor ? ((row[xx] ^ rgb) | 0xff000000u) : rgb;
        }
    }
    if (hadPainter)
        painter();
    update();
}

void Canvas::fillBox(double x1, double y1, double x2, double y2, const QColor& color) {
    QPainter& p = painter();
    p.setCompositionMode(m_xor ? QPainter::RasterOp_SourceXorDestination
                               : QPainter::CompositionMode_SourceOver);
    const QPointF a = toPixel(x1, y1);
    const QPointF b = toPixel(x2, y2);
    // Whole pixels, so boxes that share an edge leave no gap and do not overlap.
    const int left = int(std::lround(std::min(a.x(), b.x())));
    const int right = int(std::lround(std::max(a.x(), b.x())));
    const int top = int(std::lround(std::min(a.y(), b.y())));
    const int bottom = int(std::lround(std::max(a.y(), b.y())));
    p.fillRect(QRect(left, top, std::max(1, right - left), std::max(1, bottom - top)), color);
    if (m_batchDepth == 0)
        releasePainter();
    update();
}

void Canvas::text(double x, double y, const QString& text, const QColor& color) {
    QPainter& p = painter();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setFont(font());
    p.setPen(color);
    const QPointF at = toPixel(x, y);
    p.drawText(at + QPointF(0, p.fontMetrics().ascent()), text);
    if (m_batchDepth == 0)
        releasePainter();
    update();
}

Canvas::Batch::Batch(Canvas& canvas) : m_canvas(canvas), m_owner(canvas.m_batchDepth == 0) {
    ++m_canvas.m_batchDepth;
}

Canvas::Batch::~Batch() {
    if (--m_canvas.m_batchDepth == 0 && m_owner)
        m_canvas.releasePainter();
}

void Canvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The image is drawn while a batch may hold its own painter on it; QImage allows
    // reading it then.
    p.drawImage(0, 0, m_image);
}

void Canvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize size = event->size().expandedTo(QSize(1, 1));
    if (size == m_image.size())
        return;
    releasePainter();
    m_image = QImage(size, QImage::Format_RGB32);
    m_image.fill(m_background);
    if (m_batchDepth > 0)
        painter();
    emit resized();
}

QPointF Canvas::plotAt(const QPointF& widgetPos) const {
    return toPlot(widgetPos);
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button(), plotAt(event->position()));
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->buttons(), plotAt(event->position()));
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), plotAt(event->position()));
}

void Canvas::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit mouseLeft();
}

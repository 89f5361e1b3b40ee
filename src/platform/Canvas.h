#pragma once
// A picture box: a widget over a QImage drawn in user units (x from 0 to scaleWidth
// left to right, y from 0 to scaleHeight top to bottom), with the drawing operations
// of the plots and the strip chart. Drawing goes to the image; the widget shows it.
#include <QColor>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QWidget>
#include <memory>

class QPainter;

class Canvas : public QWidget {
    Q_OBJECT
public:
    enum class LineStyle { Solid, DashDot, Dotted };

    explicit Canvas(QWidget* parent = nullptr);
    ~Canvas() override;

    // User scale: the width and height of the picture in plot units. Zero or negative
    // sizes are ignored (a plot of no extent cannot be drawn into).
    void setScale(double width, double height);
    double scaleWidth() const { return m_scaleW; }
    double scaleHeight() const { return m_scaleH; }

    void setBackground(const QColor& color);
    QColor background() const { return m_background; }
    // Fills the picture with the background colour.
    void clear();

    // Pen width in pixels for lines and points.
    void setLineWidth(int pixels);
    int lineWidth() const { return m_lineWidth; }
    void setLineStyle(LineStyle style) { m_style = style; }
    LineStyle lineStyle() const { return m_style; }
    // Exclusive-or drawing: drawing the same line twice restores the picture.
    void setXorMode(bool on) { m_xor = on; }
    bool xorMode() const { return m_xor; }

    void line(double x1, double y1, double x2, double y2, const QColor& color);
    void point(double x, double y, const QColor& color);
    // Many points of one colour at once: the same pixels as point() for each.
    void points(const QList<QPointF>& at, const QColor& color);
    // Many points, each in its own colour, drawn in order: the same pixels as one
    // point() call per point, where a later point covers an earlier one.
    void points(const QList<QPointF>& at, const QList<QRgb>& colors);
    // Runs of segments of one colour in one painter call (the strip chart redraws
    // hundreds of them every tick): a connected trace, and separate segments.
    void polyline(const QList<QPointF>& at, const QColor& color);
    void lines(const QList<QLineF>& segments, const QColor& color);
    // A filled box between two corners.
    void fillBox(double x1, double y1, double x2, double y2, const QColor& color);
    // Text whose top-left corner lies at (x, y).
    void text(double x, double y, const QString& text, const QColor& color);

    // Holds one painter open over the image while it lives, so a run of many drawing
    // calls does not pay for a painter each. Nested batches share the outer one.
    class Batch {
    public:
        explicit Batch(Canvas& canvas);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Canvas& m_canvas;
        bool m_owner;
    };

    // Conversions between plot units and pixels of the image.
    QPointF toPixel(double x, double y) const;
    QPointF toPlot(const QPointF& pixel) const;
    // A distance of `pixels` pixels in plot units, across and down.
    double pixelsAcross(double pixels) const;
    double pixelsDown(double pixels) const;

    const QImage& image() const { return m_image; }
    QColor pixelColor(int px, int py) const { return m_image.pixelColor(px, py); }

signals:
    void mousePressed(Qt::MouseButton button, QPointF at);
    void mouseMoved(Qt::MouseButtons buttons, QPointF at);
    void mouseReleased(Qt::MouseButton button, QPointF at);
    void mouseLeft();
    // The picture was resized and cleared; its owner draws it again.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPainter& painter();
    void releasePainter();
    void preparePen(QPainter& p, const QColor& color) const;
    QPointF plotAt(const QPointF& widgetPos) const;
    // Writes width × width pixels per point straight into the image.
    template <typename ColorAt> void writePoints(const QList<QPointF>& at, ColorAt colorAt);

    QImage m_image;
    double m_scaleW = 1.0;
    double m_scaleH = 1.0;
    QColor m_background = Qt::white;
    int m_lineWidth = 1;
    LineStyle m_style = LineStyle::Solid;
    bool m_xor = false;
    std::unique_ptr<QPainter> m_painter;
    int m_batchDepth = 0;
};

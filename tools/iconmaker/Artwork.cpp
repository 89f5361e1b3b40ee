#include "Artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// ---------------------------------------------------------------------------------------
// Palette. Toolbar images share one neutral family with one accent each; every filled
// shape is framed by a darker shade of its own colour, never by black.

namespace ink {
const QColor slate(0x2B, 0x36, 0x42);
const QColor folderBack(0xE3, 0xA1, 0x2C);
const QColor folderFront(0xF8, 0xCB, 0x55);
const QColor folderLine(0xA0, 0x6A, 0x10);
const QColor paper(0xFF, 0xFF, 0xFF);
const QColor paperLine(0xA8, 0xB3, 0xBE);
const QColor diskBody(0x3B, 0x72, 0xC0);
const QColor diskLine(0x1E, 0x4A, 0x8A);
const QColor diskShutter(0xD7, 0xDF, 0xE8);
const QColor diskLabel(0xF7, 0xF9, 0xFB);
const QColor labelRule(0xB8, 0xC3, 0xCF);
const QColor hood(0x51, 0x65, 0x7A);
const QColor metal(0xC9, 0xD2, 0xDB);
const QColor metalLine(0x5E, 0x6D, 0x7C);
const QColor chipBody(0x3A, 0x46, 0x54);
const QColor chipLine(0x22, 0x2B, 0x35);
const QColor chipPin(0xAE, 0xBA, 0xC6);
const QColor chipMark(0x6A, 0x7A, 0x8C);
const QColor readArrow(0x2F, 0xA0, 0x5A);
const QColor readLine(0x1B, 0x6B, 0x3A);
const QColor writeArrow(0xEE, 0x7A, 0x2E);
const QColor writeLine(0xA9, 0x50, 0x1A);
} // namespace ink

// The two brands: ORVAN is navy with amber, upright and square; SELVIK is signal red
// with charcoal, round and slanted.
struct BrandColours {
    QColor main;
    QColor accent;
    QColor dark;
    QColor soft; // a light tint of main for backdrops
    QColor tagline;
};

BrandColours coloursOf(Artwork::Brand brand) {
    if (brand == Artwork::Brand::Orvan)
        return {QColor(0x1A, 0x3E, 0x72), QColor(0xF5, 0xA5, 0x24), QColor(0x10, 0x29, 0x4D),
                QColor(0xEA, 0xF0, 0xF7), QColor(0xB9, 0x78, 0x0A)};
    return {QColor(0xC8, 0x10, 0x2E), QColor(0xFF, 0xFF, 0xFF), QColor(0x26, 0x29, 0x2F),
            QColor(0xF4, 0xF1, 0xF1), QColor(0x6B, 0x6F, 0x76)};
}

QImage blank(int width, int height, const QColor& fill = Qt::transparent) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// ---------------------------------------------------------------------------------------
// Toolbar images are designed on a 16-unit square. Straight edges are snapped to whole
// pixels at every size, and outlines lie inside a shape's bounds, so a 1x or 2x toolbar
// shows sharp lines instead of grey half-pixels.

class Grid {
public:
    explicit Grid(int size) : m_s(size / 16.0), m_lw(std::max(1, int(std::lround(size / 20.0)))) {}

    double s() const { return m_s; }
    int lw() const { return m_lw; }
    // A boundary between pixels.
    double edge(double u) const { return std::round(u * m_s); }
    // Outline centre lines just inside a near (left/top) or far (right/bottom) boundary.
    double nearC(double u) const { return edge(u) + m_lw / 2.0; }
    double farC(double u) const { return edge(u) - m_lw / 2.0; }
    // A centre line placed so that an outline covers whole pixels.
    double mid(double u) const {
        return m_lw % 2 ? std::floor(u * m_s) + 0.5 : std::round(u * m_s);
    }
    QPointF at(double x, double y) const { return {x * m_s, y * m_s}; }
    // The outline path of a shape whose outer bounds are [x0, x1] x [y0, y1].
    QRectF box(double x0, double y0, double x1, double y1) const {
        return QRectF(QPointF(nearC(x0), nearC(y0)), QPointF(farC(x1), farC(y1)));
    }
    // A filled area without outline.
    QRectF area(double x0, double y0, double x1, double y1) const {
        return QRectF(QPointF(edge(x0), edge(y0)), QPointF(edge(x1), edge(y1)));
    }

private:
    double m_s;
    int m_lw;
};

void framed(QPainter& p, const Grid& g, const QPainterPath& path, const QColor& fill,
            const QColor& line) {
    p.setPen(QPen(line, g.lw(), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void framedBox(QPainter& p, const Grid& g, const QRectF& box, double radiusUnits,
               const QColor& fill, const QColor& line) {
    QPainterPath path;
    const double r = radiusUnits * g.s();
    if (r > 0.5)
        path.addRoundedRect(box, r, r);
    else
        path.addRect(box);
    framed(p, g, path, fill, line);
}

QPainterPath polygonPath(const QPolygonF& points) {
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

void drawFolder(QPainter& p, const Grid& g) {
    // Back with its tab.
    const double x0 = g.nearC(1), x1 = g.farC(15);
    const double tabTop = g.nearC(2), bodyTop = g.nearC(4), bottom = g.farC(14.5);
    const double tabEnd = g.nearC(6);
    framed(p, g,
           polygonPath({{x0, tabTop},
                        {tabEnd, tabTop},
                        {tabEnd + 1.5 * g.s(), bodyTop},
                        {x1, bodyTop},
                        {x1, bottom},
                        {x0, bottom}}),
           ink::folderBack, ink::folderLine);
    // A sheet inside.
    framedBox(p, g, g.box(3, 5.5, 13, 12), 0, ink::paper, ink::paperLine);
    // The front flap, tipped open.
    const double flapTop = g.nearC(7.5);
    framed(p, g,
           polygonPath({{g.at(4, 0).x(), flapTop},
                        {g.farC(16), flapTop},
                        {g.at(13, 0).x(), bottom},
                        {x0, bottom}}),
           ink::folderFront, ink::folderLine);
}

void drawFloppy(QPainter& p, const Grid& g) {
    const double x0 = g.nearC(1), x1 = g.farC(15), y0 = g.nearC(1), y1 = g.farC(15);
    const double cut = 2.5 * g.s();
    framed(p, g, polygonPath({{x0, y0}, {x1 - cut, y0}, {x1, y0 + cut}, {x1, y1}, {x0, y1}}),
           ink::diskBody, ink::diskLine);
    // Metal shutter with its window.
    framedBox(p, g, g.box(4, 1, 11.5, 6.5), 0, ink::diskShutter, ink::diskLine);
    p.fillRect(g.area(8.5, 2.5, 10, 5), ink::diskLine);
    // Label, ruled where there is room.
    framedBox(p, g, g.box(3, 8.5, 13, 15), 0, ink::diskLabel, ink::diskLine);
    if (g.s() >= 1.5) {
        p.fillRect(g.area(5, 10.5, 11, 11.15), ink::labelRule);
        p.fillRect(g.area(5, 12.5, 11, 13.15), ink::labelRule);
    }
}

void drawPlug(QPainter& p, const Grid& g) {
    // Cable sweeping in from the lower left.
    QPainterPath cable;
    cable.moveTo(g.at(1.5, 16));
    cable.cubicTo(g.at(1.5, 11), g.at(2.5, 8), g.at(5, 8));
    p.setPen(QPen(ink::slate, std::max(2.0, std::round(2.5 * g.s())), Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    // Hood, mounting flange and the D-shaped metal shell.
    framedBox(p, g, g.box(3.5, 4, 10.5, 12), 1.2, ink::hood, ink::slate);
    if (g.s() >= 1.5) {
        p.fillRect(g.area(5, 6, 9, 6.6), QColor(0x6F, 0x84, 0x99));
        p.fillRect(g.area(5, 9.4, 9, 10), QColor(0x6F, 0x84, 0x99));
        framedBox(p, g, g.box(10, 2, 12, 14), 0, ink::metal, ink::metalLine);
    } else {
        p.fillRect(g.area(10.5, 2, 12, 14), ink::metalLine);
    }
    framedBox(p, g, g.box(12, 4.5, 15.5, 11.5), 0, ink::metal, ink::metalLine);
    // Pins showing at the shell's mouth.
    if (g.s() >= 1.5) {
        for (double y : {6.6, 8.0, 9.4})
            p.fillRect(g.area(13.5, y - 0.3, 15, y + 0.3), ink::metalLine);
    }
}

void drawChip(QPainter& p, const Grid& g) {
    for (double t : {4.5, 6.5, 8.5}) {
        p.fillRect(g.area(0.5, t, 2.5, t + 1), ink::chipPin);
        p.fillRect(g.area(11.5, t, 13.5, t + 1), ink::chipPin);
        p.fillRect(g.area(t, 0.5, t + 1, 2.5), ink::chipPin);
        p.fillRect(g.area(t, 11.5, t + 1, 13.5), ink::chipPin);
    }
    framedBox(p, g, g.box(2.5, 2.5, 11.5, 11.5), 0.6, ink::chipBody, ink::chipLine);
    if (g.s() >= 1.5) {
        const QPointF c = g.at(4.8, 4.8);
        const double r = 0.75 * g.s();
        p.setPen(Qt::NoPen);
        p.setBrush(ink::chipMark);
        p.drawEllipse(c, r, r);
    }
}

// A horizontal arrow across the lower right, pointing right (out of the chip) or left
// (into it), with a white halo that lifts it off the chip.
void drawArrow(QPainter& p, const Grid& g, bool outward) {
    const double top = g.mid(11.5), bottom = g.mid(13.5);
    const double headTop = g.at(0, 9.5).y(), headBottom = g.at(0, 15.5).y();
    const double centre = (top + bottom) / 2;
    QPolygonF arrow;
    if (outward) {
        const double tail = g.mid(7), neck = g.mid(11), tip = g.at(15.6, 0).x();
        arrow << QPointF(tail, top) << QPointF(neck, top) << QPointF(neck, headTop)
              << QPointF(tip, centre) << QPointF(neck, headBottom) << QPointF(neck, bottom)
              << QPointF(tail, bottom);
    } else {
        const double tail = g.mid(15.5), neck = g.mid(11), tip = g.at(6.4, 0).x();
        arrow << QPointF(tail, top) << QPointF(neck, top) << QPointF(neck, headTop)
              << QPointF(tip, centre) << QPointF(neck, headBottom) << QPointF(neck, bottom)
              << QPointF(tail, bottom);
    }
    const QPainterPath path = polygonPath(arrow);
    p.setPen(QPen(Qt::white, g.lw() * 3.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(path);
    framed(p, g, path, outward ? ink::readArrow : ink::writeArrow,
           outward ? ink::readLine : ink::writeLine);
}

// ---------------------------------------------------------------------------------------
// Brand marks: a lift car in its shaft with the travel arrows.

// A snapped rectangle in fractions of an n-px square.
QRectF fracRect(int n, double x0, double y0, double x1, double y1) {
    return QRectF(QPointF(std::round(x0 * n), std::round(y0 * n)),
                  QPointF(std::round(x1 * n), std::round(y1 * n)));
}

// A travel arrow head inside `r`. Small ones get an odd pixel width and a height of half
// of it, so both slopes run at 45 degrees through pixel corners and stay sharp.
QPolygonF triangle(QRectF r, bool up, int n) {
    if (n < 48) {
        int w = int(r.width());
        if (w % 2 == 0)
            w -= 1;
        const int h = (w + 1) / 2;
        const double cx = r.center().x();
        r = QRectF(std::round(cx - w / 2.0), std::round(r.center().y() - h / 2.0), w, h);
    }
    if (up)
        return {{r.left(), r.bottom()}, {r.center().x(), r.top()}, {r.right(), r.bottom()}};
    return {{r.left(), r.top()}, {r.right(), r.top()}, {r.center().x(), r.bottom()}};
}

// The car: a rounded cabin split by the door joint, the joint kept to whole pixels.
void drawCar(QPainter& p, int n, QRectF car, const QColor& body, const QColor& joint) {
    const int gap = std::max(1, int(std::lround(n / 28.0)));
    if ((int(car.width()) - gap) % 2)
        car.setRight(car.right() + 1);
    const double r = n >= 32 ? n * 0.03 : 0;
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(car, r, r);
    const double jointLeft = car.left() + (car.width() - gap) / 2;
    const double inset = n >= 32 ? std::round(n * 0.06) : std::round(n * 0.12);
    p.fillRect(QRectF(jointLeft, car.top() + inset, gap, car.height() - inset), joint);
    if (n >= 48) {
        // The car's top beam.
        p.fillRect(QRectF(car.left(), car.top() + inset - gap, car.width(), gap), joint);
    }
}

void drawOrvanMark(QPainter& p, int n) {
    const BrandColours c = coloursOf(Artwork::Brand::Orvan);
    const double m = n <= 16 ? 0 : std::round(n / 32.0);
    const QRectF tile(m, m, n - 2 * m, n - 2 * m);
    p.setPen(Qt::NoPen);
    p.setBrush(c.main);
    p.drawRoundedRect(tile, n * 0.2, n * 0.2);
    const double rail = std::max(1.0, std::round(n / 40.0));
    const bool tiny = n <= 16;
    const QRectF car =
        tiny ? fracRect(n, 0.12, 0.19, 0.5, 0.81) : fracRect(n, 0.22, 0.25, 0.56, 0.78);
    if (n >= 32) {
        // Guide rails either side of the car and the suspension rope.
        const QColor railColour(0x3C, 0x6A, 0xA8);
        const double top = std::round(n * 0.1), bottom = std::round(n * 0.9);
        p.fillRect(QRectF(car.left() - 2 * rail, top, rail, bottom - top), railColour);
        p.fillRect(QRectF(car.right() + rail, top, rail, bottom - top), railColour);
        p.fillRect(QRectF(std::round(car.center().x() - rail / 2), top, rail, car.top() - top),
                   railColour);
    }
    drawCar(p, n, car, Qt::white, c.main);
    p.setBrush(c.accent);
    if (tiny) {
        p.drawPolygon(triangle(fracRect(n, 0.56, 0.19, 0.94, 0.44), true, n));
        p.drawPolygon(triangle(fracRect(n, 0.56, 0.56, 0.94, 0.81), false, n));
    } else {
        p.drawPolygon(triangle(fracRect(n, 0.64, 0.25, 0.86, 0.45), true, n));
        p.drawPolygon(triangle(fracRect(n, 0.64, 0.58, 0.86, 0.78), false, n));
    }
}

void drawSelvikMark(QPainter& p, int n) {
    const BrandColours c = coloursOf(Artwork::Brand::Selvik);
    const double m = n <= 16 ? 0 : std::round(n / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(c.main);
    p.drawEllipse(QRectF(m, m, n - 2 * m, n - 2 * m));
    if (n >= 48) {
        // A thin inner ring, the brand's seal.
        const double w = std::max(1.0, n / 64.0);
        const double inset = m + n * 0.045;
        p.setPen(QPen(QColor(255, 255, 255, 110), w));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(inset, inset, n - 2 * inset, n - 2 * inset));
        p.setPen(Qt::NoPen);
    }
    const QRectF car = fracRect(n, 0.32, 0.31, 0.68, 0.69);
    drawCar(p, n, car, Qt::white, c.main);
    p.setBrush(Qt::white);
    p.drawPolygon(triangle(fracRect(n, 0.34, 0.06, 0.66, 0.27), true, n));
    p.drawPolygon(triangle(fracRect(n, 0.34, 0.73, 0.66, 0.94), false, n));
}

void drawMark(QPainter& p, Artwork::Brand brand, int n) {
    if (brand == Artwork::Brand::Orvan)
        drawOrvanMark(p, n);
    else
        drawSelvikMark(p, n);
}

// Text set in the bold sans the system provides, tracked out, fitted to `maxWidth`.
QFont wordFont(double pixelSize, bool slanted, double tracking) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setItalic(slanted);
    font.setPixelSize(int(std::lround(pixelSize)));
    font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QFont fittedFont(const QString& text, double pixelSize, bool slanted, double tracking,
                 double maxWidth) {
    QFont font = wordFont(pixelSize, slanted, tracking);
    while (QFontMetricsF(font).horizontalAdvance(text) > maxWidth && pixelSize > 6) {
        pixelSize -= 1;
        font = wordFont(pixelSize, slanted, tracking);
    }
    return font;
}

// Quvera: the inverter cabinet, front and a side in depth.
void drawCabinet(QPainter& p, const BrandColours& c) {
    const QRectF front(30, 26, 74, 124);
    const double depth = 16;
    p.setPen(Qt::NoPen);
    p.setBrush(c.main.lighter(135));
    p.drawPolygon(QPolygonF{front.topLeft(), front.topLeft() + QPointF(depth, -depth * 0.6),
                            front.topRight() + QPointF(depth, -depth * 0.6), front.topRight()});
    p.setBrush(c.dark);
    p.drawPolygon(QPolygonF{front.topRight(), front.topRight() + QPointF(depth, -depth * 0.6),
                            front.bottomRight() + QPointF(depth, -depth * 0.6),
                            front.bottomRight()});
    p.setBrush(c.main);
    p.drawRect(front);
    // Brand stripe, display and keys.
    p.fillRect(QRectF(front.left(), front.top() + 8, front.width(), 3), c.accent);
    const QRectF display(front.left() + 10, front.top() + 18, front.width() - 20, 24);
    p.setBrush(QColor(0x0B, 0x1A, 0x30));
    p.drawRoundedRect(display, 2, 2);
    QFont digits(QStringLiteral("DejaVu Sans Mono"));
    digits.setStyleHint(QFont::Monospace);
    digits.setBold(true);
    digits.setPixelSize(15);
    p.setFont(digits);
    p.setPen(c.accent);
    p.drawText(display.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("50.00"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC9, 0xD6, 0xE6));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(
                QRectF(front.left() + 12 + col * 18, front.top() + 50 + row * 12, 14, 8), 2, 2);
    }
    // The run key in the brand's accent.
    p.setBrush(c.accent);
    p.drawRoundedRect(QRectF(front.left() + 12, front.top() + 50, 14, 8), 2, 2);
    // Cooling slots.
    p.setBrush(c.dark);
    for (int i = 0; i < 5; ++i)
        p.drawRoundedRect(
            QRectF(front.left() + 12, front.top() + 82 + i * 7, front.width() - 24, 3), 1.5, 1.5);
}

// Lomtix: a gearless machine seen end on, the traction sheave with its ropes.
void drawMotor(QPainter& p, const BrandColours& c) {
    const QPointF centre(80, 74);
    p.setPen(Qt::NoPen);
    // Housing on its pedestal.
    p.setBrush(c.dark);
    p.drawPolygon(QPolygonF{{50, 134}, {110, 134}, {100, 104}, {60, 104}});
    p.drawEllipse(centre, 54, 54);
    p.setBrush(c.dark.lighter(150));
    p.drawEllipse(centre, 45, 45);
    // Bolts around the flange.
    p.setBrush(c.dark);
    for (int i = 0; i < 8; ++i) {
        const double a = (2 * i + 1) * std::numbers::pi / 8;
        p.drawEllipse(centre + QPointF(39 * std::cos(a), 39 * std::sin(a)), 2.5, 2.5);
    }
    // Rope sets off both sides of the sheave, down through the bedplate.
    const QColor rope(0xB4, 0xB9, 0xC0);
    for (double side : {-1.0, 1.0}) {
        for (int k = 0; k < 3; ++k) {
            const double x = centre.x() + side * (28.5 - 2.5 * k);
            p.fillRect(QRectF(x - 0.75, centre.y(), 1.5, 180 - centre.y()), rope);
        }
    }
    p.setBrush(c.dark);
    p.drawRoundedRect(QRectF(22, 134, 116, 12), 2, 2);
    // Sheave with its grooves.
    p.setBrush(c.main);
    p.drawEllipse(centre, 30, 30);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c.main.darker(150), 1.5));
    for (double r : {26.0, 22.5, 19.0})
        p.drawEllipse(centre, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(c.dark);
    p.drawEllipse(centre, 11, 11);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 3.5, 3.5);
}

} // namespace

QImage Artwork::toolIcon(Tool tool, int size) {
    QImage image = blank(size, size);
    QPainter p(&image);
    smooth(p);
    const Grid g(size);
    switch (tool) {
    case Tool::Open:
        drawFolder(p, g);
        break;
    case Tool::Save:
        drawFloppy(p, g);
        break;
    case Tool::Connection:
        drawPlug(p, g);
        break;
    case Tool::ChipOut:
    case Tool::ChipIn:
        drawChip(p, g);
        drawArrow(p, g, tool == Tool::ChipOut);
        break;
    }
    return image;
}

QImage Artwork::windowIcon(Brand brand, int size) {
    QImage image = blank(size, size);
    QPainter p(&image);
    smooth(p);
    drawMark(p, brand, size);
    return image;
}

QImage Artwork::logo(Brand brand) {
    const BrandColours c = coloursOf(brand);
    QImage image = blank(200, 60, Qt::white);
    QPainter p(&image);
    smooth(p);
    const int markSize = 44;
    p.drawImage(QPointF(8, 8), windowIcon(brand, markSize));
    const double left = 8 + markSize + 10;
    const double room = 200 - left - 6;
    const bool orvan = brand == Brand::Orvan;
    const QString word = orvan ? QStringLiteral("ORVAN") : QStringLiteral("SELVIK");
    const QString tagline =
        orvan ? QStringLiteral("LIFT DRIVE SYSTEMS") : QStringLiteral("ELEVATOR TECHNOLOGY");

    const QFont wordmark = fittedFont(word, 31, !orvan, orvan ? 2.5 : 0.5, room);
    p.setFont(wordmark);
    if (orvan) {
        p.setPen(c.main);
        p.drawText(QPointF(left, 38), word);
    } else {
        // Two-tone: the first three letters in charcoal, the rest in the signal red.
        const QString head = word.left(3);
        p.setPen(c.dark);
        p.drawText(QPointF(left, 38), head);
        p.setPen(c.main);
        p.drawText(QPointF(left + QFontMetricsF(wordmark).horizontalAdvance(head), 38),
                   word.mid(3));
    }
    const double wordWidth = QFontMetricsF(wordmark).horizontalAdvance(word);
    const QFont small = fittedFont(tagline, 8, false, 1.2, wordWidth);
    p.setFont(small);
    p.setPen(c.tagline);
    p.drawText(QPointF(left + (orvan ? 1 : 0), 51), tagline);
    return image;
}

QImage Artwork::productPicture(Brand brand) {
    const BrandColours c = coloursOf(brand);
    QImage image = blank(240, 180, c.soft);
    QPainter p(&image);
    smooth(p);
    const bool orvan = brand == Brand::Orvan;
    // Floor and the object's shadow.
    p.fillRect(QRectF(0, 150, 240, 30), c.soft.darker(108));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawEllipse(QRectF(22, 144, 120, 14));
    if (orvan)
        drawCabinet(p, c);
    else
        drawMotor(p, c);

    const QString name = orvan ? QStringLiteral("Quvera") : QStringLiteral("Lomtix");
    const QString kind = orvan ? QStringLiteral("LIFT INVERTER") : QStringLiteral("LIFT DRIVE");
    const double left = 142;
    const QFont title = fittedFont(name, 30, !orvan, 0.5, 240 - left - 8);
    p.setFont(title);
    p.setPen(orvan ? c.main : c.dark);
    p.drawText(QPointF(left, 86), name);
    p.fillRect(QRectF(left + 1, 96, 28, 4), orvan ? c.accent : c.main);
    p.setFont(fittedFont(kind, 9, false, 1.4, 240 - left - 8));
    p.setPen(orvan ? c.main : c.tagline);
    p.drawText(QPointF(left + 1, 116), kind);
    return image;
}

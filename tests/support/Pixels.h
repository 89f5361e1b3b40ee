#pragma once
// Counting what a picture shows: pixels of one colour, or for which a test holds, in an
// area if one is given.
#include <QImage>

template <typename Match> int pixelsWhere(const QImage& image, Match match, QRect area = {}) {
    area = area.isNull() ? image.rect() : area & image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += match(image.pixelColor(x, y));
    return n;
}

inline int pixelsOf(const QImage& image, const QColor& colour, QRect area = {}) {
    return pixelsWhere(
        image, [&colour](const QColor& c) { return c == colour; }, area);
}

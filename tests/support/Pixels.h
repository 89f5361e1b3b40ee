#pragma once
// Counting what a picture shows: pixels of one colour, in an area if one is given.
#include <QImage>

inline int pixelsOf(const QImage& image, const QColor& colour, QRect area = {}) {
    area = area.isNull() ? image.rect() : area & image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

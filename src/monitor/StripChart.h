#pragma once
// Drawing of the strip chart into one of its two pictures: the three traces over the
// last 242 samples, the time marks, the level markers of the newest column and the
// scale of the chosen quantity.
#include "monitor/ChartScale.h"
#include "monitor/MonitorHistory.h"

#include <QColor>

class Canvas;
class QString;

namespace StripChart {

inline constexpr QRgb Background = 0x464646; // RGB(70, 70, 70)
// Columns 2..243 of 250 carry the traces; the strip to their right holds the markers.
constexpr int FirstColumn = 2;
constexpr int LastColumn = 243;

struct Shown {
    bool speed = true;
    bool accel = true;
    bool current = true;
};

// Clears `canvas` and draws the chart of `history` on it.
void draw(Canvas& canvas, const MonitorHistory& history, const Shown& shown,
          const ChartScale::Plan& scale);

// Clears `canvas` and prints the no-connection notice near its centre.
void drawOfflineNotice(Canvas& canvas, const QString& text);

} // namespace StripChart

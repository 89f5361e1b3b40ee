#pragma once
// The travel's four plots on a report page: stacked, each under its caption, drawn by
// the travel page's own drawing code at the page's resolution.
#include "report/ReportRenderer.h"
#include "sim/TravelPlots.h"

class LangModule;

namespace ReportPlots {

// Where plot `plot` lies in `area`: the plots share its height (acceleration and speed
// the most, the signal lanes the least), each below a caption band.
QRectF plotRect(TravelPlots::Plot plot, const QRectF& area);

// Draws the plots of the last run `plots` received; `plots` must outlive the painter.
PlotPainter painter(const TravelPlots& plots, const LangModule& lang);

} // namespace ReportPlots

#pragma once

#include "output/chart_axis.h"

#include <QIODevice>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quorvane::output {

// A straight line across a chart's plot area, with its label: a vertical marker at x = at, or
// a horizontal reference line at y = at.
struct ChartLine {
    double at = 0;
    QString label;
};

// A series of points beside a chart's first one, with its name for the legend.
struct ChartSeries {
    QString label;
    std::vector<QPointF> points; // in order along the line
};

// One series of points in data units, as a headless command charts what it measured: drawn
// offscreen with QPainter on a white image, with a title, a frame, labelled axes whose ticks
// fall on round values (1, 2 or 5 times a power of ten) and a light grid at the ticks.
//
// The axes span the points and the lines, widened to the nearest ticks outside them; a chart
// that shows part of its x values (xSpan) has an x axis of exactly that part, and a y axis that
// spans the points within it. A point with a coordinate that is infinite, not a number or
// beyond +-1e300 is no point: it breaks the line there, and a lone point between two breaks,
// or a stretch of the line that stays within a pixel, is drawn as a dot.
struct Chart {
    QSize size {1200, 800}; // pixels; readable text needs at least about 400x300
    QString title; // up to two lines, separated by '\n'
    QString xLabel;
    QString yLabel;
    std::vector<QPointF> points; // in order along the line
    // Further series, each drawn as `points` is, in a colour of its own, and named in a legend
    // between the title and the plot. The axes span them too.
    std::vector<ChartSeries> series;
    std::optional<ChartLine> marker; // a vertical line, labelled at its top
    std::optional<ChartLine> reference; // a horizontal line, labelled at its right end
    // The x values shown, from the first to the second, when not all of them are: the line
    // and the marker are cut off at the frame there. The first should be a round value (0).
    std::optional<std::pair<double, double>> xSpan;
};

// The axes a chart is drawn on, as drawChart() finds them.
struct ChartAxes {
    Axis x;
    Axis y;
};
ChartAxes chartAxes(const Chart& chart);

// Finds the fonts a chart's text is drawn in. A command that draws a chart after its work calls
// this before the work: under a memory limit the work may leave too little for the font
// library to read its fonts, and the text would come out as empty boxes.
void loadChartFonts();

// The chart as an image of chart.size pixels; a null image when the size is empty or the image
// cannot be allocated. Text needs a QGuiApplication (the headless commands run on the
// offscreen platform); without one the result is a null image rather than a crash.
QImage drawChart(const Chart& chart);

// Draws the chart and writes it into the device as PNG. Returns nothing on success, the reason
// on failure.
std::optional<QString> writeChartInto(const Chart& chart, QIODevice& device);

// Draws the chart and writes it to fileName as PNG, atomically (an existing file is replaced
// only once the new one is complete). Returns nothing on success, the reason on failure.
std::optional<QString> writeChart(const Chart& chart, const QString& fileName);

} // namespace quorvane::output

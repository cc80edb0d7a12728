#pragma once

#include <QIODevice>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
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
// The axes span the points and the lines, widened to the nearest ticks outside them. A point
// with a coordinate that is infinite, not a number or beyond +-1e300 is no point: it breaks
// the line there, and a lone point between two breaks is drawn as a dot.
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
};

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

// The chart a headless command writes: a PNG file of the size asked for, whose vertical marker
// stands where its value lies between the frame's two sides.

#include "output/chart.h"

#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>

namespace quorvane::output {
namespace {

// The columns where at least four fifths of the pixels in the middle third of the height
// satisfy `is`: long vertical lines, which no text or slanted series makes.
template <class Test> std::vector<int> verticalLines(const QImage& image, Test is)
{
    std::vector<int> columns;
    const int top = image.height() / 3;
    const int bottom = 2 * image.height() / 3;
    for (int x = 0; x < image.width(); ++x) {
        int hits = 0;
        for (int y = top; y < bottom; ++y)
            hits += is(QColor(image.pixel(x, y))) ? 1 : 0;
        if (hits * 5 >= (bottom - top) * 4)
            columns.push_back(x);
    }
    return columns;
}

double mean(const std::vector<int>& columns)
{
    double sum = 0;
    for (const int c : columns)
        sum += c;
    return sum / static_cast<double>(columns.size());
}

TEST(Chart, IsAPngFileOfTheRequestedSizeWithItsMarkerAtItsValue)
{
    Chart chart;
    chart.size = QSize(900, 600);
    chart.title = QStringLiteral("orbit 1: a=10 b=28 c=2.667\norbit 2: aa=10.001 bb=28 cc=2.667");
    chart.xLabel = QStringLiteral("step");
    chart.yLabel = QStringLiteral("log10 separation");
    // x from 0 to 100 makes an axis from 0 to 100; a break in the line at x = 60.
    chart.points = {{0, 0}, {40, 0.2}, {50, 0.1}, {60, NAN}, {70, 0.3}, {100, 1}};
    chart.marker = ChartLine {25, QStringLiteral("parting step 25")};
    chart.reference = ChartLine {0.5, QStringLiteral("zero")};

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("chart.png"));
    ASSERT_EQ(writeChart(chart, file), std::nullopt);
    QImageReader reader(file);
    EXPECT_EQ(reader.format(), "png");
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(900, 600));

    const std::vector<int> frame
        = verticalLines(image, [](const QColor& c) { return c.lightness() < 80; });
    const std::vector<int> marker = verticalLines(
        image, [](const QColor& c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; });
    ASSERT_GE(frame.size(), 2u);
    ASSERT_FALSE(marker.empty());
    const double left = frame.front();
    const double right = frame.back();
    EXPECT_GT(right - left, 600); // the plot takes most of the width
    EXPECT_NEAR(mean(marker), left + 0.25 * (right - left), 1.5);
}

// The pixels within `area` that satisfy `is`.
template <class Test> int count(const QImage& image, const QRect& area, Test is)
{
    int hits = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            hits += is(QColor(image.pixel(x, y))) ? 1 : 0;
    return hits;
}

bool isSeries(const QColor& c) { return c.blue() > 150 && c.red() < 110 && c.green() < 150; }

// Values that differ only below the smallest normal number, as --vary can ask for, still make
// an axis along which the line is drawn.
TEST(Chart, DrawsValuesApartByLessThanTheSmallestNormalNumber)
{
    Chart chart;
    chart.size = QSize(600, 400);
    chart.points = {{0, 0.5}, {5e-324, 0.6}, {1e-323, 0.75}};
    const QImage image = drawChart(chart);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(count(image, image.rect(), isSeries), 50) << "no line drawn";
}

// Points that all fall on one pixel, as values closer together than the axis can show do, are a
// dot rather than a line too short to draw.
TEST(Chart, DrawsPointsThatFallOnOnePixelAsADot)
{
    Chart chart;
    chart.size = QSize(600, 400);
    chart.points = {{0, 0.5}, {1e-310, 0.5}, {2e-310, 0.5}};
    const QImage image = drawChart(chart);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(count(image, image.rect(), isSeries), 4) << "nothing drawn";
}

// A line of far more points than the plot has columns, as a range of a million values makes,
// still reaches its highest and its lowest points, each a single point among thousands.
TEST(Chart, DrawsALineOfManyMorePointsThanColumnsToItsExtremes)
{
    Chart chart;
    chart.size = QSize(600, 400);
    for (int i = 0; i < 200'000; ++i)
        chart.points.emplace_back(i, i % 1000 == 500 ? (i / 1000 == 60 ? 10.0 : -10.0) : 0.0);
    const QImage image = drawChart(chart);
    ASSERT_FALSE(image.isNull());
    const output::ChartAxes axes = chartAxes(chart);
    ASSERT_EQ(axes.y.lo, -10);
    ASSERT_EQ(axes.y.hi, 10);
    // The line's top and bottom touch the plot's top and bottom: some series pixels lie in the
    // plot's highest and lowest few rows.
    int top = image.height(), bottom = 0;
    for (int y = 0; y < image.height(); ++y)
        if (count(image, QRect(0, y, image.width(), 1), isSeries) > 0) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    EXPECT_LT(top, image.height() / 5);
    EXPECT_GT(bottom, image.height() * 3 / 4);
}

// A reference line along the top of the plot, as the zero line is when every exponent of a
// range is negative, keeps its label inside the plot, below the line.
TEST(Chart, LabelsAReferenceLineAtTheTopOfThePlot)
{
    Chart chart;
    chart.size = QSize(600, 400);
    chart.points = {{0, -1}, {1, -0.9}};
    chart.reference = ChartLine {0, QStringLiteral("zero")};
    const QImage image = drawChart(chart);
    ASSERT_FALSE(image.isNull());
    const auto isDark = [](const QColor& c) { return c.lightness() < 150; };
    const std::vector<int> frame = verticalLines(image, isDark);
    ASSERT_GE(frame.size(), 2u);
    // The frame's top: the first row dark along the middle third of the plot's width.
    const int middle = (frame.front() + frame.back()) / 2;
    int top = 0;
    while (top < image.height() && !isDark(QColor(image.pixel(middle, top))))
        ++top;
    ASSERT_LT(top, image.height() / 2);
    const QRect belowLine(frame.back() - 100, top + 3, 95, 22);
    EXPECT_GT(count(image, belowLine, isDark), 10) << "no label under the line";
}

// Several series, as the spectrum's exponents are drawn: each in its own colour at its own
// height, the axis spanning all of them, and each named in a legend above the plot in the
// colour of its line.
TEST(Chart, DrawsEverySeriesInItsOwnColourWithALegend)
{
    Chart chart;
    chart.size = QSize(600, 400);
    // The axis runs from -0.6 to 0.6, its ticks outside the lines, so the lines lie inside the
    // frame.
    chart.series = {{QStringLiteral("first"), {{0, 0.45}, {1, 0.45}}},
        {QStringLiteral("second"), {{0, 0}, {1, 0}}},
        {QStringLiteral("third"), {{0, -0.45}, {1, -0.45}}}};
    const QImage image = drawChart(chart);
    ASSERT_FALSE(image.isNull());
    const auto isOrange = [](const QColor& c) {
        return c.red() > 180 && c.green() > 70 && c.green() < 150 && c.blue() < 80;
    };
    const auto isGreen
        = [](const QColor& c) { return c.green() > 120 && c.red() < 90 && c.blue() < 110; };
    const auto isDark = [](const QColor& c) { return c.lightness() < 150; };
    const std::vector<int> frame = verticalLines(image, isDark);
    ASSERT_GE(frame.size(), 2u);
    const int width = frame.back() - frame.front();
    // The frame's top: the first row dark across most of the plot's width.
    int top = 0;
    while (top < image.height() / 2
        && count(image, QRect(frame.front(), top, width, 1), isDark) < width * 4 / 5)
        ++top;
    ASSERT_LT(top, image.height() / 2);

    // The row inside the plot where each colour is densest: its line.
    const auto lineRow = [&](auto is) {
        int best = -1, most = 0;
        for (int y = top + 2; y < image.height(); ++y) {
            const int hits = count(image, QRect(frame.front() + 2, y, width - 4, 1), is);
            if (hits > most) {
                most = hits;
                best = y;
            }
        }
        EXPECT_GT(most, width / 2) << "no line across the plot";
        return best;
    };
    const int first = lineRow(isSeries), second = lineRow(isOrange), third = lineRow(isGreen);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_NEAR(second - first, third - second, 2); // evenly apart

    // Above the frame: a short line of each colour, and the names in dark text.
    const QRect legend(0, 0, image.width(), top - 1);
    for (const auto& is : {std::function<bool(const QColor&)>(isSeries), {isOrange}, {isGreen}})
        EXPECT_GT(count(image, legend, is), 20) << "a series missing from the legend";
    EXPECT_GT(count(image, legend, isDark), 100) << "no names in the legend";
}

// Written as exponents, a tick's label keeps every digit the ticks differ in: 1.5e-06 is not
// rounded to the 2e-06 of the tick above it.
TEST(Chart, TickLabelsWithExponentsKeepTheDigitsThatTellTicksApart)
{
    const auto labels = [](const Axis& axis) {
        QStringList texts;
        for (const double v : axis.ticks())
            texts << tickText(v, axis);
        return texts.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_EQ(labels(ticksWithin(-5e-7, 1.5e-6, 6)), "-5e-07 0 5e-07 1e-06 1.5e-06");
    EXPECT_EQ(labels(ticksWithin(0, 1.5e-9, 4)), "0 5e-10 1e-09 1.5e-09");
    EXPECT_EQ(labels(ticksWithin(1e9, 1.2e9, 4)), "1e+09 1.05e+09 1.1e+09 1.15e+09 1.2e+09");
    EXPECT_EQ(labels(ticksWithin(0.5, 0.50003, 3)), "0.5 0.50001 0.50002 0.50003");
}

// Ends further apart than a double holds, the whole range of doubles at most: round ticks in
// between all the same, and no end or step that is not a number.
TEST(Chart, AxesSpanEndsFurtherApartThanADoubleHolds)
{
    const Axis within = ticksWithin(-DBL_MAX, DBL_MAX, 6);
    EXPECT_EQ(within.ticks(), (std::vector<double> {-1e308, 0, 1e308}));
    const Axis nice = niceAxis(-1.7e308, 1.7e308, 6);
    EXPECT_TRUE(std::isfinite(nice.lo) && std::isfinite(nice.hi) && std::isfinite(nice.step));
    EXPECT_LE(nice.lo, -1.7e308);
    EXPECT_GE(nice.hi, 1.7e308);
    const std::vector<double> ticks = nice.ticks();
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front(), nice.lo);
}

TEST(Chart, AnEmptySizeOrAFolderItCannotWriteIsAReasonNotAFile)
{
    Chart chart;
    chart.size = QSize(0, 600);
    EXPECT_TRUE(drawChart(chart).isNull());
    chart.size = QSize(300, 200);
    QTemporaryDir folder;
    EXPECT_NE(
        writeChart(chart, folder.filePath(QStringLiteral("missing/chart.png"))), std::nullopt);
    EXPECT_FALSE(drawChart(chart).isNull()); // no points at all still makes a chart
}

} // namespace
} // namespace quorvane::output

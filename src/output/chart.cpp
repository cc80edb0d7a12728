#include "output/chart.h"

#include "output/chart_axis.h"
#include "output/chart_style.h"
#include "platform/qt/atomic_file.h"
#include "platform/qt/bitmap_file.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>

namespace quorvane::output {

using namespace chartstyle;

namespace {

constexpr double kLargest = 1e300; // beyond this a coordinate is no point
// A line with more points than this for each pixel column of the plot is drawn through fewer.
constexpr qsizetype kPointsPerColumn = 8;

const QColor kFrame(0, 0, 0);
const QColor kGrid(225, 225, 225);
const QColor kSeries(31, 95, 191);
// The further series' colours, in turn; the first series of them takes kSeries.
const QColor kMoreSeries[] = {
    kSeries, QColor(222, 110, 20), QColor(40, 150, 60), QColor(150, 60, 170), QColor(140, 90, 50)};
constexpr int kLegendLine = 28; // the length of a legend entry's line, in pixels
const QColor kMarker(200, 30, 30);
const QColor kReference(70, 70, 70);

bool isPoint(const QPointF& p)
{
    return std::fabs(p.x()) <= kLargest && std::fabs(p.y()) <= kLargest;
}

// A label on a white box, so lines under it do not hide it.
void drawBoxedText(QPainter& painter, const QRectF& box, const QString& text, const QColor& colour)
{
    painter.fillRect(box.adjusted(-3, -1, 3, 1), QColor(255, 255, 255, 220));
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, text);
}

// A line of many more points than the plot has pixel columns, as a range of a million values
// makes, is drawn through fewer: in each column its first and last point and its lowest and
// highest, in the order the line meets them. It looks the same, and the painter's stroker,
// whose memory grows with the points and which does not survive running out of it, is handed a
// few thousand points however many the chart has.
QPolygonF throughColumns(const QPolygonF& line)
{
    QPolygonF fewer;
    qsizetype first = 0;
    while (first < line.size()) {
        const double column = std::floor(line[first].x());
        qsizetype last = first, lowest = first, highest = first;
        while (last + 1 < line.size() && std::floor(line[last + 1].x()) == column) {
            ++last;
            lowest = line[last].y() < line[lowest].y() ? last : lowest;
            highest = line[last].y() > line[highest].y() ? last : highest;
        }
        const qsizetype inOrder[]
            = {first, std::min(lowest, highest), std::max(lowest, highest), last};
        for (std::size_t i = 0; i < std::size(inOrder); ++i)
            if (i == 0 || inOrder[i] != inOrder[i - 1])
                fewer << line[inOrder[i]];
        first = last + 1;
    }
    return fewer;
}

class ChartPainter {
public:
    ChartPainter(QImage& image, const Chart& chart)
        : m_painter(&image)
        , m_chart(chart)
    {
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
    }

    void draw()
    {
        findAxes();
        layOut();
        drawGridAndTicks();
        drawSeries();
        drawLines();
        m_painter.setClipping(false);
        m_painter.setPen(QPen(kFrame, 1));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(m_plot);
        drawTexts();
        drawLegend();
    }

private:
    void findAxes()
    {
        const ChartAxes axes = chartAxes(m_chart);
        m_x = axes.x;
        m_y = axes.y;
    }

    void layOut()
    {
        const QFontMetricsF tick(font(kTickFont));
        const QFontMetricsF label(font(kLabelFont));
        const QFontMetricsF title(font(kTitleFont, true));
        double widest = 0;
        for (const double v : m_y.ticks())
            widest = std::max(widest, tick.horizontalAdvance(tickText(v, m_y)));
        const double titleLines = m_chart.title.isEmpty()
            ? 0
            : static_cast<double>(m_chart.title.count(QLatin1Char('\n')) + 1);
        const double left = kPad + label.height() + kPad + widest + kTickLength + 4;
        const double legend = m_chart.series.empty() ? 0 : label.height() + kPad / 2;
        const double top = kPad + titleLines * title.lineSpacing() + kPad + legend;
        const double bottom = kTickLength + 4 + tick.height() + kPad / 2 + label.height() + kPad;
        const double right = kPad + tick.horizontalAdvance(tickText(m_x.hi, m_x)) / 2;
        const QSizeF size = m_chart.size;
        // On pixel centres, so the frame and the grid are crisp one-pixel lines.
        m_plot = QRectF(std::round(left) + 0.5, std::round(top) + 0.5,
            std::max(1.0, std::round(size.width() - left - right)),
            std::max(1.0, std::round(size.height() - top - bottom)));
    }

    QPointF toPixels(const QPointF& p) const
    {
        return {m_plot.left() + m_x.fraction(p.x()) * m_plot.width(),
            m_plot.bottom() - m_y.fraction(p.y()) * m_plot.height()};
    }

    void drawGridAndTicks()
    {
        m_painter.setFont(font(kTickFont));
        const QFontMetricsF metrics(m_painter.font());
        for (const double v : m_x.ticks()) {
            const double x = toPixels({v, m_y.lo}).x();
            m_painter.setPen(QPen(kGrid, 1));
            m_painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
            m_painter.setPen(QPen(kFrame, 1));
            m_painter.drawLine(
                QPointF(x, m_plot.bottom()), QPointF(x, m_plot.bottom() + kTickLength));
            const QString text = tickText(v, m_x);
            const double width = metrics.horizontalAdvance(text);
            m_painter.setPen(kText);
            m_painter.drawText(QRectF(x - width / 2 - 2, m_plot.bottom() + kTickLength + 4,
                                   width + 4, metrics.height()),
                Qt::AlignCenter, text);
        }
        for (const double v : m_y.ticks()) {
            const double y = toPixels({m_x.lo, v}).y();
            m_painter.setPen(QPen(kGrid, 1));
            m_painter.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
            m_painter.setPen(QPen(kFrame, 1));
            m_painter.drawLine(QPointF(m_plot.left() - kTickLength, y), QPointF(m_plot.left(), y));
            m_painter.setPen(kText);
            m_painter.drawText(QRectF(0, y - metrics.height() / 2, m_plot.left() - kTickLength - 4,
                                   metrics.height()),
                Qt::AlignRight | Qt::AlignVCenter, tickText(v, m_y));
        }
    }

    void drawSeries()
    {
        m_painter.setClipRect(m_plot.adjusted(-2, -2, 2, 2));
        drawLine(m_chart.points, kSeries);
        for (std::size_t i = 0; i < m_chart.series.size(); ++i)
            drawLine(m_chart.series[i].points, seriesColour(i));
    }

    static QColor seriesColour(std::size_t index)
    {
        return kMoreSeries[index % std::size(kMoreSeries)];
    }

    // The points as a line, broken where a point is no point, a lone point as a dot.
    void drawLine(const std::vector<QPointF>& points, const QColor& colour)
    {
        m_painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_painter.setBrush(colour);
        QPolygonF run;
        // A stretch that stays within a pixel is a dot: a line that short draws nothing.
        auto finishRun = [&] {
            if (run.isEmpty())
                return;
            const QRectF extent = run.boundingRect();
            if (extent.width() < 1 && extent.height() < 1)
                m_painter.drawEllipse(run.front(), 2.0, 2.0);
            else if (run.size() > kPointsPerColumn * static_cast<qsizetype>(m_plot.width()))
                m_painter.drawPolyline(throughColumns(run));
            else
                m_painter.drawPolyline(run);
            run.clear();
        };
        for (const QPointF& p : points) {
            if (isPoint(p))
                run << toPixels(p);
            else
                finishRun();
        }
        finishRun();
    }

    // The further series' names in a row centred above the plot, each after a short line in
    // its colour.
    void drawLegend()
    {
        if (m_chart.series.empty())
            return;
        m_painter.setFont(font(kLabelFont));
        const QFontMetricsF metrics(m_painter.font());
        constexpr double kGap = 8; // between a line and its name
        constexpr double kSpace = 28; // between two entries
        double width = 0;
        for (const ChartSeries& series : m_chart.series)
            width += kLegendLine + kGap + metrics.horizontalAdvance(series.label) + kSpace;
        width -= kSpace;
        double x = m_plot.center().x() - width / 2;
        const double top = m_plot.top() - kPad / 2 - metrics.height();
        const double middle = top + metrics.height() / 2;
        for (std::size_t i = 0; i < m_chart.series.size(); ++i) {
            const QString& name = m_chart.series[i].label;
            m_painter.setPen(QPen(seriesColour(i), 2, Qt::SolidLine, Qt::RoundCap));
            m_painter.drawLine(QPointF(x, middle), QPointF(x + kLegendLine, middle));
            x += kLegendLine + kGap;
            const double nameWidth = metrics.horizontalAdvance(name);
            m_painter.setPen(kText);
            m_painter.drawText(QRectF(x, top, nameWidth + 1, metrics.height()),
                Qt::AlignLeft | Qt::AlignVCenter, name);
            x += nameWidth + kSpace;
        }
    }

    void drawLines()
    {
        const QFontMetricsF metrics(font(kLabelFont));
        m_painter.setFont(font(kLabelFont));
        m_painter.setBrush(Qt::NoBrush);
        if (const auto& r = m_chart.reference; r && std::fabs(r->at) <= kLargest) {
            const double y = toPixels({m_x.lo, r->at}).y();
            m_painter.setPen(QPen(kReference, 1.5, Qt::DashLine));
            m_painter.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
            const double width = metrics.horizontalAdvance(r->label);
            // Above the line, unless that would leave the plot, where the clip would hide it.
            const double above = y - metrics.height() - 3;
            const double top = above >= m_plot.top() + 2 ? above : y + 3;
            drawBoxedText(m_painter,
                QRectF(m_plot.right() - width - 8, top, width, metrics.height()), r->label,
                kReference);
        }
        if (const auto& m = m_chart.marker; m && std::fabs(m->at) <= kLargest) {
            const double x = toPixels({m->at, m_y.lo}).x();
            m_painter.setPen(QPen(kMarker, 2));
            m_painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
            const double width = metrics.horizontalAdvance(m->label);
            // Right of the line, unless that would leave the plot.
            const double left = x + 8 + width <= m_plot.right() - 4 ? x + 8 : x - 8 - width;
            drawBoxedText(m_painter, QRectF(left, m_plot.top() + 6, width, metrics.height()),
                m->label, kMarker);
        }
    }

    void drawTexts()
    {
        m_painter.setPen(kText);
        m_painter.setFont(font(kTitleFont, true));
        const QFontMetricsF title(m_painter.font());
        const QStringList lines = m_chart.title.split('\n');
        for (qsizetype i = 0; i < lines.size() && !m_chart.title.isEmpty(); ++i)
            m_painter.drawText(QRectF(0, kPad + static_cast<double>(i) * title.lineSpacing(),
                                   m_chart.size.width(), title.lineSpacing()),
                Qt::AlignHCenter | Qt::AlignVCenter, lines[i]);

        m_painter.setFont(font(kLabelFont));
        const QFontMetricsF label(m_painter.font());
        m_painter.drawText(QRectF(m_plot.left(), m_chart.size.height() - kPad - label.height(),
                               m_plot.width(), label.height()),
            Qt::AlignCenter, m_chart.xLabel);
        // The y label reads upwards, centred on the plot's height.
        m_painter.save();
        m_painter.translate(kPad, m_plot.center().y());
        m_painter.rotate(-90);
        m_painter.drawText(QRectF(-m_plot.height() / 2, 0, m_plot.height(), label.height()),
            Qt::AlignCenter, m_chart.yLabel);
        m_painter.restore();
    }

    QPainter m_painter;
    const Chart& m_chart;
    Axis m_x;
    Axis m_y;
    QRectF m_plot;
};

} // namespace

ChartAxes chartAxes(const Chart& chart)
{
    const auto shown = [&](double x) {
        return !chart.xSpan || (x >= chart.xSpan->first && x <= chart.xSpan->second);
    };
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    const auto span = [&](const std::vector<QPointF>& points) {
        for (const QPointF& p : points) {
            if (!isPoint(p) || !shown(p.x()))
                continue;
            x0 = std::min(x0, p.x());
            x1 = std::max(x1, p.x());
            y0 = std::min(y0, p.y());
            y1 = std::max(y1, p.y());
        }
    };
    span(chart.points);
    for (const ChartSeries& series : chart.series)
        span(series.points);
    if (const auto& m = chart.marker; m && std::fabs(m->at) <= kLargest) {
        x0 = std::min(x0, m->at);
        x1 = std::max(x1, m->at);
    }
    if (const auto& r = chart.reference; r && std::fabs(r->at) <= kLargest) {
        y0 = std::min(y0, r->at);
        y1 = std::max(y1, r->at);
    }
    return {
        chart.xSpan ? spanAxis(chart.xSpan->first, chart.xSpan->second, 8) : niceAxis(x0, x1, 8),
        niceAxis(y0, y1, 6)};
}

void loadChartFonts()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return;
    for (const QFont& used : {font(kTitleFont, true), font(kLabelFont), font(kTickFont)})
        QFontMetricsF(used).horizontalAdvance(QStringLiteral("0"));
}

QImage drawChart(const Chart& chart)
{
    if (chart.size.isEmpty()
        || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return {};
    QImage image(chart.size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    ChartPainter(image, chart).draw();
    return image;
}

std::optional<QString> writeChartInto(const Chart& chart, QIODevice& device)
{
    const QImage image = drawChart(chart);
    if (image.isNull())
        return QStringLiteral("cannot draw a %1x%2 chart")
            .arg(chart.size.width())
            .arg(chart.size.height());
    return qt::writeImageInto(device, image, "png");
}

std::optional<QString> writeChart(const Chart& chart, const QString& fileName)
{
    return qt::writeAtomically(
        fileName, [&](QIODevice& file) { return writeChartInto(chart, file); });
}

} // namespace quorvane::output

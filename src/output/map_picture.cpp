#include "output/map_picture.h"

#include "output/chart_axis.h"
#include "output/chart_style.h"
#include "output/colour_bar.h"
#include "platform/qt/bitmap_file.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace quorvane::output {

using namespace chartstyle;

namespace {

constexpr int kBarGap = 28; // between the map and the colour bar
constexpr std::uint64_t kMapWidth = 960; // the map's size that blocks fill at most
constexpr std::uint64_t kMapHeight = 720;

// The values at a map's two edges along one axis: each value is the middle of its block, so the
// edges lie half a spacing beyond the first and the last.
struct Span {
    double lo = 0;
    double hi = 1;

    // Edges near the largest doubles may lie further apart than a double holds; their halves
    // never do.
    double fraction(double v) const
    {
        const double width = hi - lo;
        return std::isfinite(width) ? (v - lo) / width : (v / 2 - lo / 2) / (hi / 2 - lo / 2);
    }
};

Span spanOf(double first, double last, std::uint64_t count)
{
    const double gap = std::fabs(last - first);
    const double halfGap = std::isfinite(gap) ? gap / 2 : std::fabs(last / 2 - first / 2);
    const double half = halfGap / static_cast<double>(count > 1 ? count - 1 : 1);
    // Half a spacing beyond the first and the last value, but not beyond the largest doubles.
    const auto within = [](double edge) { return std::clamp(edge, -DBL_MAX, DBL_MAX); };
    Span span {within(std::min(first, last) - half), within(std::max(first, last) + half)};
    if (count <= 1)
        span = {within(first - half), within(first + half)};
    if (!(span.hi > span.lo))
        span = {first - 0.5, first + 0.5};
    return span;
}

class MapPainter {
public:
    MapPainter(const MapPicture& map)
        : m_map(map)
        , m_block(blockSize(map.columns, map.rows))
        , m_x(spanOf(map.xFirst, map.xLast, map.columns))
        , m_y(spanOf(map.yFirst, map.yLast, map.rows))
        , m_range(scaleRange(map.values))
        , m_bar(m_range, map.scaleLabel, map.noValueLabel, map.zeroLabel)
    {
        m_xTicks = ticksWithin(m_x.lo, m_x.hi, 6);
        m_yTicks = ticksWithin(m_y.lo, m_y.hi, 6);
        layOut();
    }

    QSize size() const { return m_size; }
    QRect area() const { return m_plot; }

    void draw(QImage& image)
    {
        image.fill(Qt::white);
        drawValues(image);
        drawContour(image);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(m_plot.adjusted(-1, -1, 0, 0));
        m_bar.draw(painter, m_barArea, m_shades);
        drawAxes(painter);
        drawTexts(painter);
    }

private:
    void layOut()
    {
        const QFontMetrics tick(font(kTickFont));
        const QFontMetrics label(font(kLabelFont));
        const QFontMetrics title(font(kTitleFont, true));
        int widestY = 0;
        for (const double v : m_yTicks.ticks())
            widestY = std::max(widestY, tick.horizontalAdvance(tickText(v, m_yTicks)));
        const int titleLines = m_map.title.isEmpty()
            ? 0
            : static_cast<int>(m_map.title.count(QLatin1Char('\n'))) + 1;
        const int left = kPad + label.height() + kPad + widestY + kTickLength + 4;
        const int top = kPad + titleLines * title.lineSpacing() + kPad;
        const int width = static_cast<int>(m_map.columns) * m_block;
        const int height = static_cast<int>(m_map.rows) * m_block;
        m_plot = QRect(left, top, width, height);

        const int barHeight
            = std::max(ColourBar::kLeastHeight, height - kPad - m_bar.legendHeight());
        m_barArea = QRect(m_plot.right() + 1 + kBarGap, top, ColourBar::kWidth, barHeight);
        const int right = m_barArea.left() + m_bar.width() + kPad;
        const int axisBelow = kTickLength + 4 + tick.height() + kPad / 2 + label.height() + kPad;
        const int bottom = std::max(m_plot.bottom() + 1 + axisBelow,
            m_barArea.bottom() + 1 + kPad + m_bar.legendHeight() + kPad);
        int widestTitle = 0;
        for (const QString& line : m_map.title.split(QLatin1Char('\n')))
            widestTitle = std::max(widestTitle, title.horizontalAdvance(line));
        m_size = QSize(std::max(right, widestTitle + 2 * kPad), bottom);
    }

    // Where the block of column i or row j lies, counted from the left or from the bottom. Each
    // is its own inverse: the column or row whose block lies in a slot.
    std::uint64_t columnSlot(std::uint64_t i) const
    {
        return m_map.xLast >= m_map.xFirst ? i : m_map.columns - 1 - i;
    }
    std::uint64_t rowSlot(std::uint64_t j) const
    {
        return m_map.yLast >= m_map.yFirst ? j : m_map.rows - 1 - j;
    }
    // The value whose block lies in the slots, counted as columnSlot() and rowSlot() count them.
    float valueAt(std::uint64_t columnAt, std::uint64_t rowAt) const
    {
        return m_map.values[rowSlot(rowAt) * m_map.columns + columnSlot(columnAt)];
    }
    // The top left pixel of a block.
    QPoint blockCorner(std::uint64_t columnSlot, std::uint64_t rowSlot) const
    {
        return {m_plot.left() + static_cast<int>(columnSlot) * m_block,
            m_plot.top() + static_cast<int>(m_map.rows - 1 - rowSlot) * m_block};
    }

    void drawValues(QImage& image) const
    {
        for (std::uint64_t j = 0; j < m_map.rows; ++j)
            for (std::uint64_t i = 0; i < m_map.columns; ++i) {
                const float v = m_map.values[j * m_map.columns + i];
                const QPoint corner = blockCorner(columnSlot(i), rowSlot(j));
                const QRgb colour = m_shades.at(m_range.position(v));
                for (int y = corner.y(); y < corner.y() + m_block; ++y) {
                    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                    for (int x = corner.x(); x < corner.x() + m_block; ++x)
                        line[x] = std::isnan(v) ? noValueColour(x, y) : colour;
                }
            }
    }

    // Lines along the edges between a block above zero and one at or below it.
    void drawContour(QImage& image) const
    {
        const int width = m_block >= 8 ? 2 : 1;
        const auto fill = [&](int x0, int y0, int w, int h) {
            for (int y = y0; y < y0 + h; ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = x0; x < x0 + w; ++x)
                    line[x] = kContour;
            }
        };
        const auto parts = [](float a, float b) {
            return !std::isnan(a) && !std::isnan(b) && (a > 0) != (b > 0);
        };
        for (std::uint64_t r = 0; r < m_map.rows; ++r)
            for (std::uint64_t c = 0; c < m_map.columns; ++c) {
                const float v = valueAt(c, r);
                const QPoint corner = blockCorner(c, r);
                if (c + 1 < m_map.columns && parts(v, valueAt(c + 1, r)))
                    fill(corner.x() + m_block - width / 2, corner.y(), width, m_block);
                if (r + 1 < m_map.rows && parts(v, valueAt(c, r + 1)))
                    fill(corner.x(), corner.y() - width / 2, m_block, width);
            }
    }

    void drawAxes(QPainter& painter) const
    {
        painter.setFont(font(kTickFont));
        const QFontMetricsF metrics(painter.font());
        for (const double v : m_xTicks.ticks()) {
            const double x = std::round(m_plot.left() + m_x.fraction(v) * m_plot.width()) - 0.5;
            painter.setPen(QPen(Qt::black, 1));
            painter.drawLine(
                QPointF(x, m_plot.bottom() + 1), QPointF(x, m_plot.bottom() + 1 + kTickLength));
            const QString text = tickText(v, m_xTicks);
            const double width = metrics.horizontalAdvance(text);
            painter.setPen(kText);
            painter.drawText(QRectF(x - width / 2 - 2, m_plot.bottom() + 1 + kTickLength + 4,
                                 width + 4, metrics.height()),
                Qt::AlignCenter, text);
        }
        for (const double v : m_yTicks.ticks()) {
            const double y
                = std::round(m_plot.bottom() + 1 - m_y.fraction(v) * m_plot.height()) - 0.5;
            painter.setPen(QPen(Qt::black, 1));
            painter.drawLine(
                QPointF(m_plot.left() - 1 - kTickLength, y), QPointF(m_plot.left() - 1, y));
            painter.setPen(kText);
            painter.drawText(QRectF(0, y - metrics.height() / 2,
                                 m_plot.left() - 1 - kTickLength - 4, metrics.height()),
                Qt::AlignRight | Qt::AlignVCenter, tickText(v, m_yTicks));
        }
    }

    void drawTexts(QPainter& painter) const
    {
        painter.setPen(kText);
        painter.setFont(font(kTitleFont, true));
        const QFontMetrics title(painter.font());
        const QStringList lines = m_map.title.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size() && !m_map.title.isEmpty(); ++i)
            painter.drawText(QRect(0, kPad + static_cast<int>(i) * title.lineSpacing(),
                                 m_size.width(), title.lineSpacing()),
                Qt::AlignHCenter | Qt::AlignVCenter, lines[i]);

        painter.setFont(font(kLabelFont));
        const QFontMetrics label(painter.font());
        const QFontMetrics tick(font(kTickFont));
        painter.drawText(
            QRect(m_plot.left(), m_plot.bottom() + 1 + kTickLength + 4 + tick.height() + kPad / 2,
                m_plot.width(), label.height()),
            Qt::AlignCenter, m_map.xLabel);
        painter.save();
        painter.translate(kPad, m_plot.center().y());
        painter.rotate(-90);
        painter.drawText(
            QRectF(-m_plot.height() / 2.0 - 100, 0, m_plot.height() + 200, label.height()),
            Qt::AlignCenter, m_map.yLabel);
        painter.restore();
    }

    const MapPicture& m_map;
    const int m_block;
    const Span m_x;
    const Span m_y;
    const ScaleRange m_range;
    const ColourBar m_bar;
    const ScaleShades m_shades;
    Axis m_xTicks;
    Axis m_yTicks;
    QRect m_plot;
    QRect m_barArea;
    QSize m_size;
};

} // namespace

int blockSize(std::uint64_t columns, std::uint64_t rows)
{
    if (columns == 0 || rows == 0)
        return 1;
    return static_cast<int>(
        std::max<std::uint64_t>(1, std::min(kMapWidth / columns, kMapHeight / rows)));
}

namespace {

// Whether the map can be drawn: values that fill it, and a QGuiApplication for its text.
bool isDrawable(const MapPicture& map)
{
    // Sides beyond this would overflow the picture's pixel coordinates.
    constexpr std::uint64_t kMostSide = 1u << 15;
    return map.columns > 0 && map.rows > 0 && map.columns <= kMostSide && map.rows <= kMostSide
        && map.values.size() == map.columns * map.rows
        && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

QRect mapArea(const MapPicture& map)
{
    if (!isDrawable(map))
        return {};
    return MapPainter(map).area();
}

QImage drawMap(const MapPicture& map)
{
    if (!isDrawable(map))
        return {};
    MapPainter painter(map);
    QImage image(painter.size(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    painter.draw(image);
    return image;
}

std::optional<QString> writeMapInto(const MapPicture& map, QIODevice& device)
{
    const QImage image = drawMap(map);
    if (image.isNull())
        return QStringLiteral("cannot draw a map of %1x%2 values").arg(map.columns).arg(map.rows);
    return qt::writeImageInto(device, image, "png");
}

} // namespace quorvane::output

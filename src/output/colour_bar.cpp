#include "output/colour_bar.h"

#include "output/chart_axis.h"
#include "output/chart_style.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace quorvane::output {

using namespace chartstyle;

namespace {

constexpr int kSwatchWidth = 30;
constexpr int kSwatchHeight = 18;
constexpr int kLegendGap = 10; // between two lines of the legend
constexpr int kBarTicks = 4; // about as many round ticks on each half

} // namespace

ScaleShades::ScaleShades()
{
    for (int i = 0; i < kShades; ++i) {
        const double s = static_cast<double>(i) / (kShades - 1);
        m_cold[static_cast<std::size_t>(i)] = divergingColour(-s);
        m_warm[static_cast<std::size_t>(i)] = divergingColour(s);
    }
}

ColourBar::ColourBar(const ScaleRange& range, const QString& label, const QString& noValueLabel,
    const QString& zeroLabel)
    : m_range(range)
    , m_label(label)
    , m_noValueLabel(noValueLabel)
    , m_zeroLabel(zeroLabel)
{
}

std::vector<double> ColourBar::ticks() const
{
    std::vector<double> ticks = ticksWithin(m_range.least, 0, kBarTicks).ticks();
    for (const double v : ticksWithin(0, m_range.most, kBarTicks).ticks())
        if (v != 0)
            ticks.push_back(v);
    return ticks;
}

QString ColourBar::tickLabel(double v) const
{
    return tickText(v,
        v < 0 ? ticksWithin(m_range.least, 0, kBarTicks) : ticksWithin(0, m_range.most, kBarTicks));
}

int ColourBar::widestTickLabel() const
{
    const QFontMetrics metrics(font(kTickFont));
    int widest = 0;
    for (const double v : ticks())
        widest = std::max(widest, metrics.horizontalAdvance(tickLabel(v)));
    return widest;
}

int ColourBar::width() const
{
    const QFontMetrics label(font(kLabelFont));
    const int bar = kWidth + kTickLength + 4 + widestTickLabel() + kPad + label.height();
    const int legend = kSwatchWidth + 8
        + std::max(label.horizontalAdvance(m_noValueLabel), label.horizontalAdvance(m_zeroLabel));
    return std::max(bar, legend);
}

int ColourBar::legendHeight() const
{
    return (m_range.belowLeast ? kWidth / 2 : 0) + 2 * kSwatchHeight + kLegendGap;
}

void ColourBar::draw(QPainter& painter, const QRect& bar, const ScaleShades& shades) const
{
    const double half = bar.height() / 2.0;
    for (int y = bar.top(); y <= bar.bottom(); ++y)
        painter.fillRect(QRect(bar.left(), y, bar.width(), 1),
            QColor(shades.at((bar.top() + half - (y + 0.5)) / half)));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar.adjusted(-1, -1, 0, 0));
    drawTicks(painter, bar);
    drawEnds(painter, bar);
    drawLegend(painter, bar);
}

void ColourBar::drawTicks(QPainter& painter, const QRect& bar) const
{
    painter.setFont(font(kTickFont));
    const QFontMetricsF metrics(painter.font());
    for (const double v : ticks()) {
        const double y
            = std::round(bar.top() + bar.height() / 2.0 * (1 - m_range.position(v))) + 0.5;
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(bar.right() + 1, y), QPointF(bar.right() + 1 + kTickLength, y));
        painter.setPen(kText);
        painter.drawText(QRectF(bar.right() + 1 + kTickLength + 4, y - metrics.height() / 2, 200,
                             metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, tickLabel(v));
    }
    // The label reads upwards, right of the tick labels.
    painter.setFont(font(kLabelFont));
    const QFontMetrics label(painter.font());
    painter.save();
    painter.translate(
        bar.right() + 1 + kTickLength + 4 + widestTickLabel() + kPad, bar.center().y() + 1);
    painter.rotate(-90);
    painter.drawText(
        QRectF(-bar.height() / 2.0, 0, bar.height(), label.height()), Qt::AlignCenter, m_label);
    painter.restore();
}

void ColourBar::drawEnds(QPainter& painter, const QRect& bar) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto point = [&](double baseY, double tipY, QRgb colour) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(QColor(colour));
        painter.drawPolygon(
            QPolygonF({QPointF(bar.left() - 0.5, baseY), QPointF(bar.right() + 1.5, baseY),
                QPointF((bar.left() + bar.right() + 1) / 2.0, tipY)}));
    };
    if (m_range.aboveMost)
        point(bar.top() - 1, bar.top() - 1 - kWidth * 0.8, divergingColour(1));
    if (m_range.belowLeast)
        point(bar.bottom() + 1, bar.bottom() + 1 + kWidth * 0.8, divergingColour(-1));
    painter.restore();
}

void ColourBar::drawLegend(QPainter& painter, const QRect& bar) const
{
    painter.setFont(font(kLabelFont));
    int top = bar.bottom() + 1 + kPad + (m_range.belowLeast ? kWidth / 2 : 0);
    const QRect swatch(bar.left(), top, kSwatchWidth, kSwatchHeight);
    QImage hatch(swatch.size(), QImage::Format_RGB32);
    for (int y = 0; y < hatch.height(); ++y)
        for (int x = 0; x < hatch.width(); ++x)
            hatch.setPixel(x, y, noValueColour(swatch.left() + x, swatch.top() + y));
    painter.drawImage(swatch.topLeft(), hatch);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.setPen(kText);
    painter.drawText(QRect(swatch.right() + 8, top, 400, kSwatchHeight),
        Qt::AlignLeft | Qt::AlignVCenter, m_noValueLabel);

    top += kSwatchHeight + kLegendGap;
    painter.fillRect(
        QRect(bar.left(), top + kSwatchHeight / 2 - 1, kSwatchWidth, 2), QColor(kContour));
    painter.drawText(QRect(bar.left() + kSwatchWidth + 8, top, 400, kSwatchHeight),
        Qt::AlignLeft | Qt::AlignVCenter, m_zeroLabel);
}

} // namespace quorvane::output

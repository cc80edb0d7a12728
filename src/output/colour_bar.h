#pragma once

#include "output/chart_style.h"
#include "output/diverging_scale.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

namespace quorvane::output {

// The colour of a map's zero contour, in the map and in the colour bar's legend.
inline constexpr QRgb kContour = 0xFF000000;

// The two halves of the diverging scale as colours to look up rather than compute, 512 each.
class ScaleShades {
public:
    ScaleShades();
    // The colour of position t: zero and below are order, cold; above zero chaos, warm. Not a
    // number, which a map hatches instead, gets zero's rather than an index out of the table.
    QRgb at(double t) const
    {
        const double s = std::isnan(t) ? 0.0 : std::min(std::fabs(t), 1.0);
        const auto i = static_cast<std::size_t>(std::lround(s * (kShades - 1)));
        return t > 0 ? m_warm[i] : m_cold[i];
    }

private:
    static constexpr int kShades = 512;
    std::array<QRgb, kShades> m_cold {};
    std::array<QRgb, kShades> m_warm {};
};

// The colour bar beside a map: the scale from its cold end at the bottom to its warm end at the
// top, zero in the middle and each half spread over its own side, round ticks on each half, a
// pointed end in the end's colour where values lie beyond it, and its label reading upwards;
// under it the legend of the hatching and of the zero contour.
class ColourBar {
public:
    static constexpr int kWidth = 24; // the bar's own width
    static constexpr int kLeastHeight = 240; // so that its ticks stay apart

    ColourBar(const ScaleRange& range, const QString& label, const QString& noValueLabel,
        const QString& zeroLabel);

    // The width it takes from the bar's left edge: the bar with its ticks, their labels and its
    // label, or the legend, whichever is wider.
    int width() const;
    // The height the legend takes under the bar.
    int legendHeight() const;
    // Draws the bar into `bar`, kWidth wide, with all that goes beside and under it.
    void draw(QPainter& painter, const QRect& bar, const ScaleShades& shades) const;

private:
    std::vector<double> ticks() const;
    QString tickLabel(double v) const;
    int widestTickLabel() const;
    void drawTicks(QPainter& painter, const QRect& bar) const;
    void drawEnds(QPainter& painter, const QRect& bar) const;
    void drawLegend(QPainter& painter, const QRect& bar) const;

    const ScaleRange m_range;
    const QString m_label;
    const QString m_noValueLabel;
    const QString m_zeroLabel;
};

} // namespace quorvane::output

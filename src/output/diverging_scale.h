#pragma once

#include <QRgb>

#include <span>

namespace quorvane::output {

// The colour scale of a map of Lyapunov exponents: diverging at zero, and readable without
// colour. Its lightness rises steadily from the most negative value (dark) to the most positive
// (light), so that a greyscale print or a reader who sees no hue still orders the values; its
// hue is blue below zero (order) and turns warm above it (chaos), orange to yellow, along the
// blue-yellow axis that readers with the common red-green colour blindness still see. A step in
// lightness and hue at zero marks the border between the two.
//
// t is the position on the scale: -1 the most negative value, 0 zero, 1 the most positive.
// Zero itself is order's, on the cold side, as an exponent that is not above zero is no chaos.
// Positions outside [-1, 1] take the colour of the nearer end, and one that is not a number
// the colour of zero.
QRgb divergingColour(double t);

// The hatching of a value that has none: diagonal stripes of these two greys, which no value
// of the scale has and which read as a pattern in greyscale too.
inline constexpr QRgb kNoValueLight = 0xFFFFFFFF;
inline constexpr QRgb kNoValueDark = 0xFF8C8C8C;
// The colour of the hatching at image pixel (x, y): stripes 6 pixels apart.
QRgb noValueColour(int x, int y);

// The values the two ends of the scale stand for: `least` below zero, `most` above it, each
// half of the scale spread over its own side. Values beyond an end are drawn in its colour.
struct ScaleRange {
    double least = -1;
    double most = 1;
    // Whether some values lie beyond the end, which the colour bar then marks.
    bool belowLeast = false;
    bool aboveMost = false;

    // The position on the scale of a value: -1 at least, 0 at zero, 1 at most.
    double position(double value) const { return value < 0 ? -value / least : value / most; }
};

// The range that shows a set of values well: from the smallest to the largest finite one,
// except that the farthest half percent at either end is left beyond it, so a few outliers do
// not wash out the rest. A side with no values mirrors the other; values that are not numbers
// are left out, and with no finite value at all the range is -1 to 1.
ScaleRange scaleRange(std::span<const float> values);

} // namespace quorvane::output

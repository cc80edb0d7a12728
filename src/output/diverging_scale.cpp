#include "output/diverging_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace quorvane::output {

namespace {

// Lightness in OKLab, a space whose lightness follows what the eye sees: from the darkest end
// up to just below zero, and from just above zero up to the lightest end.
constexpr double kDarkest = 0.27;
constexpr double kBelowZero = 0.56;
constexpr double kAboveZero = 0.64;
constexpr double kLightest = 0.96;
// Hues in degrees: blue below zero, orange at zero turning to yellow at the top.
constexpr double kColdHue = 262;
constexpr double kWarmHueAtZero = 38;
constexpr double kWarmHueAtTop = 100;
constexpr double kMostChroma = 0.18;
constexpr double kLeastChroma = 0.075;

using Linear = std::array<double, 3>;

// OKLab to linear sRGB (Björn Ottosson's matrices).
Linear linearRgb(double l, double a, double b)
{
    const double lp = l + 0.3963377774 * a + 0.2158037573 * b;
    const double mp = l - 0.1055613458 * a - 0.0638541728 * b;
    const double sp = l - 0.0894841775 * a - 1.2914855480 * b;
    const double L = lp * lp * lp, M = mp * mp * mp, S = sp * sp * sp;
    return {4.0767416621 * L - 3.3077115913 * M + 0.2309699292 * S,
        -1.2684380046 * L + 2.6097574011 * M - 0.3413193965 * S,
        -0.0041960863 * L - 0.7034186147 * M + 1.7076147010 * S};
}

bool inGamut(const Linear& rgb)
{
    return std::ranges::all_of(rgb, [](double c) { return c >= -1e-9 && c <= 1 + 1e-9; });
}

int encoded(double linear)
{
    const double c = std::clamp(linear, 0.0, 1.0);
    const double s = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(s * 255));
}

// The colour of lightness l, chroma c and hue h (degrees), with the chroma lowered as far as
// sRGB needs to show it; the lightness stays.
QRgb colourOf(double l, double c, double h)
{
    const double angle = h * std::numbers::pi / 180;
    double lo = 0, hi = c;
    if (!inGamut(linearRgb(l, c * std::cos(angle), c * std::sin(angle))))
        for (int i = 0; i < 30; ++i) {
            const double mid = (lo + hi) / 2;
            (inGamut(linearRgb(l, mid * std::cos(angle), mid * std::sin(angle))) ? lo : hi) = mid;
        }
    else
        lo = c;
    const Linear rgb = linearRgb(l, lo * std::cos(angle), lo * std::sin(angle));
    return qRgb(encoded(rgb[0]), encoded(rgb[1]), encoded(rgb[2]));
}

} // namespace

QRgb divergingColour(double t)
{
    if (std::isnan(t))
        t = 0;
    t = std::clamp(t, -1.0, 1.0);
    const double s = std::fabs(t);
    const double chroma = kLeastChroma + (kMostChroma - kLeastChroma) * std::pow(s, 0.75);
    if (t <= 0)
        return colourOf(kBelowZero + (kDarkest - kBelowZero) * s, chroma, kColdHue);
    return colourOf(kAboveZero + (kLightest - kAboveZero) * s, chroma,
        kWarmHueAtZero + (kWarmHueAtTop - kWarmHueAtZero) * s);
}

QRgb noValueColour(int x, int y) { return (x + y) % 6 < 2 ? kNoValueDark : kNoValueLight; }

ScaleRange scaleRange(std::span<const float> values)
{
    std::vector<float> finite;
    for (const float v : values)
        if (std::isfinite(v))
            finite.push_back(v);
    ScaleRange range;
    if (finite.empty())
        return range;
    // The values at the half-percent marks from either end; nth_element keeps it linear.
    const auto nth = [&](std::size_t k) {
        std::ranges::nth_element(finite, finite.begin() + static_cast<std::ptrdiff_t>(k));
        return static_cast<double>(finite[k]);
    };
    const std::size_t cut = finite.size() / 200;
    const double least = nth(cut);
    const double most = nth(finite.size() - 1 - cut);
    const double smallest = *std::ranges::min_element(finite);
    const double largest = *std::ranges::max_element(finite);
    range.least = least < 0 ? least : (most > 0 ? -most : -1);
    range.most = most > 0 ? most : -range.least;
    range.belowLeast = smallest < range.least;
    range.aboveMost = largest > range.most;
    // -inf counts as beyond the end too.
    for (const float v : values)
        if (std::isinf(v))
            (v < 0 ? range.belowLeast : range.aboveMost) = true;
    return range;
}

} // namespace quorvane::output

// The plot path from an orbit to a pixel: an attractor's mapping with arbitrary orbit state and
// window scale, the run loop's guard that hands a point over only when both coordinates fit
// single precision, and the raster surface with arbitrary sizes and user scales, zero
// included. Resizes, scale changes, clears and plots come in any order.

#include "fuzz_values.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "platform/null_platform.h"
#include "platform/qt/raster_surface.h"
#include "run/run_loop.h"

#include <cmath>

namespace {

using namespace quorvane;
using quorvane::fuzz::fail;
using quorvane::qt::RasterSurface;

// Both surfaces are raster surfaces of their own sizes and scales, as on the Qt platform.
class RasterPlatform final : public NullPlatform {
public:
    RasterSurface window, picture;
    int plots = 0;

    void setWindowScale(float w, float h) { setWindow(w, h, w, h); }
    RasterSurface& of(Surface s) { return s == Surface::Window ? window : picture; }

    void plot(Surface s, float x, float y, Rgb colour) override
    {
        ++plots;
        const QRgb argb = 0xFF000000u | colour;
        RasterSurface& r = of(s);
        const std::optional<QPoint> p = r.plot(x, y, argb);
        expectPixel(r, x, y, p);
        if (p && r.image().pixel(*p) != argb)
            fail("the plotted pixel does not hold the plot's colour");
    }
    void clear(Surface s) override { of(s).clear(); }
    void setBackColor(Surface s, Rgb colour) override { of(s).setBackColor(0xFF000000u | colour); }

    // Where the point should land, worked out in long double: a pixel within one of it, and
    // no pixel only when the point lies outside or on the rounding edge of the surface.
    static void expectPixel(
        const RasterSurface& r, float x, float y, const std::optional<QPoint>& got)
    {
        const long double w = r.size().width(), h = r.size().height();
        const long double px = static_cast<long double>(x) * w / r.scaleWidth();
        const long double py = static_cast<long double>(y) * h / r.scaleHeight();
        constexpr long double slack = 1e-6L;
        if (got) {
            if (got->x() < 0 || got->x() >= w || got->y() < 0 || got->y() >= h)
                fail("a plot landed outside the surface");
            if (std::fabs(got->x() - std::floor(px)) > 1
                || std::fabs(got->y() - std::floor(py)) > 1)
                fail("a plot landed on a pixel far from its point");
        } else {
            const bool inside = px >= slack && px < w * (1 - slack) && py >= slack
                && py < h * (1 - slack) && std::isfinite(static_cast<double>(px))
                && std::isfinite(static_cast<double>(py));
            if (inside)
                fail("a point well inside the surface left no mark");
        }
    }
};

// The attractors' own mappings, written out again: scale, centre divisor and where the shift
// joins, per attractor. Pickover adds the shift to Y after the scaled y' and half height.
struct Mapping {
    double xScale, yScale, xDivisor, yDivisor;
    bool drawsCurrent; // the flows draw slots 1 and 5 (or 3); the maps draw the next point
    bool yFromZ, pickoverY;
};

Point referencePoint(const Mapping& m, const Orbit& o, double shift, double w, double h)
{
    const double u = m.drawsCurrent ? o.x : o.xNext;
    const double v = m.yFromZ ? o.z : (m.drawsCurrent ? o.y : o.yNext);
    const double x = m.xScale * u + (w / m.xDivisor + shift);
    const double y = m.pickoverY ? (m.yScale * v + h / m.yDivisor) + shift
                                 : m.yScale * v + (h / m.yDivisor + shift);
    return {x, y};
}

bool fitsSingle(double v) { return std::fabs(v) <= static_cast<double>(FLT_MAX); }

template <class A>
void plotThrough(RasterPlatform& platform, const Mapping& m, const Orbit& o, double shift)
{
    const WindowMetrics& wm = platform.metrics();
    const Point got = A::map(o, shift, wm.scaleWidth, wm.scaleHeight);
    const Point want = referencePoint(m, o, shift, wm.scaleWidth, wm.scaleHeight);
    if (!fuzz::sameResult(got.x, want.x) || !fuzz::sameResult(got.y, want.y))
        fail("an attractor maps its point elsewhere than its mapping says");
    const int before = platform.plots;
    detail::plotOrbit<A>(platform, o, shift, 0x00FF00); // the window, then pic1
    const bool handed = platform.plots != before;
    if (handed != (fitsSingle(want.x) && fitsSingle(want.y)))
        fail("the coordinate guard handed over a point it should not, or kept one back");
}

void plotAny(FuzzedDataProvider& in, RasterPlatform& platform)
{
    Orbit o;
    o.x = fuzz::pickDouble(in);
    o.xNext = fuzz::pickDouble(in);
    o.y = fuzz::pickDouble(in);
    o.yNext = fuzz::pickDouble(in);
    o.z = fuzz::pickDouble(in);
    const double shift = in.ConsumeBool() ? kOrbit2Shift : 0.0;
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return plotThrough<Lorenz>(platform, {300, -200, 2, 1.2, true, true, false}, o, shift);
    case 1:
        return plotThrough<Rossler>(platform, {500, 300, 2, 2, true, false, false}, o, shift);
    case 2:
        return plotThrough<Hopalong>(platform, {500, 500, 2, 2, false, false, false}, o, shift);
    case 3:
        return plotThrough<Pickover>(platform, {3000, 3000, 2, 2, false, false, true}, o, shift);
    case 4:
        return plotThrough<Equation1>(platform, {800, 800, 2, 2, false, false, false}, o, shift);
    case 5:
        return plotThrough<Equation8>(platform, {500, 500, 2.1, 2, false, false, false}, o, shift);
    case 6:
        return plotThrough<Starburst>(platform, {15, 15, 2, 2, false, false, false}, o, shift);
    default:
        return plotThrough<ThreeplyMap>(platform, {20, 20, 2, 2, false, false, false}, o, shift);
    }
}

float pickFloat(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return static_cast<float>(in.ConsumeFloatingPointInRange<double>(-10, 50000));
    case 1:
        return std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
    default: {
        const double d = fuzz::pickDouble(in);
        return fitsSingle(d) ? static_cast<float>(d) : (std::isnan(d) ? NAN : INFINITY);
    }
    }
}

void expectAllBackground(const RasterSurface& r, QRgb background)
{
    const QImage& image = r.image();
    if (static_cast<long long>(image.width()) * image.height() > 1 << 16)
        return;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                fail("a cleared surface still shows a point");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    RasterPlatform platform;
    platform.setWindowScale(9795, 9225);
    for (int op = 0; op < 64 && in.remaining_bytes() > 0; ++op) {
        RasterSurface& r = platform.of(in.ConsumeBool() ? Surface::Window : Surface::Picture);
        switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0: {
            // Sizes up to a few hundred pixels keep each run fast; zero and negative ones must
            // be refused and leave the surface as it was.
            const QSize before = r.size();
            const QSize want(
                in.ConsumeIntegralInRange(-2, 600), in.ConsumeIntegralInRange(-2, 600));
            const bool took = r.resize(want);
            if (took != (want.width() >= 1 && want.height() >= 1))
                fail("a surface size was refused or taken wrongly");
            if (r.size() != (took ? want : before) || r.image().isNull())
                fail("a surface did not keep the size it reports");
            break;
        }
        case 1: {
            const float units = pickFloat(in);
            const float before = r.scaleWidth();
            const bool took = r.setScaleWidth(units);
            if (took != (std::isfinite(units) && units > 0)
                || r.scaleWidth() != (took ? units : before))
                fail("a scale width was refused or taken wrongly");
            break;
        }
        case 2: {
            const float units = pickFloat(in);
            const float before = r.scaleHeight();
            const bool took = r.setScaleHeight(units);
            if (took != (std::isfinite(units) && units > 0)
                || r.scaleHeight() != (took ? units : before))
                fail("a scale height was refused or taken wrongly");
            break;
        }
        case 3:
            platform.setWindowScale(pickFloat(in), pickFloat(in));
            break;
        case 4:
            plotAny(in, platform);
            break;
        case 5: {
            // A point handed over directly, as the platform interface allows any float.
            const float x = pickFloat(in), y = pickFloat(in);
            const std::optional<QPoint> p = r.plot(x, y, 0xFFFF0000);
            RasterPlatform::expectPixel(r, x, y, p);
            break;
        }
        default:
            r.clear();
            expectAllBackground(r, r.backColor());
            break;
        }
    }
    return 0;
}

#include "analysis/divergence.h"

#include "headless/headless_run.h"

#include "run/faults.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace quorvane::analysis {

namespace {

constexpr double kTwipsPerPixel = headless::kTwipsPerPixel;
// One pixel, squared in twips: the points of a step have parted at this distance.
constexpr double kPixelSquared = kTwipsPerPixel * kTwipsPerPixel;

bool isPlotted(const Point& p) { return fitsSingle(p.x) && fitsSingle(p.y); }

// The squared distance in twips between two plotted points, as they were handed to the plot:
// rounded to single precision. The difference of two floats is exact in double.
double screenSquared(const Point& p1, const Point& p2)
{
    const double dx = static_cast<double>(static_cast<float>(p1.x))
        - static_cast<double>(static_cast<float>(p2.x));
    const double dy = static_cast<double>(static_cast<float>(p1.y))
        - static_cast<double>(static_cast<float>(p2.y));
    return dx * dx + dy * dy;
}

// The state distance without overflow or underflow in its squares, for the steps where the
// plain sum of squares would give neither.
double carefulDistance(const AttractorChoice& attractor, const WindowVars& vars)
{
    double largest = 0;
    for (double Orbit::*slot : attractor.state.view()) {
        const double d = std::fabs(vars.orbit1.*slot - vars.orbit2.*slot);
        if (std::isnan(d))
            return d;
        largest = std::max(largest, d);
    }
    if (largest == 0 || std::isinf(largest))
        return largest;
    double sum = 0;
    for (double Orbit::*slot : attractor.state.view()) {
        const double d = (vars.orbit1.*slot - vars.orbit2.*slot) / largest;
        sum += d * d;
    }
    return largest * std::sqrt(sum);
}

bool hasFault(const AttractorChoice& attractor, const Orbit& orbit)
{
    return std::ranges::any_of(
        attractor.state.view(), [&](double Orbit::*slot) { return isFault(orbit.*slot); });
}

} // namespace

Divergence::Divergence(
    const AttractorChoice& attractor, double scaleWidth, double scaleHeight, std::uint64_t lastStep)
    : m_attractor(attractor)
    , m_slots(attractor.state.members)
    , m_map(attractor.map)
    , m_scaleWidth(scaleWidth)
    , m_scaleHeight(scaleHeight)
    , m_lastStep(lastStep)
    , m_next(lastStep)
{
}

void Divergence::addSink(SeparationSink& sink)
{
    m_sinks.push_back(&sink);
    m_next = std::min(m_next, sink.nextWanted(0));
}

double Divergence::squaredDistance(const WindowVars& vars) const
{
    // Written out rather than looped: this runs at every step.
    const double d0 = vars.orbit1.*m_slots[0] - vars.orbit2.*m_slots[0];
    const double d1 = vars.orbit1.*m_slots[1] - vars.orbit2.*m_slots[1];
    double squared = d0 * d0 + d1 * d1;
    if (m_slots[2] != nullptr) {
        const double d2 = vars.orbit1.*m_slots[2] - vars.orbit2.*m_slots[2];
        squared += d2 * d2;
    }
    return squared;
}

bool Divergence::observe(std::uint64_t step, const WindowVars& vars)
{
    const double squared = squaredDistance(vars);
    const Point p1 = m_map(vars.orbit1, 0, m_scaleWidth, m_scaleHeight);
    const Point p2 = m_map(vars.orbit2, 0, m_scaleWidth, m_scaleHeight);
    if (!(isPlotted(p1) && isPlotted(p2) && squared <= DBL_MAX)) [[unlikely]]
        if (leavesNumbers(step, vars))
            return false;

    if (m_parting.step == 0) {
        // ln d is half ln d^2, which spares the root; squares that are not normal numbers
        // (an underflow, or a finite state whose square overflows) take the careful way.
        if (squared != 0 || carefulDistance(m_attractor, vars) != 0) [[likely]] {
            if (m_firstDifference == 0)
                m_firstDifference = step;
            m_growth.add(static_cast<double>(step),
                squared >= DBL_MIN && squared <= DBL_MAX
                    ? 0.5 * std::log(squared)
                    : std::log(carefulDistance(m_attractor, vars)));
        }
        if (screenSquared(p1, p2) >= kPixelSquared) {
            m_parting.step = step;
            hand(step, vars, true);
            return true;
        }
    }
    // m_next is never past the last step, so it catches that one too.
    if (step == m_next) [[unlikely]]
        hand(step, vars, step == m_lastStep);
    return true;
}

bool Divergence::leavesNumbers(std::uint64_t step, const WindowVars& vars)
{
    const Orbit* orbits[2] = {&vars.orbit1, &vars.orbit2};
    for (std::size_t i = 0; i < 2; ++i) {
        if (hasFault(m_attractor, *orbits[i]))
            m_departure[i] = Departure::State;
        else if (!isPlotted(m_map(*orbits[i], 0, m_scaleWidth, m_scaleHeight)))
            m_departure[i] = Departure::Point;
    }
    if (m_departure[0] == Departure::None && m_departure[1] == Departure::None)
        return false;
    m_departureStep = step;
    hand(step, vars, true);
    return true;
}

void Divergence::hand(std::uint64_t step, const WindowVars& vars, bool marked)
{
    Separation separation {step, 0, std::numeric_limits<double>::quiet_NaN()};
    const double squared = squaredDistance(vars);
    separation.state = squared >= DBL_MIN && squared <= DBL_MAX
        ? std::sqrt(squared)
        : carefulDistance(m_attractor, vars);
    const Point p1 = m_map(vars.orbit1, 0, m_scaleWidth, m_scaleHeight);
    const Point p2 = m_map(vars.orbit2, 0, m_scaleWidth, m_scaleHeight);
    if (isPlotted(p1) && isPlotted(p2))
        separation.screenPixels = std::sqrt(screenSquared(p1, p2)) / kTwipsPerPixel;
    if (step == m_parting.step)
        m_parting = separation;

    m_next = m_lastStep;
    for (SeparationSink* sink : m_sinks) {
        sink->take(separation, marked);
        m_next = std::min(m_next, sink->nextWanted(step));
    }
}

} // namespace quorvane::analysis

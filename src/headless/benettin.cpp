#include "headless/benettin.h"

#include "headless/headless_run.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

namespace quorvane::headless {

namespace {

// Steps between two additions to the shared count of steps done.
constexpr std::uint64_t kReportSteps = 1u << 16;
constexpr std::uint64_t kNever = UINT64_MAX;

// One estimate's observer, for a state of Dim coordinates. It is called at every pump; all but
// a few calls only check that both orbits are still numbers, and the rest (the companion's
// placement, the measurements, the reports of progress) happen at the steps m_next names.
template <std::size_t Dim> class Tracker {
public:
    Tracker(std::span<double Orbit::*const> state, const BenettinSettings& settings,
        std::atomic<std::uint64_t>* stepsDone)
        : m_settings(settings)
        , m_place(settings.transient + 1)
        , m_stepsDone(stepsDone)
    {
        std::copy_n(state.begin(), Dim, m_slots.begin());
        m_nextMeasure = m_place;
        m_blockEnd = blockEnd(0);
        m_nextReport = stepsDone != nullptr ? kReportSteps : kNever;
        m_next = std::min(m_nextMeasure, m_nextReport);
    }

    bool observe(std::uint64_t step, WindowVars& vars)
    {
        // v - v is 0 for every number and not a number for infinity or not a number, so one
        // comparison tells whether all of both orbits' coordinates are still numbers.
        double zero = 0;
        for (double Orbit::*slot : m_slots)
            zero += (vars.orbit1.*slot - vars.orbit1.*slot)
                + (vars.orbit2.*slot - vars.orbit2.*slot);
        if (zero != 0) [[unlikely]]
            return escape(step, vars);
        if (step != m_next) [[likely]]
            return true;
        return event(step, vars);
    }

    // The steps not yet added to the shared count.
    std::uint64_t unreported(std::uint64_t total) const { return total - m_reported; }

    LyapunovEstimate result()
    {
        LyapunovEstimate& r = m_result;
        r.periodsLeftOut = m_leftOut;
        r.firstLeftOut = m_firstLeftOut;
        double sum = 0;
        for (const Block& block : m_blocks) {
            sum += block.growth();
            r.measuredSteps += block.steps;
        }
        if (r.outcome == LyapunovEstimate::Outcome::Collapsed)
            r.perStep = -std::numeric_limits<double>::infinity();
        if (r.outcome != LyapunovEstimate::Outcome::Measured || r.measuredSteps == 0)
            return r;
        r.perStep = sum / static_cast<double>(r.measuredSteps);

        // Each block's own exponent; their spread gives the standard error of the mean.
        std::array<double, kBlocks> exponents {};
        std::size_t count = 0;
        for (const Block& block : m_blocks)
            if (block.steps > 0)
                exponents[count++] = block.growth() / static_cast<double>(block.steps);
        if (count < 2)
            return r;
        double mean = 0;
        for (std::size_t i = 0; i < count; ++i)
            mean += exponents[i];
        mean /= static_cast<double>(count);
        double squares = 0;
        for (std::size_t i = 0; i < count; ++i)
            squares += (exponents[i] - mean) * (exponents[i] - mean);
        const double n = static_cast<double>(count);
        r.standardError = std::sqrt(squares / (n - 1) / n);
        return r;
    }

private:
    // A block's growth: the sum of ln(d / d0) over its periods is sum + ln(product). The
    // factors d / d0 are multiplied up and their logarithm taken only when the product leaves
    // [1e-100, 1e100], which spares a logarithm at nearly every measurement.
    struct Block {
        double sum = 0;
        double product = 1;
        std::uint64_t steps = 0;

        // Adds the growth from distance `from` to distance `to`, both above zero.
        void add(double to, double from)
        {
            constexpr double kWide = 1e100;
            const double factor = to / from;
            if (!(factor >= 1 / kWide && factor <= kWide)) { // it may even have overflowed
                sum += std::log(to) - std::log(from);
                return;
            }
            product *= factor;
            if (product < 1 / kWide || product > kWide) {
                sum += std::log(product);
                product = 1;
            }
        }
        double growth() const { return sum + std::log(product); }
    };

    bool isFinite(const Orbit& orbit) const
    {
        bool finite = true;
        for (double Orbit::*slot : m_slots)
            finite = finite && std::isfinite(orbit.*slot);
        return finite;
    }

    // The last step of block `index`: the blocks share the steps as evenly as whole steps can.
    std::uint64_t blockEnd(std::uint64_t index) const
    {
        return m_place + (index + 1) * m_settings.steps / kBlocks;
    }

    [[gnu::noinline]] bool event(std::uint64_t step, WindowVars& vars)
    {
        if (step == m_nextReport) {
            m_stepsDone->fetch_add(step - m_reported, std::memory_order_relaxed);
            m_reported = step;
            m_nextReport = step + kReportSteps;
        }
        bool goOn = true;
        if (step == m_nextMeasure) {
            goOn = step == m_place ? place(step, vars, 0) : measure(step, vars);
            if (goOn)
                m_nextMeasure = std::min(step + m_settings.renorm, m_blockEnd);
        }
        m_next = std::min(m_nextMeasure, m_nextReport);
        return goOn;
    }

    bool measure(std::uint64_t step, WindowVars& vars)
    {
        const double d = distance(vars);
        const std::uint64_t period = step - m_lastMeasure;
        m_lastMeasure = step;
        if (!(d <= DBL_MAX)) // both orbits are numbers, but too far apart for their difference
            return escape(step, vars);
        if (d == 0) {
            if (isFarOut(vars.orbit1))
                return end(LyapunovEstimate::Outcome::OutOfReach, step, vars);
            if (m_leftOut++ == 0)
                m_firstLeftOut = step;
            if (++m_fallsInARow == Dim)
                return end(LyapunovEstimate::Outcome::Collapsed, step, vars);
            if (!place(step, vars, (m_direction + 1) % Dim))
                return false;
        } else {
            m_fallsInARow = 0;
            Block& block = m_blocks[m_block];
            block.add(d, m_reference);
            block.steps += period;
            pullBack(vars, d);
            m_reference = distance(vars);
            if (m_reference == 0 && !place(step, vars, m_direction))
                return false;
        }
        if (step == m_blockEnd) {
            if (++m_block == kBlocks)
                return false; // the last measurement
            m_blockEnd = blockEnd(m_block);
        }
        return true;
    }

    // Moves the companion kSeparation from orbit 1 along the coordinate `first`, or along the
    // next one that can carry so small a step at orbit 1's size.
    bool place(std::uint64_t step, WindowVars& vars, std::size_t first)
    {
        for (std::size_t i = 0; i < Dim; ++i) {
            const std::size_t direction = (first + i) % Dim;
            for (double Orbit::*slot : m_slots)
                vars.orbit2.*slot = vars.orbit1.*slot;
            double Orbit::*moved = m_slots[direction];
            vars.orbit2.*moved = vars.orbit1.*moved + kSeparation;
            m_reference = distance(vars);
            if (m_reference > 0) {
                m_direction = direction;
                m_lastMeasure = step;
                return true;
            }
        }
        return end(LyapunovEstimate::Outcome::OutOfReach, step, vars);
    }

    // Moves the companion along the line from orbit 1 to it, to distance kSeparation. One
    // division serves all coordinates unless d is so small that kSeparation / d overflows.
    void pullBack(WindowVars& vars, double d) const
    {
        const double shrink = kSeparation / d;
        const bool scales = shrink <= DBL_MAX;
        for (double Orbit::*slot : m_slots) {
            const double one = vars.orbit1.*slot;
            const double apart = vars.orbit2.*slot - one;
            vars.orbit2.*slot = one + (scales ? apart * shrink : apart / d * kSeparation);
        }
    }

    // The distance between the orbits in the state space. The plain sum of squares loses a
    // difference below about 1e-154 or above 1e154 to underflow or overflow; hypot does not.
    double distance(const WindowVars& vars) const
    {
        std::array<double, Dim> difference {};
        double squares = 0;
        for (std::size_t i = 0; i < Dim; ++i) {
            difference[i] = vars.orbit2.*m_slots[i] - vars.orbit1.*m_slots[i];
            squares += difference[i] * difference[i];
        }
        if (squares >= DBL_MIN && squares <= DBL_MAX)
            return std::sqrt(squares);
        if constexpr (Dim == 3)
            return std::hypot(difference[0], difference[1], difference[2]);
        else
            return std::hypot(difference[0], difference[1]);
    }

    [[gnu::noinline]] bool escape(std::uint64_t step, const WindowVars& vars)
    {
        m_result.companionEscaped = isFinite(vars.orbit1);
        return end(LyapunovEstimate::Outcome::Escaped, step, vars);
    }

    double largest(const Orbit& orbit) const
    {
        double largest = 0;
        for (double Orbit::*slot : m_slots)
            largest = std::max(largest, std::fabs(orbit.*slot));
        return largest;
    }

    // Whether orbit 1 is so large that kSeparation is less than kHeadroom units in the last
    // place of its largest coordinate. At a size of about 1, kSeparation is 4.5e7 of them; a
    // companion that falls onto orbit 1 from there has been drawn in by the step. Out here,
    // it may only have been rounded onto it.
    bool isFarOut(const Orbit& orbit) const
    {
        constexpr double kHeadroom = 8192;
        return largest(orbit) * DBL_EPSILON * kHeadroom > kSeparation;
    }

    bool end(LyapunovEstimate::Outcome outcome, std::uint64_t step, const WindowVars& vars)
    {
        m_result.outcome = outcome;
        m_result.step = step;
        m_result.largestCoordinate = largest(vars.orbit1);
        return false;
    }

    const BenettinSettings m_settings;
    const std::uint64_t m_place; // the step at whose pump the companion is placed
    std::atomic<std::uint64_t>* const m_stepsDone;
    std::array<double Orbit::*, Dim> m_slots {};

    std::uint64_t m_next = 0; // the next step with anything to do
    std::uint64_t m_nextMeasure = 0;
    std::uint64_t m_nextReport = kNever;
    std::uint64_t m_reported = 0;

    std::array<Block, kBlocks> m_blocks {};
    std::uint64_t m_block = 0;
    std::uint64_t m_blockEnd = 0;
    std::uint64_t m_lastMeasure = 0;
    double m_reference = kSeparation; // the distance at the last placement or pull-back
    std::size_t m_direction = 0; // the coordinate of the last placement
    std::size_t m_fallsInARow = 0;
    std::uint64_t m_leftOut = 0;
    std::uint64_t m_firstLeftOut = 0;
    LyapunovEstimate m_result;
};

template <std::size_t Dim>
LyapunovEstimate estimate(const AttractorChoice& attractor, const ParameterSet& parameters,
    const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone)
{
    const std::uint64_t total = runSteps(settings);
    Tracker<Dim> tracker(attractor.state.view(), settings, stepsDone);
    HeadlessRun run({&attractor, parameters, parameters, total});
    run.setObserver(
        [&tracker](std::uint64_t step, WindowVars& vars) { return tracker.observe(step, vars); });
    run.run();
    if (stepsDone != nullptr)
        stepsDone->fetch_add(tracker.unreported(total), std::memory_order_relaxed);
    return tracker.result();
}

} // namespace

std::uint64_t runSteps(const BenettinSettings& settings)
{
    return settings.transient + 1 + settings.steps;
}

LyapunovEstimate estimateLyapunov(const AttractorChoice& attractor, const ParameterSet& parameters,
    const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone)
{
    if (attractor.state.count == 3)
        return estimate<3>(attractor, parameters, settings, stepsDone);
    return estimate<2>(attractor, parameters, settings, stepsDone);
}

} // namespace quorvane::headless

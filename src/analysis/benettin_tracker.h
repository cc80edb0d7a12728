#pragma once

#include "analysis/benettin.h"
#include "analysis/growth_blocks.h"
#include "analysis/measure_schedule.h"
#include "run/window_vars.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <span>

namespace quorvane::analysis {

// Orbit 2 as the companion of orbit 1 in a state of Dim coordinates: where it is put, how far
// it is, and how it is pulled back.
template <std::size_t Dim> class Companion {
public:
    explicit Companion(std::span<double Orbit::*const> state)
    {
        std::copy_n(state.begin(), Dim, m_slots.begin());
    }

    // Puts the companion on orbit 1, moved kSeparation along the coordinate `direction`.
    void place(WindowVars& vars, std::size_t direction) const
    {
        for (double Orbit::*slot : m_slots)
            vars.orbit2.*slot = vars.orbit1.*slot;
        double Orbit::*moved = m_slots[direction];
        vars.orbit2.*moved = vars.orbit1.*moved + kSeparation;
    }

    // Moves the companion along the line from orbit 1 to it, to distance kSeparation; `d` is
    // its distance now. One division serves all coordinates unless d is so small that
    // kSeparation / d overflows.
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

    // Whether every coordinate of both orbits is a number. v - v is 0 for every number and not
    // a number for infinity or not a number, so one comparison tells for all of them.
    bool bothAreNumbers(const WindowVars& vars) const
    {
        double zero = 0;
        for (double Orbit::*slot : m_slots)
            zero += (vars.orbit1.*slot - vars.orbit1.*slot)
                + (vars.orbit2.*slot - vars.orbit2.*slot);
        return zero == 0;
    }

    bool isFinite(const Orbit& orbit) const
    {
        bool finite = true;
        for (double Orbit::*slot : m_slots)
            finite = finite && std::isfinite(orbit.*slot);
        return finite;
    }

    // The largest coordinate of the orbit, by magnitude.
    double largest(const Orbit& orbit) const
    {
        double largest = 0;
        for (double Orbit::*slot : m_slots)
            largest = std::max(largest, std::fabs(orbit.*slot));
        return largest;
    }

private:
    std::array<double Orbit::*, Dim> m_slots {};
};

// One estimate by Benettin's method (see BenettinSettings), as the observer of its run's event
// pump. It is called at every pump; all but a few calls only check that both orbits are still
// numbers, and the rest happen at the steps nextEvent() names: the companion's placement, the
// measurements, the reports of progress.
template <std::size_t Dim> class BenettinTracker {
public:
    BenettinTracker(std::span<double Orbit::*const> state, const BenettinSettings& settings,
        std::atomic<std::uint64_t>* stepsDone)
        : m_schedule(settings, stepsDone)
        , m_companion(state)
    {
    }

    // The observer: false ends the run.
    bool observe(std::uint64_t step, WindowVars& vars)
    {
        if (!m_companion.bothAreNumbers(vars)) [[unlikely]]
            return escape(step, vars);
        if (step != m_schedule.next()) [[likely]]
            return true;
        return event(step, vars);
    }

    // The next step at whose pump observe() has more to do than the check.
    std::uint64_t nextEvent() const { return m_schedule.next(); }

    // What happens at the pump of step nextEvent(): a report of progress, the companion's
    // placement, or a measurement. False ends the run.
    [[gnu::noinline]] bool event(std::uint64_t step, WindowVars& vars)
    {
        m_schedule.reportIfDue(step);
        bool goOn = true;
        if (m_schedule.measuresAt(step)) {
            goOn = m_schedule.isPlacement(step) ? place(step, vars, 0) : measure(step, vars);
            if (goOn)
                m_schedule.measured(step);
        }
        return goOn;
    }

    // An orbit has left the numbers at the pump of `step`: the run ends there, without an
    // exponent. Returns false.
    [[gnu::noinline]] bool escape(std::uint64_t step, const WindowVars& vars)
    {
        m_result.companionEscaped = m_companion.isFinite(vars.orbit1);
        return end(LyapunovEstimate::Outcome::Escaped, step, vars);
    }

    // The steps of a run of `total` not yet added to the shared count.
    std::uint64_t unreported(std::uint64_t total) const { return m_schedule.unreported(total); }

    LyapunovEstimate result() const
    {
        LyapunovEstimate r = m_result;
        r.periodsLeftOut = m_leftOut;
        r.firstLeftOut = m_firstLeftOut;
        r.measuredSteps = m_blocks.steps();
        if (r.outcome == LyapunovEstimate::Outcome::Collapsed)
            r.perStep = -std::numeric_limits<double>::infinity();
        if (r.outcome != LyapunovEstimate::Outcome::Measured || r.measuredSteps == 0)
            return r;
        r.perStep = m_blocks.perStep();
        r.standardError = m_blocks.standardError();
        return r;
    }

private:
    // Measures the distance the period has grown, pulls the companion back, and closes the
    // block at its end.
    bool measure(std::uint64_t step, WindowVars& vars)
    {
        const double d = m_companion.distance(vars);
        const std::uint64_t period = step - m_lastMeasure;
        m_lastMeasure = step;
        if (!(d <= DBL_MAX)) // both orbits are numbers, but too far apart for their difference
            return escape(step, vars);
        if (d > kNeighbourhood * std::max(1.0, m_companion.largest(vars.orbit1))) {
            m_result.jump = d;
            m_result.period = period;
            return end(LyapunovEstimate::Outcome::LeftNeighbourhood, step, vars);
        }
        if (d == 0) {
            if (!fellOntoOrbit1(step, vars))
                return false;
        } else {
            m_fallsInARow = 0;
            m_blocks.add(d, m_reference, period);
            m_companion.pullBack(vars, d);
            m_reference = m_companion.distance(vars);
            if (m_reference == 0 && !place(step, vars, m_direction))
                return false;
        }
        if (m_schedule.endsBlock(step)) {
            if (!m_blocks.next())
                return false; // the last measurement
            m_schedule.openBlock(m_blocks.current());
        }
        return true;
    }

    // The companion is at distance 0: the period is left out, and the companion placed anew
    // along the next coordinate, unless the run has to end.
    bool fellOntoOrbit1(std::uint64_t step, WindowVars& vars)
    {
        if (isFarOut(vars.orbit1))
            return end(LyapunovEstimate::Outcome::OutOfReach, step, vars);
        if (m_leftOut++ == 0)
            m_firstLeftOut = step;
        if (++m_fallsInARow == Dim)
            return end(LyapunovEstimate::Outcome::Collapsed, step, vars);
        return place(step, vars, (m_direction + 1) % Dim);
    }

    // Moves the companion kSeparation from orbit 1 along the coordinate `first`, or along the
    // next one that can carry so small a step at orbit 1's size.
    bool place(std::uint64_t step, WindowVars& vars, std::size_t first)
    {
        for (std::size_t i = 0; i < Dim; ++i) {
            const std::size_t direction = (first + i) % Dim;
            m_companion.place(vars, direction);
            m_reference = m_companion.distance(vars);
            if (m_reference > 0) {
                m_direction = direction;
                m_lastMeasure = step;
                return true;
            }
        }
        return end(LyapunovEstimate::Outcome::OutOfReach, step, vars);
    }

    // Whether orbit 1 is so large that kSeparation is less than kHeadroom units in the last
    // place of its largest coordinate. At a size of about 1, kSeparation is 4.5e7 of them; a
    // companion that falls onto orbit 1 from there has been drawn in by the step. Out here,
    // it may only have been rounded onto it.
    bool isFarOut(const Orbit& orbit) const
    {
        constexpr double kHeadroom = 8192;
        return m_companion.largest(orbit) * DBL_EPSILON * kHeadroom > kSeparation;
    }

    bool end(LyapunovEstimate::Outcome outcome, std::uint64_t step, const WindowVars& vars)
    {
        m_result.outcome = outcome;
        m_result.step = step;
        m_result.largestCoordinate = m_companion.largest(vars.orbit1);
        return false;
    }

    MeasureSchedule m_schedule; // the companion's placement, the measurements, the reports
    const Companion<Dim> m_companion;

    GrowthBlocks m_blocks;
    std::uint64_t m_lastMeasure = 0;
    double m_reference = kSeparation; // the distance at the last placement or pull-back
    std::size_t m_direction = 0; // the coordinate of the last placement
    std::size_t m_fallsInARow = 0;
    std::uint64_t m_leftOut = 0;
    std::uint64_t m_firstLeftOut = 0;
    LyapunovEstimate m_result;
};

} // namespace quorvane::analysis

#pragma once

// What a run measures: the separation of two orbits and where they part, Benettin's estimate
// of the largest Lyapunov exponent, the least-squares line, a sweep of parameter values over
// threads. Plain C++ on headless/, run/ and attractors/; no Qt. Each measure is a function of an
// attractor, its parameters and its settings; what is printed or drawn of it is cli/'s and
// output/'s.

#include "analysis/growth_blocks.h"
#include "headless/attractor_choice.h"

#include <atomic>
#include <cstdint>
#include <limits>

namespace quorvane::analysis {

using headless::AttractorChoice;

// The largest Lyapunov exponent of one parameter set by Benettin's two-orbit method, measured
// on the program's own run: orbit 1 is the attractor's orbit from its start state, orbit 2 its
// companion, run with the same parameters by the same step.
//
// The run makes transient + 1 + steps steps. Until the pump of step transient + 1 both orbits
// are the same number for number. There the companion is moved kSeparation along the first
// state coordinate (x for the flows, x' for the maps: the state the step carries on from). The
// `steps` steps after it are measured in kBlocks blocks of steps / kBlocks steps each (the
// remainder spread one step at a time), and within each block every `renorm` steps and at its
// end the observer measures the distance d between the orbits in the state space, adds
// ln(d / d0) and pulls the companion back towards orbit 1, along the line between them, to
// distance d0. d0 is kSeparation as the numbers hold it: the distance the companion really has
// once it is placed or pulled back, which rounding may make differ a little.
//
// Edge cases, each a defined outcome:
//  - an orbit that is infinite or not a number at a pump ends the run there: Escaped, with
//    the step, and no exponent;
//  - d = 0 at a measurement (the companion fell onto orbit 1: the step maps both points to the
//    same one, or contracts the distance below what the numbers show): that period is left
//    out, and the companion is placed anew kSeparation along the next state coordinate. If it
//    falls onto orbit 1 in as many periods in a row as the state has coordinates, so whichever
//    way it is moved, the run ends there: Collapsed, an exponent of minus infinity;
//  - orbit 1 so large that the numbers cannot follow a distance of kSeparation: moving the
//    companion by it along every coordinate leaves it where orbit 1 is (x + 1e-8 == x for
//    |x| above about 1.3e8), or it falls onto orbit 1 while orbit 1's largest coordinate is
//    above about 5500, where kSeparation is less than 2^13 units in its last place and the
//    fall may be rounding rather than the step drawing it in: OutOfReach, with the step, and
//    no exponent;
//  - d beyond the small neighbourhood the method measures in, kNeighbourhood times the size of
//    orbit 1 (its largest coordinate, or 1 where that is smaller): the companion did not grow
//    by the step's derivative but jumped, across a place where the step is not smooth (the
//    sign function at 0, say), or the period is so long for the growth that the distance has
//    come near the size of the orbit itself. Either way ln(d / d0) measures the jump, not an
//    exponent, and a shorter period cannot mend the first: LeftNeighbourhood, with the step and
//    the distance, and no exponent.
struct BenettinSettings {
    std::uint64_t transient = 100'000;
    std::uint64_t steps = 1'000'000; // at least kBlocks
    std::uint64_t renorm = 10; // at least 1
};

inline constexpr double kSeparation = 1e-8;
// The neighbourhood of orbit 1 a measured companion must stay in, relative to orbit 1's size.
inline constexpr double kNeighbourhood = 1e-2;
inline constexpr std::uint64_t kBlocks = GrowthBlocks::kCount;

struct LyapunovEstimate {
    enum class Outcome : std::uint8_t { Measured, Escaped, Collapsed, OutOfReach, LeftNeighbourhood };

    Outcome outcome = Outcome::Measured;
    // The exponent per step: the sum of the logarithms over the steps measured. Minus infinity
    // when Collapsed, not a number when Escaped or OutOfReach.
    double perStep = std::numeric_limits<double>::quiet_NaN();
    // The standard error of perStep from the spread of the blocks' own exponents; not a number
    // when fewer than two blocks measured a step, or when there is no exponent.
    double standardError = std::numeric_limits<double>::quiet_NaN();
    // Where the run ended early: the pump at which an orbit was first seen out of the numbers,
    // or the companion last fell onto orbit 1, or could not be placed.
    std::uint64_t step = 0;
    // LeftNeighbourhood: the companion's distance at step `step`, after `period` steps.
    double jump = 0;
    std::uint64_t period = 0;
    // Escaped: the companion left the numbers while orbit 1 did not.
    bool companionEscaped = false;
    // Where the run ended early: the largest coordinate of orbit 1's state, by magnitude.
    double largestCoordinate = 0;
    // The steps whose growth perStep holds: `steps` less the periods left out.
    std::uint64_t measuredSteps = 0;
    // The periods after which the companion had fallen onto orbit 1, and the first one's step.
    std::uint64_t periodsLeftOut = 0;
    std::uint64_t firstLeftOut = 0;

    bool hasExponent() const
    {
        return outcome == Outcome::Measured || outcome == Outcome::Collapsed;
    }
    // Above zero by more than twice its standard error, a known one.
    bool isChaotic() const { return outcome == Outcome::Measured && perStep > 2 * standardError; }
};

// The steps of an estimate's whole run.
std::uint64_t runSteps(const BenettinSettings& settings);

// Measures the exponent of `attractor` with orbit 1's parameters `parameters`. Adds the steps
// run to *stepsDone as it goes, every 65536 steps or so, if given; when it returns, it has added
// runSteps(settings) in all, also for a run that ended early. Safe to call from several threads
// at once: each call has its own run.
LyapunovEstimate estimateLyapunov(const AttractorChoice& attractor, const ParameterSet& parameters,
    const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone = nullptr);

} // namespace quorvane::analysis

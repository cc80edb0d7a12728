#pragma once

#include "analysis/benettin.h"
#include "headless/attractor_choice.h"
#include "headless/progress_listener.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace quorvane::analysis {

// Every Lyapunov exponent of one parameter set, measured on the program's own run by the
// tangent vectors that the Jacobian of its step carries: orbit 1 runs from the attractor's
// start state, and the Jacobian at each step is that of the step as the run performs it,
// computed by the step itself over dual numbers (see dual.h), not by a second copy of its
// equations.
//
// The settings are those of the two-orbit method, and the run makes as many steps: transient
// + 1 + steps. At the pump of step transient + 1 the tangent vectors start as a fixed
// orthonormal set in the space of the state's coordinates (x, y, z for the flows; x', y' for
// the maps: the state the step carries on from), along none of the coordinates. From then on,
// at every pump, each is carried on by the Jacobian J of the step that follows. Every `renorm`
// steps, and at the end of each of the kBlocks blocks, they are orthonormalised again by modified
// Gram-Schmidt, the QR factorisation of the matrix they form, and ln R_jj, the logarithm of its
// j-th diagonal entry, is added to exponent j. Over the same steps ln|det J| is added up on its
// own, from each step's Jacobian. So the exponents add up to the mean of ln|det J|, bar rounding:
// two computations of one number.
//
// Edge cases, each a defined outcome:
//  - orbit 1 infinite or not a number at a pump: Escaped, with the step, no exponents;
//  - a Jacobian that is infinite or not a number (or so large that its determinant
//    overflows) while the point is a number: the step has no derivative there, a square root
//    of 0 or the sign function at 0 (see dual.h), a stretching no smooth step explains:
//    NotSmooth, with the step and orbit 1's point, no exponents;
//  - tangent vectors that grew too far apart between two orthonormalisations for double
//    precision to keep them apart: in two periods in a row, the part of some vector that is
//    not along the ones before it at most kAlignment of its length while no step of the
//    period had det J = 0; or a vector's length out of [1e-150, 1e150] once. PeriodTooLong,
//    with the step, no exponents; a smaller renorm measures them. One such period alone is
//    a step near a singular one, as a map may take now and then, and is measured as it
//    comes;
//  - a step whose Jacobian is singular (det J = 0: the step maps the state onto fewer
//    dimensions) gives ln|det J| = -inf, and the last exponent -inf with it.
struct SpectrumEstimate {
    enum class Outcome : std::uint8_t { Measured, Escaped, NotSmooth, PeriodTooLong };
    static constexpr std::size_t kMost = 3;
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    Outcome outcome = Outcome::Measured;
    // Exponents: 3 for the flows, 2 for the maps.
    std::size_t count = 0;
    // Per step, largest first, each with the standard error of the spread of the blocks' own
    // exponents. Not numbers without exponents.
    std::array<double, kMost> perStep {kNaN, kNaN, kNaN};
    std::array<double, kMost> standardError {kNaN, kNaN, kNaN};
    // Their sum, and the mean of ln|det J| over the same steps, per step.
    double sum = kNaN;
    double meanLogDet = kNaN;
    // The Kaplan-Yorke dimension of the exponents (see kaplanYorke()).
    double kaplanYorke = kNaN;
    // Where the run ended early: the step, and orbit 1's point at its pump.
    std::uint64_t step = 0;
    std::array<double, kMost> point {};
    // PeriodTooLong: the steps since the last orthonormalisation.
    std::uint64_t period = 0;

    bool hasExponents() const { return outcome == Outcome::Measured; }
    std::span<const double> exponents() const { return {perStep.data(), count}; }
};

// How small the part of a tangent vector that is not along the ones before it may be, relative
// to the vector's length, before it is taken for rounding rather than the step's doing: about
// 45 times double precision's own relative precision. Above it, rounding moves the part by at
// most a few percent.
inline constexpr double kAlignment = 1e-14;

// The Kaplan-Yorke dimension of exponents given largest first: j + (lambda_1 + ... + lambda_j)
// / |lambda_(j+1)|, with j the most exponents from the first whose sum is not negative. So 0
// when even the largest is negative (a point attracts), and the full count when the sum of
// all is not negative (nothing shrinks: an area-preserving map's 2). An exponent of -inf
// counts as any other: the dimension stops at the finite ones. Not a number when an exponent
// is not a number.
double kaplanYorke(std::span<const double> descending);

// Measures the exponents of `attractor` with orbit 1's parameters `parameters`. Adds the steps
// run to *stepsDone as it goes, if given; when it returns, it has added runSteps(settings) in
// all, also for a run that ended early. Safe to call from several threads at once: each call
// has its own run.
SpectrumEstimate estimateSpectrum(const headless::AttractorChoice& attractor,
    const ParameterSet& parameters, const BenettinSettings& settings,
    std::atomic<std::uint64_t>* stepsDone = nullptr);

// Estimates the exponents for each parameter set, on up to `threads` threads, as estimateAll()
// does the largest one: in the order of the sets, the same whatever the number of threads.
std::vector<SpectrumEstimate> estimateSpectra(const headless::AttractorChoice& attractor,
    std::span<const ParameterSet> sets, const BenettinSettings& settings, unsigned threads,
    headless::ProgressListener* progress);

} // namespace quorvane::analysis

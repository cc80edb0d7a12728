#pragma once

#include "analysis/log_blocks.h"
#include "analysis/measure_schedule.h"
#include "analysis/spectrum.h"
#include "analysis/tangent_step.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace quorvane::analysis {

// The code that carries the tangent vectors. The carrying at every step is most of an
// estimate's cost, and its derivatives come four to a vector for the flows: where the
// processor has AVX2, it runs in code built for AVX2, with the same numbers (see carryAvx2).
enum class TangentCode : std::uint8_t { Baseline, Avx2 };

// AVX2 where the processor has it, the baseline x86-64 code otherwise.
inline TangentCode bestTangentCode()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return TangentCode::Avx2;
#endif
    return TangentCode::Baseline;
}

// One spectrum estimate (see SpectrumEstimate) as the observer of its run's event pump. At
// every pump it checks that orbit 1 is still a number, and once the tangent vectors are placed
// carries them on by the Jacobian of the step that follows; the rest happens at the steps
// nextEvent() names: the placement, the orthonormalisations, the reports of progress.
template <class A> class SpectrumTracker {
public:
    using Step = TangentStep<A>;
    static constexpr std::size_t kDim = Step::kDim;
    using Matrix = typename Step::Matrix;

    SpectrumTracker(const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone,
        TangentCode code = bestTangentCode())
        : m_schedule(settings, stepsDone)
        , m_code(code)
    {
    }

    // The observer: false ends the run.
    bool observe(std::uint64_t step, WindowVars& vars)
    {
        if (!isNumber(vars.orbit1)) [[unlikely]]
            return end(SpectrumEstimate::Outcome::Escaped, step, vars.orbit1);
        if (step == m_schedule.next()) [[unlikely]]
            if (!event(step, vars))
                return false;
        if (!m_carrying)
            return true;
#if defined(__x86_64__)
        if (m_code == TangentCode::Avx2)
            return carryAvx2(step, vars.orbit1);
#endif
        return carryBaseline(step, vars.orbit1);
    }

    // The next step at whose pump observe() has more to do than the check and the carrying.
    std::uint64_t nextEvent() const { return m_schedule.next(); }

    // The steps of a run of `total` not yet added to the shared count.
    std::uint64_t unreported(std::uint64_t total) const { return m_schedule.unreported(total); }

    SpectrumEstimate result() const;

    // The tangent vectors the estimate starts from: an orthonormal set along no coordinate, so
    // that none of them lies where a step takes every vector along a coordinate to nothing
    // (a map whose next point does not depend on x, say).
    static Matrix startVectors();

    // How an orthonormalisation went.
    enum class Fit : std::uint8_t {
        Apart, // every column stood out from the ones before it
        Close, // one stood out from them by rounding only (see orthonormalise)
        OutOfRange, // one's length left [1e-150, 1e150]: its square loses precision or range
    };

    // Orthonormalises the columns of `tangents` by modified Gram-Schmidt, and gives the
    // diagonal of R. A column whose part outside the ones before it is at most kAlignment of
    // its length is Close: rounding, not the step, set that part. Where `singular` holds (the
    // columns are the image of a singular step, which takes some direction to nothing) that
    // part is 0 in truth: R_jj is 0, and the column is replaced by the coordinate direction
    // that stands out most from the ones before it. Elsewhere the part is kept as it is, or,
    // where it is 0 and has no direction, R_jj is the size of rounding, DBL_EPSILON times the
    // length, and the column is replaced as above.
    static Fit orthonormalise(Matrix& tangents, bool singular, std::array<double, kDim>& r);

private:
    // Of the coordinate directions, the one that stands out most from q[0] ... q[j - 1], made
    // orthogonal to them and of length 1.
    [[gnu::noinline]] static std::array<double, kDim> standingOut(
        const std::array<std::array<double, kDim>, kDim>& q, std::size_t j);

    static bool isNumber(const Orbit& orbit)
    {
        double zero = 0;
        for (double Orbit::*slot : A::pumpState.view())
            zero += orbit.*slot - orbit.*slot;
        return zero == 0;
    }

    // carry() in the baseline x86-64 code. `flatten` inlines the step whole, so that the dual
    // operations see which numbers are the parameters, constants.
    [[gnu::flatten]] bool carryBaseline(std::uint64_t step, const Orbit& orbit)
    {
        return carry(step, orbit);
    }

#if defined(__x86_64__)
    // carry() in code built for AVX2, reached only where bestTangentCode() has found it. Only
    // this function is built for AVX2, through its target attribute; `flatten` inlines into it
    // everything carry() calls, so no copy of an inline function is built for AVX that the
    // baseline code might call in its place (see lane_run.cpp). Its numbers are those of the
    // baseline code: the same IEEE operations in the same order, lane for lane, and no
    // multiply and add fused.
    [[gnu::target("avx2"), gnu::flatten]] bool carryAvx2(std::uint64_t step, const Orbit& orbit)
    {
        return carry(step, orbit);
    }
#endif

    // Carries the tangent vectors on by the Jacobian of the step from this pump to the next,
    // and adds ln|det J| up.
    [[gnu::always_inline]] inline bool carry(std::uint64_t step, const Orbit& orbit)
    {
        const Step s = Step::from(orbit, m_parameters);
        // Every entry of J takes part in the determinant, and one that is infinite or not a
        // number makes it so: inf * 0 and inf - inf are not numbers. A next point that is not
        // finite either is an orbit leaving the numbers, which the next pump reports.
        const double det = determinant(s.jacobian);
        if (!std::isfinite(det)) [[unlikely]] {
            bool finite = true;
            for (const double v : s.next)
                finite = finite && std::isfinite(v);
            return !finite || end(SpectrumEstimate::Outcome::NotSmooth, step, orbit);
        }
        // Row i of J M is the sum over k of J_ik times row k of M. The rows are assigned one
        // by one, which keeps them in vector registers.
        const Matrix before = m_tangents;
        for (std::size_t i = 0; i < kDim; ++i) {
            typename Step::Row row = before[0] * s.jacobian[i][0];
            for (std::size_t k = 1; k < kDim; ++k)
                row += before[k] * s.jacobian[i][static_cast<int>(k)];
            m_tangents[i] = row;
        }
        m_singular = m_singular || det == 0;
        m_blocks.multiply(kDim, std::fabs(det));
        return true;
    }

    static double determinant(const Matrix& j)
    {
        if constexpr (kDim == 2)
            return j[0][0] * j[1][1] - j[0][1] * j[1][0];
        else
            return j[0][0] * (j[1][1] * j[2][2] - j[1][2] * j[2][1])
                - j[0][1] * (j[1][0] * j[2][2] - j[1][2] * j[2][0])
                + j[0][2] * (j[1][0] * j[2][1] - j[1][1] * j[2][0]);
    }

    // The placement, an orthonormalisation, a report of progress. False ends the run.
    [[gnu::noinline]] bool event(std::uint64_t step, WindowVars& vars)
    {
        m_schedule.reportIfDue(step);
        if (m_schedule.measuresAt(step)) {
            if (m_schedule.isPlacement(step)) {
                m_tangents = startVectors();
                m_parameters = vars.set1;
                m_carrying = true;
            } else if (!measure(step, vars.orbit1)) {
                return false;
            }
            m_lastMeasure = step;
            // With fewer steps than blocks, several blocks can end at one step, even at the
            // placement: each is closed, the ones that hold no step empty.
            while (m_schedule.endsBlock(step)) {
                if (!m_blocks.next()) {
                    m_carrying = false;
                    return false; // the last measurement, at the run's last step
                }
                m_schedule.openBlock(m_blocks.current());
            }
            m_schedule.measured(step);
        }
        return true;
    }

    // Orthonormalises the tangent vectors and adds ln R_jj to each exponent. A period in which
    // the vectors came Close may be one step near a singular one, as a map's can be; two in a
    // row are a period too long for the rate at which the vectors part.
    bool measure(std::uint64_t step, const Orbit& orbit)
    {
        const std::uint64_t period = step - m_lastMeasure;
        std::array<double, kDim> r {};
        const bool singular = m_singular;
        m_singular = false;
        const Fit fit = orthonormalise(m_tangents, singular, r);
        const bool close = fit == Fit::Close && !singular;
        if (fit == Fit::OutOfRange || (close && m_close)) {
            m_period = period;
            return end(SpectrumEstimate::Outcome::PeriodTooLong, step, orbit);
        }
        m_close = close;
        for (std::size_t j = 0; j < kDim; ++j)
            m_blocks.multiply(j, r[j]);
        m_blocks.addSteps(period);
        return true;
    }

    [[gnu::noinline]] bool end(
        SpectrumEstimate::Outcome outcome, std::uint64_t step, const Orbit& orbit)
    {
        m_outcome = outcome;
        m_step = step;
        for (std::size_t i = 0; i < kDim; ++i)
            m_point[i] = orbit.*A::pumpState.members[i];
        m_carrying = false;
        return false;
    }

    // The tangent vectors' placement, the orthonormalisations, the reports of progress.
    MeasureSchedule m_schedule;
    const TangentCode m_code;

    std::uint64_t m_lastMeasure = 0;

    bool m_carrying = false;
    Matrix m_tangents {}; // row i: coordinate i of each tangent vector, one lane a vector
    ParameterSet m_parameters; // orbit 1's
    bool m_singular = false; // a step since the last orthonormalisation had det J = 0
    bool m_close = false; // the last orthonormalisation was Close
    // Quantity j < kDim: the growth R_jj of tangent vector j; quantity kDim: |det J|.
    LogBlocks<kDim + 1> m_blocks;

    SpectrumEstimate::Outcome m_outcome = SpectrumEstimate::Outcome::Measured;
    std::uint64_t m_step = 0;
    std::uint64_t m_period = 0;
    std::array<double, SpectrumEstimate::kMost> m_point {};
};

template <class A> auto SpectrumTracker<A>::startVectors() -> Matrix
{
    // Columns (1, 0.3, 0.2), (0.5, 1, 0.7), (0.25, 0.6, 1), or their first two coordinates.
    constexpr double kStart[3][3] = {{1, 0.5, 0.25}, {0.3, 1, 0.6}, {0.2, 0.7, 1}};
    Matrix m {};
    for (std::size_t i = 0; i < kDim; ++i)
        for (std::size_t j = 0; j < kDim; ++j)
            m[i][static_cast<int>(j)] = kStart[i][j];
    std::array<double, kDim> r {};
    orthonormalise(m, false, r);
    return m;
}

template <class A>
auto SpectrumTracker<A>::orthonormalise(
    Matrix& tangents, bool singular, std::array<double, kDim>& r) -> Fit
{
    using Vector = std::array<double, kDim>;
    constexpr double kClose = kAlignment * kAlignment; // for squared lengths
    const auto dot = [](const Vector& u, const Vector& v) {
        double sum = u[0] * v[0];
        for (std::size_t i = 1; i < kDim; ++i)
            sum += u[i] * v[i];
        return sum;
    };
    // Takes out of v its parts along q[0] ... q[j - 1], one after the other.
    const auto orthogonalise = [&](Vector& v, const std::array<Vector, kDim>& q, std::size_t j) {
        for (std::size_t k = 0; k < j; ++k) {
            const double along = dot(q[k], v);
            for (std::size_t i = 0; i < kDim; ++i)
                v[i] -= along * q[k][i];
        }
    };
    std::array<Vector, kDim> q {};
    for (std::size_t j = 0; j < kDim; ++j)
        for (std::size_t i = 0; i < kDim; ++i)
            q[j][i] = tangents[i][static_cast<int>(j)];
    Fit fit = Fit::Apart;
    for (std::size_t j = 0; j < kDim; ++j) {
        Vector& v = q[j];
        const double squared = dot(v, v);
        if (!(squared <= 1e300) || (squared < 1e-300 && !singular))
            return Fit::OutOfRange;
        orthogonalise(v, q, j);
        const double part = dot(v, v);
        r[j] = std::sqrt(part);
        if (part <= kClose * squared) [[unlikely]] {
            fit = Fit::Close;
            if (singular || part == 0) {
                r[j] = singular ? 0 : DBL_EPSILON * std::sqrt(squared);
                v = standingOut(q, j);
                continue;
            }
        }
        const double shrink = 1 / r[j];
        for (double& c : v)
            c *= shrink;
    }
    for (std::size_t i = 0; i < kDim; ++i)
        for (std::size_t j = 0; j < kDim; ++j)
            tangents[i][static_cast<int>(j)] = q[j][i];
    return fit;
}

template <class A>
auto SpectrumTracker<A>::standingOut(
    const std::array<std::array<double, kDim>, kDim>& q, std::size_t j) -> std::array<double, kDim>
{
    std::array<double, kDim> best {};
    double bestSize = -1;
    for (std::size_t k = 0; k < kDim; ++k) {
        std::array<double, kDim> e {};
        e[k] = 1;
        for (std::size_t m = 0; m < j; ++m) {
            const double along = q[m][k]; // the dot product of q[m] and e
            for (std::size_t i = 0; i < kDim; ++i)
                e[i] -= along * q[m][i];
        }
        double size = 0;
        for (const double c : e)
            size += c * c;
        if (size > bestSize) {
            bestSize = size;
            best = e;
        }
    }
    const double length = std::sqrt(bestSize);
    for (double& c : best)
        c /= length;
    return best;
}

template <class A> SpectrumEstimate SpectrumTracker<A>::result() const
{
    SpectrumEstimate e;
    e.outcome = m_outcome;
    e.count = kDim;
    e.step = m_step;
    e.point = m_point;
    e.period = m_period;
    if (m_outcome != SpectrumEstimate::Outcome::Measured || m_blocks.steps() == 0)
        return e;
    // Largest first, each exponent with its own error.
    std::array<std::size_t, kDim> order {};
    for (std::size_t j = 0; j < kDim; ++j)
        order[j] = j;
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t i, std::size_t j) { return m_blocks.perStep(i) > m_blocks.perStep(j); });
    e.sum = 0;
    for (std::size_t j = 0; j < kDim; ++j) {
        e.perStep[j] = m_blocks.perStep(order[j]);
        e.standardError[j] = m_blocks.standardError(order[j]);
        e.sum += e.perStep[j];
    }
    e.meanLogDet = m_blocks.perStep(kDim);
    e.kaplanYorke = kaplanYorke(e.exponents());
    return e;
}

} // namespace quorvane::analysis

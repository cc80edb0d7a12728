#pragma once

#include "analysis/log_blocks.h"
#include "analysis/spectrum.h"
#include "analysis/tangent_step.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace quorvane::analysis {

// One spectrum estimate (see SpectrumEstimate) as the observer of its run's event pump. At
// every pump it checks that orbit 1 is still a number, and once the tangent vectors are placed
// carries them on by the Jacobian of the step that follows; the rest happens at the steps
// nextEvent() names: the placement, the orthonormalisations, the reports of progress.
template <class A> class SpectrumTracker {
public:
    using Step = TangentStep<A>;
    static constexpr std::size_t kDim = Step::kDim;
    using Matrix = typename Step::Matrix;

    SpectrumTracker(const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone)
        : m_settings(settings)
        , m_place(settings.transient + 1)
        , m_stepsDone(stepsDone)
    {
        m_nextMeasure = m_place;
        m_blockEnd = blockEnd(0);
        m_nextReport = stepsDone != nullptr ? kReportSteps : kNever;
        m_next = std::min(m_nextMeasure, m_nextReport);
    }

    // The observer: false ends the run.
    bool observe(std::uint64_t step, WindowVars& vars)
    {
        if (!isNumber(vars.orbit1)) [[unlikely]]
            return end(SpectrumEstimate::Outcome::Escaped, step, vars.orbit1);
        if (step == m_next) [[unlikely]]
            if (!event(step, vars))
                return false;
        if (!m_carrying)
            return true;
        return carry(step, vars.orbit1);
    }

    // The next step at whose pump observe() has more to do than the check and the carrying.
    std::uint64_t nextEvent() const { return m_next; }

    // The steps of a run of `total` not yet added to the shared count.
    std::uint64_t unreported(std::uint64_t total) const { return total - m_reported; }

    SpectrumEstimate result() const;

    // The tangent vectors the estimate starts from: an orthonormal set along no coordinate, so
    // that none of them lies where a step takes every vector along a coordinate to nothing
    // (a map whose next point does not depend on x, say).
    static Matrix startVectors();

    // Orthonormalises the columns of `tangents` by modified Gram-Schmidt, and gives the
    // diagonal of R. A column whose part outside the ones before it is at most kAlignment of
    // its length is rounding, not a direction: when `singular` holds (the columns are the
    // image of a singular step, which takes some direction to nothing), it is 0 in truth, and
    // the column is replaced by a unit vector orthogonal to the ones before it, its diagonal
    // entry 0; otherwise the orthonormalisation fails, as it does for a column whose length
    // leaves [1e-150, 1e150], where its square does not keep double precision. Returns false
    // on failure.
    static bool orthonormalise(Matrix& tangents, bool singular, std::array<double, kDim>& r);

private:
    static constexpr std::uint64_t kReportSteps = 1u << 16;
    static constexpr std::uint64_t kNever = UINT64_MAX;

    std::uint64_t blockEnd(std::uint64_t index) const
    {
        return m_place + (index + 1) * m_settings.steps / GrowthBlocks::kCount;
    }

    static bool isNumber(const Orbit& orbit)
    {
        double zero = 0;
        for (double Orbit::*slot : A::pumpState.view())
            zero += orbit.*slot - orbit.*slot;
        return zero == 0;
    }

    // Carries the tangent vectors on by the Jacobian of the step from this pump to the next,
    // and adds ln|det J| up.
    bool carry(std::uint64_t step, const Orbit& orbit)
    {
        const Step s = Step::from(orbit, m_parameters);
        typename Step::Row check {};
        for (const auto& row : s.jacobian)
            check += row - row;
        for (std::size_t i = 0; i < kDim; ++i)
            if (check[static_cast<int>(i)] != 0) [[unlikely]]
                return notSmooth(step, orbit, s);
        Matrix carried;
        for (std::size_t i = 0; i < kDim; ++i) {
            carried[i] = m_tangents[0] * s.jacobian[i][0];
            for (std::size_t k = 1; k < kDim; ++k)
                carried[i] += m_tangents[k] * s.jacobian[i][static_cast<int>(k)];
        }
        m_tangents = carried;
        const double det = std::fabs(determinant(s.jacobian));
        m_singular = m_singular || det == 0;
        m_blocks.multiply(kDim, det);
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

    // A Jacobian that is not finite. Where the next point is not finite either, the orbit
    // leaves the numbers, which the next pump reports; otherwise the step has no derivative
    // here.
    [[gnu::noinline]] bool notSmooth(std::uint64_t step, const Orbit& orbit, const Step& s)
    {
        for (const double v : s.next)
            if (!std::isfinite(v))
                return true;
        return end(SpectrumEstimate::Outcome::NotSmooth, step, orbit);
    }

    // The placement, an orthonormalisation, a report of progress. False ends the run.
    [[gnu::noinline]] bool event(std::uint64_t step, WindowVars& vars)
    {
        if (step == m_nextReport)
            report(step);
        if (step == m_nextMeasure) {
            if (step == m_place) {
                m_tangents = startVectors();
                m_parameters = Step::constants(vars.set1);
                m_carrying = true;
            } else if (!measure(step, vars.orbit1)) {
                return false;
            }
            m_lastMeasure = step;
            while (step == m_blockEnd) {
                if (!m_blocks.next()) {
                    m_carrying = false;
                    return false; // the last measurement, at the run's last step
                }
                m_blockEnd = blockEnd(m_blocks.current());
            }
            m_nextMeasure = std::min(step + m_settings.renorm, m_blockEnd);
        }
        m_next = std::min(m_nextMeasure, m_nextReport);
        return true;
    }

    void report(std::uint64_t step)
    {
        m_stepsDone->fetch_add(step - m_reported, std::memory_order_relaxed);
        m_reported = step;
        m_nextReport = step + kReportSteps;
    }

    // Orthonormalises the tangent vectors and adds ln R_jj to each exponent.
    bool measure(std::uint64_t step, const Orbit& orbit)
    {
        const std::uint64_t period = step - m_lastMeasure;
        std::array<double, kDim> r {};
        const bool singular = m_singular;
        m_singular = false;
        if (!orthonormalise(m_tangents, singular, r)) {
            m_period = period;
            return end(SpectrumEstimate::Outcome::PeriodTooLong, step, orbit);
        }
        for (std::size_t j = 0; j < kDim; ++j)
            m_blocks.multiply(j, r[j]);
        m_blocks.addSteps(period);
        return true;
    }

    bool end(SpectrumEstimate::Outcome outcome, std::uint64_t step, const Orbit& orbit)
    {
        m_outcome = outcome;
        m_step = step;
        for (std::size_t i = 0; i < kDim; ++i)
            m_point[i] = orbit.*A::pumpState.members[i];
        m_carrying = false;
        return false;
    }

    const BenettinSettings m_settings;
    const std::uint64_t m_place; // the step at whose pump the tangent vectors are placed
    std::atomic<std::uint64_t>* const m_stepsDone;

    std::uint64_t m_next = 0;
    std::uint64_t m_nextMeasure = 0;
    std::uint64_t m_nextReport = kNever;
    std::uint64_t m_reported = 0;
    std::uint64_t m_blockEnd = 0;
    std::uint64_t m_lastMeasure = 0;

    bool m_carrying = false;
    Matrix m_tangents {}; // row i: coordinate i of each tangent vector, one lane a vector
    BasicParameterSet<typename Step::Number> m_parameters;
    bool m_singular = false; // a step since the last orthonormalisation had det J = 0
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
bool SpectrumTracker<A>::orthonormalise(
    Matrix& tangents, bool singular, std::array<double, kDim>& r)
{
    using Vector = std::array<double, kDim>;
    const auto dot = [](const Vector& u, const Vector& v) {
        double sum = 0;
        for (std::size_t i = 0; i < kDim; ++i)
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
    for (std::size_t j = 0; j < kDim; ++j) {
        Vector v {};
        for (std::size_t i = 0; i < kDim; ++i)
            v[i] = tangents[i][static_cast<int>(j)];
        const double length = std::sqrt(dot(v, v));
        if (!(length <= 1e150) || (length < 1e-150 && !singular))
            return false;
        orthogonalise(v, q, j);
        r[j] = std::sqrt(dot(v, v));
        if (r[j] <= kAlignment * length) {
            if (!singular)
                return false;
            // Of the coordinate directions, the one that stands out most from q[0] ... q[j - 1].
            r[j] = 0;
            double best = -1;
            for (std::size_t k = 0; k < kDim; ++k) {
                Vector e {};
                e[k] = 1;
                orthogonalise(e, q, j);
                if (const double size = std::sqrt(dot(e, e)); size > best) {
                    best = size;
                    v = e;
                }
            }
            for (double& c : v)
                c /= best;
        } else {
            for (double& c : v)
                c /= r[j];
        }
        q[j] = v;
    }
    for (std::size_t i = 0; i < kDim; ++i)
        for (std::size_t j = 0; j < kDim; ++j)
            tangents[i][static_cast<int>(j)] = q[j][i];
    return true;
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

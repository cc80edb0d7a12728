#include "headless/lane_run.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "headless/lanes.h"

#include <algorithm>
#include <cassert>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quorvane::headless {

struct LaneRun::Access {
    static WindowVars& vars(LaneRun& run, std::size_t lane) { return run.m_vars[lane]; }
    static unsigned& going(LaneRun& run) { return run.m_going; }
    static std::uint64_t& step(LaneRun& run) { return run.m_step; }
    static std::uint64_t& escape(LaneRun& run, std::size_t lane) { return run.m_escape[lane]; }
};

namespace {

using Access = LaneRun::Access;

// 0 where every state slot of both orbits is a number, and not a number where one is not:
// v - v is 0 for every number and not a number for infinity or not a number. Always inlined,
// as everything is that the AVX2 code below calls with lanes (see lanes.h). The slots are
// named by constants, so that the variables can stay in registers.
template <Attractor A, class T, std::size_t... I>
[[gnu::always_inline]] inline T stateResidue(const StepVars<T>& v, std::index_sequence<I...>)
{
    constexpr auto slots = pumpStateSlots<A, T>();
    return (T(0.0) + ...
        + ((v.orbit1.*slots[I] - v.orbit1.*slots[I]) + (v.orbit2.*slots[I] - v.orbit2.*slots[I])));
}
template <Attractor A, class T> [[gnu::always_inline]] inline T stateResidue(const StepVars<T>& v)
{
    return stateResidue<A>(v, std::make_index_sequence<A::pumpState.count>());
}

// Calls f(field of `lanes`, the same field of each of `runs`) for every parameter, or every
// slot, each named as itself: the lane run's variables stay in registers only where every
// access to them is at an offset known when the code is built.
template <class F, class L, class... R> inline void forEachParameter(F f, L& lanes, R&... runs)
{
    const auto each = [&f](auto& l, auto&... r) {
        f(l.a, r.a...);
        f(l.b, r.b...);
        f(l.c, r.c...);
        f(l.d, r.d...);
        f(l.e, r.e...);
    };
    each(lanes.set1, runs.set1...);
    each(lanes.set2, runs.set2...);
}

template <class F, class L, class... R> inline void forEachSlot(F f, L& lanes, R&... runs)
{
    const auto each = [&f](auto& l, auto&... r) {
        f(l.x, r.x...);
        f(l.xNext, r.xNext...);
        f(l.y, r.y...);
        f(l.yNext, r.yNext...);
        f(l.z, r.z...);
    };
    each(lanes.orbit1, runs.orbit1...);
    each(lanes.orbit2, runs.orbit2...);
}

// The four runs' variables into lanes, and the orbits back into the runs of `lanes` (bit i:
// run i). A step never changes the parameters, which the commands own, so they need not go
// back: storing is the larger part of handing the runs to the caller.
[[gnu::always_inline]] inline void load(StepVars<Lanes>& v, LaneRun& run)
{
    const auto gather = [](Lanes& all, double r0, double r1, double r2, double r3) {
        all = Lanes(Lanes::Vector {r0, r1, r2, r3});
    };
    StepVars<double>& r0 = Access::vars(run, 0);
    StepVars<double>& r1 = Access::vars(run, 1);
    StepVars<double>& r2 = Access::vars(run, 2);
    StepVars<double>& r3 = Access::vars(run, 3);
    forEachParameter(gather, v, r0, r1, r2, r3);
    forEachSlot(gather, v, r0, r1, r2, r3);
}

[[gnu::always_inline]] inline void store(const StepVars<Lanes>& v, unsigned lanes, LaneRun& run)
{
    WindowVars& r0 = Access::vars(run, 0);
    WindowVars& r1 = Access::vars(run, 1);
    WindowVars& r2 = Access::vars(run, 2);
    WindowVars& r3 = Access::vars(run, 3);
    if (lanes == (1u << kLaneCount) - 1) {
        // All four go on, as they mostly do: no test for each slot of each run.
        forEachSlot(
            [](const Lanes& all, double& s0, double& s1, double& s2, double& s3) {
                s0 = all[0];
                s1 = all[1];
                s2 = all[2];
                s3 = all[3];
            },
            v, r0, r1, r2, r3);
        return;
    }
    forEachSlot(
        [lanes](const Lanes& all, double& s0, double& s1, double& s2, double& s3) {
            const std::array<double, kLaneCount> each = {all[0], all[1], all[2], all[3]};
            double* const runs[] = {&s0, &s1, &s2, &s3};
            for (std::size_t i = 0; i < kLaneCount; ++i)
                if ((lanes >> i & 1u) != 0)
                    *runs[i] = each[i];
        },
        v, r0, r1, r2, r3);
}

// The runs one after the other, each by the double step in a copy of its variables.
template <Attractor A> void advanceScalar(LaneRun& run, std::uint64_t target)
{
    unsigned& going = Access::going(run);
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) {
        if (!run.isGoing(lane))
            continue;
        StepVars<double>& vars = Access::vars(run, lane);
        StepVars<double> v = vars;
        std::uint64_t step = run.step();
        if (step > 0)
            A::afterStopTest(v);
        for (;;) {
            ++step;
            A::beforePlots(v);
            A::betweenOrbits(v);
            if (stateResidue<A>(v) != 0) [[unlikely]] {
                Access::escape(run, lane) = step;
                going &= ~(1u << lane);
                break;
            }
            if (step == target)
                break;
            A::afterStopTest(v);
        }
        vars = v;
    }
    Access::step(run) = target;
}

#if defined(__x86_64__)

// Records the runs of `lanes` as escaped at `step`, with their variables at that pump. Kept
// out of the vector loop, which it is called from only when a run escapes, with a copy of the
// variables: handing out the address of the loop's own would keep them out of registers.
[[gnu::noinline]] void escapeLanes(
    LaneRun& run, const StepVars<Lanes>& v, unsigned lanes, std::uint64_t step)
{
    store(v, lanes, run);
    for (std::size_t lane = 0; lane < kLaneCount; ++lane)
        if ((lanes >> lane & 1u) != 0)
            Access::escape(run, lane) = step;
}

// All runs at once, a run in each lane of AVX2's 256-bit vectors.
//
// Only this function is built for AVX2, through its target attribute; the file itself, like
// the rest of the program, is built for the baseline x86-64. Building the whole file with
// -mavx2 would build for AVX2 also every inline function it uses and does not inline (the
// steps of the double runs, the standard library's templates), and the linker keeps any one of
// the identical-looking copies of such a function: the program's double code might then run
// AVX2 instructions on a processor without them. Here the steps and the lane operations are
// ordinary inline functions built for the baseline, and `flatten` inlines all of them into this
// one function, where the compiler turns them into AVX2 code; no copy of any of them is built
// for AVX2. It is reached only where bestLaneCode() has found AVX2.
template <Attractor A>
[[gnu::target("avx2"), gnu::flatten]] void advanceAvx2(LaneRun& run, std::uint64_t target)
{
    StepVars<Lanes> v;
    load(v, run);

    unsigned going = Access::going(run);
    std::uint64_t step = run.step();
    if (step > 0)
        A::afterStopTest(v);
    for (;;) {
        ++step;
        A::beforePlots(v);
        A::betweenOrbits(v);
        const LaneMask escaped = stateResidue<A>(v) != 0.0;
        const unsigned out
            = static_cast<unsigned>(_mm256_movemask_pd(__builtin_bit_cast(__m256d, escaped.m)))
            & going;
        if (out != 0) [[unlikely]] {
            const StepVars<Lanes> copy = v;
            escapeLanes(run, copy, out, step);
            going &= ~out;
            if (going == 0)
                break;
        }
        if (step == target)
            break;
        A::afterStopTest(v);
    }

    store(v, going, run);
    Access::going(run) = going;
    Access::step(run) = target;
}

#endif

} // namespace

LaneCode bestLaneCode()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return LaneCode::Avx2;
#endif
    return LaneCode::Scalar;
}

template <Attractor A> const LaneSteps& laneSteps()
{
#if defined(__x86_64__)
    static constexpr LaneSteps steps
        = {&A::start, &advanceScalar<A>, &advanceAvx2<A>, A::pumpState};
#else
    static constexpr LaneSteps steps = {&A::start, &advanceScalar<A>, nullptr, A::pumpState};
#endif
    return steps;
}

template const LaneSteps& laneSteps<Lorenz>();
template const LaneSteps& laneSteps<Rossler>();
template const LaneSteps& laneSteps<Pickover>();
template const LaneSteps& laneSteps<Hopalong>();
template const LaneSteps& laneSteps<Equation1>();
template const LaneSteps& laneSteps<Equation8>();
template const LaneSteps& laneSteps<Starburst>();
template const LaneSteps& laneSteps<ThreeplyMap>();

LaneRun::LaneRun(const LaneSteps& steps, std::span<const WindowVars> runs, LaneCode code)
    : m_steps(&steps)
    , m_code(
          code == LaneCode::Avx2 && steps.advanceAvx2 != nullptr && bestLaneCode() == LaneCode::Avx2
              ? LaneCode::Avx2
              : LaneCode::Scalar)
    , m_count(std::min(runs.size(), kLaneCount))
{
    assert(runs.size() <= kLaneCount);
    for (std::size_t lane = 0; lane < m_count; ++lane) {
        WindowVars& vars = m_vars[lane];
        vars = runs[lane];
        vars.StopFlag = 0;
        steps.start(vars);
        m_going |= 1u << lane;
    }
}

void LaneRun::advanceTo(std::uint64_t step)
{
    if (step <= m_step)
        return;
    if (m_going == 0) {
        m_step = step;
        return;
    }
    if (m_code == LaneCode::Avx2)
        m_steps->advanceAvx2(*this, step);
    else
        m_steps->advanceScalar(*this, step);
}

} // namespace quorvane::headless

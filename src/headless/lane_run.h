#pragma once

#include "run/attractor.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvane::headless {

inline constexpr std::size_t kLaneCount = 4;

// The code that advances a lane run: all lanes at once in the processor's 256-bit vectors, or
// one run after the other with the double step. Both give the same numbers.
enum class LaneCode : std::uint8_t { Scalar, Avx2 };

// Avx2 where the processor has AVX2, Scalar elsewhere.
LaneCode bestLaneCode();

class LaneRun;

// How the runs of one attractor advance in a lane run. Made once for each attractor in
// lane_run.cpp; laneSteps<A>() hands it out.
struct LaneSteps {
    void (*start)(WindowVars& vars);
    void (*advanceScalar)(LaneRun& run, std::uint64_t step);
    void (*advanceAvx2)(LaneRun& run, std::uint64_t step);
    StateSlots state;
};

template <Attractor A> const LaneSteps& laneSteps();

// Up to four runs of one attractor without a window, each with its own window variables (both
// parameter sets and both orbits), advanced in lockstep by the run skeleton's hooks: the start
// state, then at every step beforePlots, betweenOrbits, the event pump, and afterStopTest once
// the pump is done. The plots are left out: they never change a run's state, nor does Delay.
// Each run gives, number for number, what the same run through runOrbits gives.
//
// The pump is where the caller comes in. At every pump the lane run checks that every slot of
// both orbits that holds the state there (the attractor's pumpState) is a number; a run with
// one that is infinite or not a number has escaped, and the lane run records that step and
// stops the run there, as the observer of a headless run would end it. At the pump of the
// step advanceTo() was asked for, every run still going is handed back: vars() reads and
// changes it, and the next advanceTo() goes on from there with that step's afterStopTest, as a
// run goes on from what a handler changed in its pump.
class LaneRun {
public:
    // Runs from `runs` (one to four), each as a run begins: the attractor's start state is set
    // on its window variables as given. code is Avx2 only where bestLaneCode() says so.
    LaneRun(
        const LaneSteps& steps, std::span<const WindowVars> runs, LaneCode code = bestLaneCode());

    std::size_t laneCount() const { return m_count; }
    LaneCode code() const { return m_code; }

    // The step at whose pump the runs stand: 0 before the first.
    std::uint64_t step() const { return m_step; }

    // Advances every run still going to the pump of `step`, or as far as it goes before it
    // escapes. A step at or before the current one does nothing.
    void advanceTo(std::uint64_t step);

    // Whether the run in `lane` still goes on: it has neither escaped nor been ended.
    bool isGoing(std::size_t lane) const { return (m_going >> lane & 1u) != 0; }
    bool anyGoing() const { return m_going != 0; }
    // The pump at which the run escaped; 0 while it has not.
    std::uint64_t escapeStep(std::size_t lane) const { return m_escape[lane]; }
    // Stops advancing the run, as an observer that returns false ends a headless run. Its
    // window variables stay as they are.
    void end(std::size_t lane) { m_going &= ~(1u << lane); }

    // The run's window variables. For a run still going, as they are at the current pump; for
    // one that has escaped or ended, as they were at the pump where that happened. Changes made
    // here to a run still going take effect from its next afterStopTest.
    WindowVars& vars(std::size_t lane) { return m_vars[lane]; }
    const WindowVars& vars(std::size_t lane) const { return m_vars[lane]; }

    // For the code that advances the runs (lane_run.cpp) only.
    struct Access;

private:
    const LaneSteps* m_steps;
    LaneCode m_code;
    std::size_t m_count = 0;
    std::uint64_t m_step = 0;
    unsigned m_going = 0; // bit i: the run in lane i goes on
    std::array<WindowVars, kLaneCount> m_vars {};
    std::array<std::uint64_t, kLaneCount> m_escape {};
};

} // namespace quorvane::headless

#pragma once

#include "analysis/line_fit.h"
#include "headless/attractor_choice.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quorvane::analysis {

using headless::AttractorChoice;

// What one step of a run shows of its two orbits.
struct Separation {
    std::uint64_t step = 0;
    // The Euclidean distance between orbit 1's and orbit 2's state at the pump, in the
    // attractor's own units: infinite or not a number once an orbit has left the numbers.
    double state = 0;
    // The distance in pixels of 15 twips between the two points the step plots, orbit 2's
    // shift left out; not a number when a point was not plotted.
    double screenPixels = 0;
};

// Takes what a measurement hands on: the steps it asks for, and the marked ones besides (the
// parting step, and the run's last step, which is the departure's when an orbit leaves the
// numbers). A sink keeps what it wants of what it is handed.
class SeparationSink {
public:
    virtual ~SeparationSink() = default;
    // The next step after `step` this sink wants.
    virtual std::uint64_t nextWanted(std::uint64_t step) const = 0;
    virtual void take(const Separation& separation, bool marked) = 0;
};

// Why an orbit left the numbers.
enum class Departure : std::uint8_t {
    None,
    State, // a state slot is infinite or not a number
    Point, // a coordinate of its point is beyond single precision, so no point was plotted
};

// Measures how the two orbits of a run part, step by step, as the run's observer at each
// event pump. The screen distance is taken on a drawing area of the given size in twips, which
// matters only through the rounding of the plotted points to single precision: every mapping
// adds its centre to both orbits alike.
//
// An orbit leaves the numbers at the first step where a state slot is infinite or not a
// number, or its point lies beyond single precision, so that the step plots nothing of it.
// The measurement ends there: no orbit is ever repaired.
class Divergence {
public:
    // `lastStep` is the run's last step, if it gets that far.
    Divergence(const AttractorChoice& attractor, double scaleWidth, double scaleHeight,
        std::uint64_t lastStep);

    // Sinks are served in the order added; each must outlive the measurement.
    void addSink(SeparationSink& sink);

    // Measures step `step` (1, 2, 3, ... as the run's pump counts them). Returns false from the
    // step where an orbit leaves the numbers on: the run has nothing more to show.
    bool observe(std::uint64_t step, const WindowVars& vars);
    // The first step whose state separation is not zero; 0 while the orbits are identical.
    std::uint64_t firstDifference() const { return m_firstDifference; }
    // The first step whose points are at least one pixel apart; 0 until they are.
    std::uint64_t partingStep() const { return m_parting.step; }
    const Separation& atParting() const { return m_parting; }
    // Orbit 1's and orbit 2's departure from the numbers, if any, and its step.
    Departure departure(int orbit) const { return m_departure[orbit - 1]; }
    // How the run left the numbers: State when either orbit's state did, else Point when
    // either orbit's point did, else None.
    Departure departure() const
    {
        if (m_departure[0] == Departure::State || m_departure[1] == Departure::State)
            return Departure::State;
        return m_departure[0] != Departure::None ? m_departure[0] : m_departure[1];
    }
    std::uint64_t departureStep() const { return m_departureStep; }
    // ln(state separation) against step, from the first difference up to the parting step
    // (all steps measured when the orbits never part). Steps where the orbits coincide again
    // are left out.
    const LineFit& growth() const { return m_growth; }

private:
    double squaredDistance(const WindowVars& vars) const;
    bool leavesNumbers(std::uint64_t step, const WindowVars& vars);
    void hand(std::uint64_t step, const WindowVars& vars, bool marked);

    const AttractorChoice& m_attractor;
    // The attractor's state slots (two or three; the unused one null) and mapping, at hand.
    std::array<double Orbit::*, 3> m_slots;
    decltype(AttractorChoice::map) m_map;
    double m_scaleWidth;
    double m_scaleHeight;
    std::vector<SeparationSink*> m_sinks;
    std::uint64_t m_lastStep;
    std::uint64_t m_next; // the next step a sink wants
    std::uint64_t m_firstDifference = 0;
    Separation m_parting;
    Departure m_departure[2] = {Departure::None, Departure::None};
    std::uint64_t m_departureStep = 0;
    LineFit m_growth;
};

} // namespace quorvane::analysis

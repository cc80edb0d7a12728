#pragma once

#include "analysis/divergence.h"
#include "cli/command.h"
#include "output/chart.h"

#include <QPointF>

#include <cstdint>
#include <vector>

namespace quorvane::cli {

using analysis::Divergence;
using analysis::Separation;

// The chart of quorvane diverge, gathered while the run goes on: log10 of the state separation
// against the step, the parting step (or an orbit's departure) marked.
//
// The step axis shows what the chart is for. Where the orbits part, it ends at a round number
// 3.5 to about 4.6 times the parting step, so that the rise, the parting mark and the start
// of the saturation each take a good share of its width; an end the user chose (--plot-steps)
// takes its place; a run whose orbits never part, or that ends before that end, is shown
// whole. The step label says which steps are shown when they are not all the run's.
//
// It keeps at most kPoints points, evenly spread over the steps shown: the stride between them
// doubles whenever they fill up, however long the run.
class DivergenceChart final : public analysis::SeparationSink {
public:
    static constexpr std::size_t kPoints = 4096;

    // `plotSteps` is the end of the step axis the user chose, from 1 to the run's steps, or 0
    // for the one the parting gives.
    DivergenceChart(const Divergence& divergence, std::uint64_t runSteps, std::uint64_t plotSteps);

    std::uint64_t nextWanted(std::uint64_t step) const override;
    void take(const Separation& s, bool marked) override;

    // The last step the chart shows: the end of its step axis, or the run's last step.
    std::uint64_t shownSteps() const { return m_end != 0 ? m_end : m_runSteps; }
    // The chart of what was taken, titled with both parameter sets of `setup`.
    output::Chart chart(const RunSetup& setup) const;

private:
    void thin();

    const Divergence& m_divergence;
    std::uint64_t m_runSteps;
    std::uint64_t m_end; // the step axis's end; 0 while it is the whole run
    std::uint64_t m_stride = 1;
    std::vector<QPointF> m_points;
    std::vector<bool> m_marked;
};

// The step axis's end for a run whose orbits part at `partingStep`: the round number a step
// axis from 0 to 3.5 times the parting step ends on (a whole number of its 1, 2 or 5 times
// 10^k ticks), so from 3.5 to about 4.6 times it.
std::uint64_t partingPlotEnd(std::uint64_t partingStep);

} // namespace quorvane::cli

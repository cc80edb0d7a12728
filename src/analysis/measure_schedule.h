#pragma once

#include "analysis/benettin.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace quorvane::analysis {

// The steps at whose pumps an estimate over BenettinSettings has something to do: the
// placement at the pump of step transient + 1; after it a measurement every `renorm` steps,
// and one at the last step of each of the kBlocks blocks of the `steps` measured; and, where
// there is a shared count of steps done, a report of progress to it every kReportSteps steps.
// next() is the first of them still to come, so that an observer called at every pump only
// compares the step with it until then.
//
// The tracker keeps its blocks, and says when one is closed (openBlock); what a measurement is,
// whether the run goes on after it, and whether a block is closed once or as often as blocks
// end at the same step, are the tracker's own.
class MeasureSchedule {
public:
    MeasureSchedule(const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone)
        : m_place(settings.transient + 1)
        , m_steps(settings.steps)
        , m_renorm(settings.renorm)
        , m_stepsDone(stepsDone)
    {
        m_nextMeasure = m_place;
        m_nextReport = stepsDone != nullptr ? kReportSteps : kNever;
        m_blockEnd = blockEnd(0);
        m_next = std::min(m_nextMeasure, m_nextReport);
    }

    // The next step at whose pump there is a placement, a measurement or a report to make.
    std::uint64_t next() const { return m_next; }

    // At the pump of `step`, before anything else: adds the steps since the last report to the
    // shared count if a report is due there.
    void reportIfDue(std::uint64_t step)
    {
        if (step != m_nextReport)
            return;
        m_stepsDone->fetch_add(step - m_reported, std::memory_order_relaxed);
        m_reported = step;
        m_nextReport = step + kReportSteps;
        m_next = std::min(m_nextMeasure, m_nextReport);
    }

    // Whether a measurement, or the placement, is due at the pump of `step`.
    bool measuresAt(std::uint64_t step) const { return step == m_nextMeasure; }
    bool isPlacement(std::uint64_t step) const { return step == m_place; }

    // Whether `step` is the last of the current block.
    bool endsBlock(std::uint64_t step) const { return step == m_blockEnd; }

    // The tracker has closed a block and block `index` is current now.
    void openBlock(std::uint64_t index) { m_blockEnd = blockEnd(index); }

    // The measurement or placement at `step` is done and the run goes on: the next is `renorm`
    // steps on, or at the end of the current block if that comes first.
    void measured(std::uint64_t step)
    {
        m_nextMeasure = std::min(step + m_renorm, m_blockEnd);
        m_next = std::min(m_nextMeasure, m_nextReport);
    }

    // The steps of a run of `total` not yet added to the shared count.
    std::uint64_t unreported(std::uint64_t total) const { return total - m_reported; }

private:
    // Steps between two additions to the shared count of steps done.
    static constexpr std::uint64_t kReportSteps = 1u << 16;
    static constexpr std::uint64_t kNever = UINT64_MAX;

    // The last step of block `index`: the blocks share the steps as evenly as whole steps can.
    std::uint64_t blockEnd(std::uint64_t index) const
    {
        return m_place + (index + 1) * m_steps / kBlocks;
    }

    const std::uint64_t m_place; // the step at whose pump the companion or the vectors are placed
    const std::uint64_t m_steps;
    const std::uint64_t m_renorm;
    std::atomic<std::uint64_t>* const m_stepsDone;

    std::uint64_t m_next = 0; // always min(m_nextMeasure, m_nextReport)
    std::uint64_t m_nextMeasure = 0;
    std::uint64_t m_nextReport = kNever;
    std::uint64_t m_reported = 0;
    std::uint64_t m_blockEnd = 0;
};

} // namespace quorvane::analysis

#pragma once

#include "analysis/log_blocks.h"

#include <cstdint>

namespace quorvane::analysis {

// The growth of a small distance over the measured steps, gathered in kCount blocks so that the
// spread of the blocks' own exponents gives the standard error of the whole one.
class GrowthBlocks {
public:
    static constexpr std::uint64_t kCount = LogBlocks<1>::kBlocks;

    // Adds the growth from distance `from` to distance `to`, both above zero, over `steps`
    // steps, to the current block.
    void add(double to, double from, std::uint64_t steps)
    {
        m_growth.multiply(0, to, from);
        m_growth.addSteps(steps);
    }
    // Goes on to the next block; false after the last.
    bool next() { return m_growth.next(); }
    // The block the growth goes to, from 0.
    std::uint64_t current() const { return m_growth.current(); }

    // The steps whose growth the blocks hold.
    std::uint64_t steps() const;
    // The exponent per step: the growth of all blocks over all their steps. Needs steps() > 0.
    double perStep() const;
    // The standard error of perStep(): that of the mean of the blocks' own exponents, over the
    // blocks that measured a step. Not a number with fewer than two of them.
    double standardError() const;

private:
    // A block's growth is the sum of ln(d / d0) over its periods (see LogSum).
    LogBlocks<1> m_growth;
};

} // namespace quorvane::analysis

#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quorvane::analysis {

// The standard error of the mean of `values`: their spread over the square root of their
// count. Not a number for fewer than two values.
double meanStandardError(std::span<const double> values);

// The growth of a small distance over the measured steps, gathered in kCount blocks so that the
// spread of the blocks' own exponents gives the standard error of the whole one.
class GrowthBlocks {
public:
    static constexpr std::uint64_t kCount = 10;

    // Adds the growth from distance `from` to distance `to`, both above zero, over `steps`
    // steps, to the current block.
    void add(double to, double from, std::uint64_t steps)
    {
        m_blocks[m_current].add(to, from);
        m_blocks[m_current].steps += steps;
    }
    // Goes on to the next block; false after the last.
    bool next() { return ++m_current < kCount; }
    // The block the growth goes to, from 0.
    std::uint64_t current() const { return m_current; }

    // The steps whose growth the blocks hold.
    std::uint64_t steps() const;
    // The exponent per step: the growth of all blocks over all their steps. Needs steps() > 0.
    double perStep() const;
    // The standard error of perStep(): that of the mean of the blocks' own exponents, over the
    // blocks that measured a step. Not a number with fewer than two of them.
    double standardError() const;

private:
    // A block's growth: the sum of ln(d / d0) over its periods is sum + ln(product). The
    // factors d / d0 are multiplied up and their logarithm taken only when the product leaves
    // [1e-100, 1e100], which spares a logarithm at nearly every measurement.
    struct Block {
        double sum = 0;
        double product = 1;
        std::uint64_t steps = 0;

        void add(double to, double from);
        double growth() const;
    };

    std::array<Block, kCount> m_blocks {};
    std::uint64_t m_current = 0;
};

} // namespace quorvane::analysis

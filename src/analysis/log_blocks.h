#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvane::analysis {

// The standard error of the mean of `values`: their spread over the square root of their
// count. Not a number for fewer than two values.
double meanStandardError(std::span<const double> values);

// The sum of the logarithms of many factors, taking a logarithm only now and then: the factors
// are multiplied up, and the product's logarithm is added only when it leaves [1e-100, 1e100],
// or a factor alone lies outside it. A factor of 0 makes the sum minus infinity.
struct LogSum {
    double sum = 0;
    double product = 1;

    void multiply(double factor)
    {
        if (!(factor >= 1 / kWide && factor <= kWide)) [[unlikely]] {
            sum += std::log(factor);
            return;
        }
        product *= factor;
        if (product < 1 / kWide || product > kWide) [[unlikely]] {
            sum += std::log(product);
            product = 1;
        }
    }
    // Multiplies by to / from, both above zero. A quotient outside the range, which may even
    // have overflowed, adds ln to - ln from.
    void multiply(double to, double from);
    double total() const { return sum + std::log(product); }

    // The product is kept within [1 / kWide, kWide], far from where it would lose precision.
    static constexpr double kWide = 1e100;
};

// Count quantities measured as sums of logarithms over the same steps, gathered in kBlocks
// blocks so that the spread of the blocks' own rates gives the standard error of the whole one.
template <std::size_t Count> class LogBlocks {
public:
    static constexpr std::uint64_t kBlocks = 10;

    // Multiplies quantity k of the current block by `factor`, 0 or more.
    void multiply(std::size_t k, double factor) { m_blocks[m_current].logs[k].multiply(factor); }
    // Multiplies quantity k of the current block by to / from, both above zero.
    void multiply(std::size_t k, double to, double from)
    {
        m_blocks[m_current].logs[k].multiply(to, from);
    }
    // Adds steps to the current block.
    void addSteps(std::uint64_t steps) { m_blocks[m_current].steps += steps; }
    // Goes on to the next block; false after the last.
    bool next() { return ++m_current < kBlocks; }
    // The block the quantities go to, from 0.
    std::uint64_t current() const { return m_current; }

    // The steps the blocks hold.
    std::uint64_t steps() const
    {
        std::uint64_t steps = 0;
        for (const Block& block : m_blocks)
            steps += block.steps;
        return steps;
    }
    // Quantity k per step over all blocks. Needs steps() > 0.
    double perStep(std::size_t k) const
    {
        double sum = 0;
        for (const Block& block : m_blocks)
            sum += block.logs[k].total();
        return sum / static_cast<double>(steps());
    }
    // The standard error of perStep(k), from the blocks that hold a step.
    double standardError(std::size_t k) const
    {
        std::array<double, kBlocks> rates {};
        std::size_t count = 0;
        for (const Block& block : m_blocks)
            if (block.steps > 0)
                rates[count++] = block.logs[k].total() / static_cast<double>(block.steps);
        return meanStandardError(std::span(rates.data(), count));
    }

private:
    struct Block {
        std::array<LogSum, Count> logs {};
        std::uint64_t steps = 0;
    };
    std::array<Block, kBlocks> m_blocks {};
    std::uint64_t m_current = 0;
};

} // namespace quorvane::analysis

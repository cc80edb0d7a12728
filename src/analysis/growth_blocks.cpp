#include "analysis/growth_blocks.h"

#include <cmath>
#include <limits>

namespace quorvane::analysis {

void GrowthBlocks::Block::add(double to, double from)
{
    constexpr double kWide = 1e100;
    const double factor = to / from;
    if (!(factor >= 1 / kWide && factor <= kWide)) { // it may even have overflowed
        sum += std::log(to) - std::log(from);
        return;
    }
    product *= factor;
    if (product < 1 / kWide || product > kWide) {
        sum += std::log(product);
        product = 1;
    }
}

double GrowthBlocks::Block::growth() const { return sum + std::log(product); }

std::uint64_t GrowthBlocks::steps() const
{
    std::uint64_t steps = 0;
    for (const Block& block : m_blocks)
        steps += block.steps;
    return steps;
}

double GrowthBlocks::perStep() const
{
    double sum = 0;
    for (const Block& block : m_blocks)
        sum += block.growth();
    return sum / static_cast<double>(steps());
}

double GrowthBlocks::standardError() const
{
    std::array<double, kCount> exponents {};
    std::size_t count = 0;
    for (const Block& block : m_blocks)
        if (block.steps > 0)
            exponents[count++] = block.growth() / static_cast<double>(block.steps);
    return meanStandardError(std::span(exponents.data(), count));
}

double meanStandardError(std::span<const double> values)
{
    if (values.size() < 2)
        return std::numeric_limits<double>::quiet_NaN();
    double mean = 0;
    for (const double v : values)
        mean += v;
    const double n = static_cast<double>(values.size());
    mean /= n;
    double squares = 0;
    for (const double v : values)
        squares += (v - mean) * (v - mean);
    return std::sqrt(squares / (n - 1) / n);
}

} // namespace quorvane::analysis

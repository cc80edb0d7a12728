#include "analysis/growth_blocks.h"

namespace quorvane::analysis {

// Out of line: only a run's result calls them, and inlined they would crowd the code of the loop
// that makes four estimates at once in lanes.
std::uint64_t GrowthBlocks::steps() const { return m_growth.steps(); }

double GrowthBlocks::perStep() const { return m_growth.perStep(0); }

double GrowthBlocks::standardError() const { return m_growth.standardError(0); }

} // namespace quorvane::analysis

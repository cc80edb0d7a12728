#include "headless/headless_platform.h"

#include "headless/progress.h"

#include <algorithm>

namespace quorvane::headless {

namespace {

// Steps between two looks at the clock for the progress line.
constexpr std::uint64_t kProgressSteps = 1u << 16;

} // namespace

void HeadlessPlatform::planLooks()
{
    m_nextLook = m_progress != nullptr && m_progress->isShown()
        ? std::min(m_steps, m_step + kProgressSteps)
        : m_steps;
}

void HeadlessPlatform::look()
{
    if (m_step >= m_steps)
        return m_form->stopHere();
    m_progress->update(m_step);
    planLooks();
}

} // namespace quorvane::headless

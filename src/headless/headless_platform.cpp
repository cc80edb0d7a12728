#include "headless/headless_platform.h"

#include "headless/progress.h"

#include <algorithm>

namespace quorvane::headless {

namespace {

// Steps between two looks at the clock for the progress line.
constexpr std::uint64_t kProgressSteps = 1u << 16;

} // namespace

void HeadlessPlatform::event()
{
    if (m_observer && !m_observer(m_step, m_form->vars))
        return m_form->stopHere();
    if (m_step == m_nextLook) {
        if (m_step >= m_steps)
            return m_form->stopHere();
        m_progress->update(m_step);
    }
    planEvents();
}

void HeadlessPlatform::planEvents()
{
    if (m_step >= m_nextLook)
        m_nextLook = m_progress != nullptr && m_progress->isShown()
            ? std::min(m_steps, m_step + kProgressSteps)
            : m_steps;
    m_nextEvent = m_observer ? m_step + 1 : m_nextLook;
}

} // namespace quorvane::headless

#include "cli/diverge_chart.h"

#include "cli/diverge_summary.h"
#include "output/chart_axis.h"

#include <cmath>

namespace quorvane::cli {

namespace {

// The steps between 0 and the axis's end take about this many ticks.
constexpr int kStepTicks = 8;
constexpr double kPartingShare = 3.5;

} // namespace

std::uint64_t partingPlotEnd(std::uint64_t partingStep)
{
    const output::Axis axis
        = output::niceAxis(0, kPartingShare * static_cast<double>(partingStep), kStepTicks);
    return static_cast<std::uint64_t>(std::ceil(axis.hi));
}

DivergenceChart::DivergenceChart(
    const Divergence& divergence, std::uint64_t runSteps, std::uint64_t plotSteps)
    : m_divergence(divergence)
    , m_runSteps(runSteps)
    , m_end(plotSteps < runSteps ? plotSteps : 0)
{
}

std::uint64_t DivergenceChart::nextWanted(std::uint64_t step) const
{
    if (m_end != 0 && step >= m_end)
        return UINT64_MAX; // nothing more to show
    return (step / m_stride + 1) * m_stride;
}

void DivergenceChart::take(const Separation& s, bool marked)
{
    if (m_end != 0 && s.step > m_end)
        return;
    if (!marked && s.step % m_stride != 0)
        return;
    m_points.push_back({static_cast<double>(s.step), std::log10(s.state)});
    m_marked.push_back(marked);
    // The parting gives the axis its end, unless the user chose one.
    if (marked && m_end == 0 && s.step == m_divergence.partingStep())
        if (const std::uint64_t end = partingPlotEnd(s.step); end < m_runSteps)
            m_end = end;
    if (m_points.size() >= kPoints)
        thin();
}

void DivergenceChart::thin()
{
    m_stride *= 2;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        if (!m_marked[i] && static_cast<std::uint64_t>(m_points[i].x()) % m_stride != 0)
            continue;
        m_points[kept] = m_points[i];
        m_marked[kept++] = m_marked[i];
    }
    m_points.resize(kept);
    m_marked.resize(kept);
}

output::Chart DivergenceChart::chart(const RunSetup& setup) const
{
    output::Chart chart;
    chart.title = divergenceTitle(setup);
    chart.xLabel = QStringLiteral("step");
    if (m_end != 0) {
        chart.xSpan = {0.0, static_cast<double>(m_end)};
        chart.xLabel
            += QStringLiteral(" (the first %1 of the run's %2 shown)").arg(m_end).arg(m_runSteps);
    }
    chart.yLabel = QStringLiteral("log10 of the state separation (state units)");
    chart.points = m_points;
    const Divergence& d = m_divergence;
    if (d.partingStep() != 0)
        chart.marker = output::ChartLine {static_cast<double>(d.partingStep()),
            QStringLiteral("orbits part at step %1").arg(d.partingStep())};
    else if (d.departureStep() != 0)
        chart.marker = output::ChartLine {static_cast<double>(d.departureStep()),
            QStringLiteral("an orbit leaves %1 at step %2")
                .arg(leftFrom(d.departure()))
                .arg(d.departureStep())};
    return chart;
}

} // namespace quorvane::cli

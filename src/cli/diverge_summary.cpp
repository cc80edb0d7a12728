#include "cli/diverge_summary.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quorvane::cli {

namespace {

using analysis::Departure;
using analysis::LineFit;
using analysis::Separation;

// The shortest text that reads back as the same number: 10, 2.667, 0.0004, 1e+300.
QString number(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general).ptr;
    return QString::fromLatin1(text, end - text);
}

// A figure with four significant digits, written out in full between 10^4 and 10^15.
QString figure(double value)
{
    char text[48];
    const double size = std::fabs(value);
    std::snprintf(text, sizeof text, size >= 1e4 && size < 1e15 ? "%.0f" : "%.4g", value);
    return QString::fromLatin1(text);
}

// One orbit's parameters as name=value, in the order of the prompts.
QStringList parameterList(const RunSetup& setup, int orbit)
{
    WindowVars vars;
    vars.set1 = setup.set1;
    vars.set2 = setup.set2;
    QStringList list;
    for (const Prompt& prompt : setup.attractor->texts.prompts) {
        if (isOrbit1(prompt.target) != (orbit == 1))
            continue;
        list << QStringLiteral("%1=%2").arg(
            fromView(parameterName(prompt.target)), number(vars.parameter(prompt.target)));
    }
    return list;
}

// "1 step", "20 steps".
QString steps(std::uint64_t count)
{
    return count == 1 ? QStringLiteral("1 step") : QStringLiteral("%1 steps").arg(count);
}

QString nameOf(const RunSetup& setup) { return fromView(setup.attractor->name); }

class Summary {
public:
    Summary(const RunSetup& setup, const Divergence& divergence)
        : m_setup(setup)
        , m_d(divergence)
    {
    }

    QStringList lines() const
    {
        QStringList out;
        const QString name = nameOf(m_setup);
        out << (m_setup.attractor->isFlow()
                ? QStringLiteral("%1, %2 of %3 time units")
                      .arg(name, steps(m_setup.steps), number(m_setup.attractor->timeStep))
                : QStringLiteral("%1, %2").arg(name, steps(m_setup.steps)));
        out << wrapped(QStringLiteral("orbit 1:"), parameterList(m_setup, 1));
        out << wrapped(QStringLiteral("orbit 2:"), parameterList(m_setup, 2));
        if (m_d.firstDifference() != 0)
            out << QStringLiteral("orbits first differ at step %1").arg(m_d.firstDifference());
        out << outcome();
        out << rate();
        return out;
    }

private:
    // "(t = 8.18 time units)" after a step of a flow, at the time its state has.
    QString atTime(std::uint64_t step) const
    {
        if (!m_setup.attractor->isFlow())
            return {};
        return QStringLiteral(" (t = %1 time units)")
            .arg(figure(static_cast<double>(step - 1) * m_setup.attractor->timeStep));
    }

    QStringList outcome() const
    {
        QStringList out;
        if (const Separation& s = m_d.atParting(); s.step != 0)
            out << QStringLiteral("orbits part at step %1%2").arg(s.step).arg(atTime(s.step))
                << QStringLiteral("  %1 px apart on screen, %2 state units apart")
                       .arg(figure(s.screenPixels), figure(s.state));
        if (m_d.departureStep() != 0) {
            out << departure();
        } else if (m_d.firstDifference() == 0) {
            out << QStringLiteral("orbits identical for all %1").arg(steps(m_setup.steps));
        } else if (m_d.partingStep() == 0) {
            out << QStringLiteral("still within one pixel after %1").arg(steps(m_setup.steps));
        }
        return out;
    }

    // How the orbits left: those whose state left the numbers, then those whose point left
    // the range the window can draw, each kind with its step and what it means.
    QStringList departure() const
    {
        QStringList out;
        for (const Departure kind : {Departure::State, Departure::Point}) {
            const bool left1 = m_d.departure(1) == kind;
            const bool left2 = m_d.departure(2) == kind;
            if (!left1 && !left2)
                continue;
            const bool both = left1 && left2;
            const QString who = both ? QStringLiteral("both orbits leave")
                                     : QStringLiteral("orbit %1 leaves").arg(left1 ? 1 : 2);
            const QString line = QStringLiteral("%1 %2 at step %3%4")
                                     .arg(who, leftFrom(kind))
                                     .arg(m_d.departureStep())
                                     .arg(atTime(m_d.departureStep()));
            out << wrapped(line.section(QLatin1Char(' '), 0, 0),
                line.section(QLatin1Char(' '), 1).split(QLatin1Char(' ')));
            out << (kind == Departure::State
                    ? QStringLiteral("  (a state value is infinite or not a number")
                    : QStringLiteral("  (%1 beyond single precision")
                          .arg(both ? QStringLiteral("their points lie")
                                    : QStringLiteral("its point lies")));
        }
        out.last() += QStringLiteral("; the run ends there)");
        return out;
    }

    QStringList rate() const
    {
        if (m_d.departureStep() != 0)
            return {
                QStringLiteral("no growth rate: an orbit left %1").arg(leftFrom(m_d.departure()))};
        if (m_d.firstDifference() == 0)
            return {};
        const LineFit& fit = m_d.growth();
        const std::uint64_t to = m_d.partingStep() != 0 ? m_d.partingStep() : m_setup.steps;
        if (!fit.hasSlope())
            return {QStringLiteral("no growth rate: a single step, %1, to fit it over").arg(to)};
        const double slope = fit.slope();
        QString line = QStringLiteral("growth rate %1 per step").arg(figure(slope));
        if (m_setup.attractor->isFlow())
            line += QStringLiteral(" (%1 per time unit)")
                        .arg(figure(slope / m_setup.attractor->timeStep));
        QStringList out {line,
            QStringLiteral("  ln of the state separation fitted from step %1 to %2")
                .arg(m_d.firstDifference())
                .arg(to)};
        if (slope == 0)
            return out << QStringLiteral("  the separation neither grows nor shrinks");
        const double tenfold = std::log(10.0) / std::fabs(slope);
        QString grows = QStringLiteral("  it %1 tenfold every %2 steps")
                            .arg(slope > 0 ? QStringLiteral("grows") : QStringLiteral("shrinks"),
                                figure(tenfold));
        if (m_setup.attractor->isFlow())
            grows += QStringLiteral(" (%1 time units)")
                         .arg(figure(tenfold * m_setup.attractor->timeStep));
        return out << grows;
    }

    const RunSetup& m_setup;
    const Divergence& m_d;
};

} // namespace

QStringList divergenceSummary(const RunSetup& setup, const Divergence& divergence)
{
    return Summary(setup, divergence).lines();
}

QString divergenceTitle(const RunSetup& setup)
{
    return QStringLiteral("%1, orbit 1: %2\norbit 2: %3")
        .arg(nameOf(setup), parameterList(setup, 1).join(QLatin1Char(' ')),
            parameterList(setup, 2).join(QLatin1Char(' ')));
}

QString leftFrom(Departure kind)
{
    return kind == Departure::State ? QStringLiteral("the numbers")
                                    : QStringLiteral("the range the window can draw");
}

} // namespace quorvane::cli

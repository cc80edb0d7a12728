// What quorvane lyapunov writes of a range, from estimates made up here: the CSV numbers read
// back as the same doubles, and the words of the table, the report and the chart's title count
// what they say they count.

#include "cli/lyapunov_report.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvane::cli {
namespace {

using Outcome = LyapunovEstimate::Outcome;

LyapunovSubject lorenzRange(double from, double to, std::uint64_t count)
{
    LyapunovSubject subject;
    subject.attractor = headless::findAttractor("lorenz");
    subject.parameters = {10, 28, 2.667};
    subject.sweep = Sweep {Param::b, from, to, count};
    return subject;
}

LyapunovEstimate measured(double perStep, double standardError)
{
    LyapunovEstimate e;
    e.perStep = perStep;
    e.standardError = standardError;
    return e;
}

LyapunovEstimate ended(Outcome outcome)
{
    LyapunovEstimate e;
    e.outcome = outcome;
    e.step = 12;
    if (outcome == Outcome::Collapsed)
        e.perStep = -std::numeric_limits<double>::infinity();
    return e;
}

// Numbers whose shortest form has 17 significant digits: 16 would read back as another double.
TEST(RangeCsv, NumbersReadBackAsTheSameDoubles)
{
    const double tenths = 0.1 + 0.2; // 0.30000000000000004
    const LyapunovSubject subject = lorenzRange(0.1, tenths, 3);
    const std::vector<LyapunovEstimate> estimates {
        measured(tenths, 1.0 / 3 + 1e-17), ended(Outcome::Collapsed), ended(Outcome::Escaped)};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        output::CsvWriter csv(buffer);
        writeRangeCsv(subject, estimates, csv);
    }
    const QStringList lines = QString::fromLatin1(buffer.data()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5); // the header, three rows, and the end of the last
    EXPECT_EQ(lines[0], QStringLiteral("value,lambda_per_step,lambda_per_time,stderr"));
    const QStringList first = lines[1].split(QLatin1Char(','));
    ASSERT_EQ(first.size(), 4);
    EXPECT_EQ(first[0].toDouble(), 0.1);
    EXPECT_EQ(first[1].toDouble(), tenths) << first[1].toStdString();
    EXPECT_EQ(first[2].toDouble(), tenths / 0.0004) << first[2].toStdString();
    EXPECT_EQ(first[3].toDouble(), 1.0 / 3 + 1e-17) << first[3].toStdString();
    // A collapsed companion's exponents are -inf, with no error; no exponent is no fields.
    EXPECT_EQ(lines[2].section(QLatin1Char(','), 1), QStringLiteral("-inf,-inf,"));
    EXPECT_EQ(lines[3], QStringLiteral("0.30000000000000004,,,"));
}

TEST(RangeReport, CountsWhatItSaysItCounts)
{
    // A COUNT of 1 measures FROM alone: the heading does not promise a range.
    const LyapunovSubject one = lorenzRange(5, 45, 1);
    std::string table;
    printRangeTable(one, std::vector {measured(0.001, 0.0001)},
        [&](const std::string& line) { table += line; });
    EXPECT_EQ(table.substr(0, table.find('\n')),
        "lorenz a=10 c=2.667: b = 5 (a COUNT of 1 takes FROM alone);");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4);

    // A companion that collapsed has an exponent, -inf, which the chart cannot draw: the title
    // says so rather than counting it among the values without one.
    const LyapunovSubject three = lorenzRange(5, 45, 3);
    const Chart chart = rangeChart(three,
        std::vector {ended(Outcome::Collapsed), ended(Outcome::Escaped), measured(0.001, 0.0001)});
    EXPECT_TRUE(chart.title.endsWith(
        QStringLiteral("; 1 value without an exponent; 1 value at -inf, not drawn")))
        << chart.title.toStdString();

    // One period left out is one period.
    LyapunovEstimate leftOut = measured(0.001, 0.0001);
    leftOut.periodsLeftOut = 1;
    leftOut.firstLeftOut = 500;
    leftOut.measuredSteps = 999'990;
    LyapunovSubject single = one;
    single.sweep.reset();
    EXPECT_NE(estimateReport(single, leftOut)
                  .find("fell onto orbit 1 in 1 period (first at step 500), left out of the "
                        "999990 steps measured"),
        std::string::npos);
}

} // namespace
} // namespace quorvane::cli

// quorvane diverge's files and summary, against orbits this test computes itself: the CSV rows
// read back to the bit, the parting step's among them, a chart of the size asked for, and the
// parting step's model time.

#include "cli/run_program.h"
#include "support/reference_orbits.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

namespace quorvane::cli {
namespace {

using namespace reference;

// quorvane diverge, run with no display; returns its exit status and its standard output.
int runProgram(const QStringList& arguments, const QString& folder, QString* output)
{
    return tests::runProgram(QStringList {QStringLiteral("diverge")} + arguments, folder, output);
}

TEST(DivergeCommand, WritesTheSeparationsToCsvAndAChartOfTheRequestedSize)
{
    QTemporaryDir folder;
    QString output;
    ASSERT_EQ(runProgram({"hopalong", "--set", "aa=0.72400001", "--steps", "3000", "--every", "250",
                             "--csv", "hop.csv", "--plot", "hop.png"},
                  folder.path(), &output),
        0);

    QFile csv(folder.filePath(QStringLiteral("hop.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(csv.readAll()).split('\n');
    EXPECT_EQ(lines.value(0), QStringLiteral("step,state_separation,screen_separation_px"));
    // Row 2 is step 500, read back to the bit: 17 digits make the same double again.
    const QStringList row = lines.value(2).split(',');
    ASSERT_EQ(row.size(), 3);
    Orbits orbits = hopalong(0.724, -0.565, -0.117, 0.72400001, -0.565, -0.117);
    Plotted at500;
    for (int k = 1; k <= 500; ++k)
        at500 = orbits();
    EXPECT_EQ(row[0], QStringLiteral("500"));
    EXPECT_EQ(row[1].toDouble(), stateDistance(at500));
    EXPECT_EQ(row[2].toDouble(), screenPixels(at500));

    QImageReader chart(folder.filePath(QStringLiteral("hop.png")));
    EXPECT_EQ(chart.format(), "png");
    EXPECT_EQ(chart.size(), QSize(1200, 800));
    EXPECT_FALSE(chart.read().isNull());
    EXPECT_TRUE(output.contains(QStringLiteral("orbits part at step "))) << output.toStdString();
}

// The first step at which the test's own orbits are a pixel apart, and what it plots.
std::pair<std::uint64_t, Plotted> partingOf(Orbits orbits)
{
    for (std::uint64_t step = 1;; ++step)
        if (const Plotted p = orbits(); screenPixels(p) >= 1)
            return {step, p};
}

// The parting step's row is in the CSV file whatever --every is, read back to the bit.
TEST(DivergeCommand, TheCsvFileHoldsThePartingStepsRowWhateverTheRowsBetween)
{
    const auto [parting, at]
        = partingOf(hopalong(0.724, -0.565, -0.117, 0.72400001, -0.565, -0.117));
    ASSERT_NE(parting % 1000, 0u);
    QTemporaryDir folder;
    QString output;
    ASSERT_EQ(runProgram({"hopalong", "--set", "aa=0.72400001", "--steps", "3000", "--every",
                             "1000", "--csv", "hop.csv"},
                  folder.path(), &output),
        0);
    QFile csv(folder.filePath(QStringLiteral("hop.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(csv.readAll()).trimmed().split('\n');
    QStringList steps;
    for (const QString& line : lines.mid(1))
        steps << line.section(',', 0, 0);
    EXPECT_EQ(steps, QStringList({"1000", QString::number(parting), "2000", "3000"}));
    const QStringList row = lines.value(2).split(',');
    ASSERT_EQ(row.size(), 3);
    EXPECT_EQ(row[1].toDouble(), stateDistance(at));
    EXPECT_EQ(row[2].toDouble(), screenPixels(at));
}

// A flow's parting step is given with its model time: step 1 shows the start, time 0, and each
// step after it adds 0.0004 time units.
TEST(DivergeCommand, GivesThePartingStepsModelTime)
{
    const std::uint64_t parting = partingOf(lorenz(10, 28, 2.667, 10.001, 28, 2.667)).first;
    char time[32];
    std::snprintf(time, sizeof time, "%.4g", static_cast<double>(parting - 1) * 0.0004);
    QTemporaryDir folder;
    QString output;
    ASSERT_EQ(
        runProgram({"lorenz", "--set", "aa=10.001", "--steps", "30000"}, folder.path(), &output),
        0);
    EXPECT_TRUE(output.contains(
        QStringLiteral("\norbits part at step %1 (t = %2 time units)\n").arg(parting).arg(time)))
        << output.toStdString();
}

} // namespace
} // namespace quorvane::cli

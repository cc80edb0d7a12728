// quorvane diverge's files, against orbits this test computes itself: the CSV rows read back
// to the bit, and a chart of the size asked for.

#include "support/reference_orbits.h"

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvane::cli {
namespace {

using namespace reference;

// The built program, run with no display; returns its exit status and its standard output.
int runProgram(const QStringList& arguments, const QString& folder, QString* output)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(
        QStringLiteral(QUORVANE_PROGRAM), QStringList {QStringLiteral("diverge")} + arguments);
    if (!program.waitForFinished(120'000))
        return -1;
    *output = QString::fromLocal8Bit(program.readAllStandardOutput());
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
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

} // namespace
} // namespace quorvane::cli

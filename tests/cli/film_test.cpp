// quorvane film: the built program's films decoded again with FFmpeg's own decoders and held
// against quorvane render's pictures and quorvane diverge's figures, and the film's run in this
// process for what its captions say.

#include "cli/film_run.h"
#include "cli/run_program.h"
#include "output/video_reading.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace quorvane::cli {
namespace {

using output::FilmCaption;
using output::tests::readVideo;
using output::tests::ReadVideo;
using tests::runProgram;

// How many pixels of two pictures differ in colour, and the first that does.
struct Difference {
    int pixels = 0;
    QPoint first {-1, -1};
};

Difference differenceOf(const QImage& a, const QImage& b)
{
    Difference difference;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if ((a.pixel(x, y) & 0xffffff) == (b.pixel(x, y) & 0xffffff))
                continue;
            if (difference.pixels++ == 0)
                difference.first = QPoint(x, y);
        }
    }
    return difference;
}

TEST(FilmCommand, LosslessFramesWithoutCaptionAreRendersPicturesAtTheirSteps)
{
    QTemporaryDir folder;
    // Orbit 2 differs a little, so the frames differ; the drawing area, scale and background
    // are render's options, read the same way.
    const QStringList run = {
        "hopalong", "--set", "aa=0.7241", "--size", "640x480", "--scale", "2", "--background", "1"};
    QString errors;
    ASSERT_EQ(runProgram(QStringList {"film"} + run
                      + QStringList {"--steps", "5000", "--seconds", "1", "--fps", "7",
                          "--lossless", "--no-caption", "-q", "-o", "hop.mkv"},
                  folder.path(), nullptr, &errors),
        0)
        << errors.toStdString();

    // Seven frames over 5000 steps: frame k shows ceil(5000 k / 7) steps, 714.3 rounded up
    // for the first and 2857.1 for the fourth.
    const std::map<int, int> stepsOfFrame = {{0, 715}, {3, 2858}, {6, 5000}};
    const ReadVideo video = readVideo(folder.filePath("hop.mkv"), {0, 3, 6});
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.frameCount, 7);
    EXPECT_NEAR(video.framesPerSecond, 7.0, 1e-3);
    EXPECT_NEAR(video.seconds, 1.0, 0.002); // Matroska counts milliseconds
    ASSERT_EQ(video.frames.size(), 3u);

    QImage previous;
    for (const auto& [frame, steps] : stepsOfFrame) {
        SCOPED_TRACE("frame " + std::to_string(frame + 1));
        const QString picture = QStringLiteral("render%1.png").arg(steps);
        ASSERT_EQ(runProgram(QStringList {"render"} + run
                          + QStringList {"--steps", QString::number(steps), "-q", "-o", picture},
                      folder.path(), nullptr, &errors),
            0)
            << errors.toStdString();
        const QImage rendered = QImage(folder.filePath(picture));
        const QImage& decoded = video.frames.at(frame);
        ASSERT_EQ(decoded.size(), QSize(1280, 960));
        ASSERT_EQ(rendered.size(), decoded.size());
        const Difference difference = differenceOf(rendered, decoded);
        EXPECT_EQ(difference.pixels, 0)
            << "first at " << difference.first.x() << "," << difference.first.y();
        // One step more or fewer would be a different picture.
        if (!previous.isNull()) {
            EXPECT_GT(differenceOf(previous, rendered).pixels, 100);
        }
        previous = rendered;
    }
}

TEST(FilmCommand, DefaultMp4IsH264Yuv420pOfTheLengthAskedWithTheCaptionBelow)
{
    QTemporaryDir folder;
    QString output;
    QString errors;
    // An odd width: 4:2:0 takes even sides, so the frame gains a column.
    ASSERT_EQ(runProgram({"film", "lorenz", "--steps", "3000", "--seconds", "2.5", "--fps", "12",
                             "--size", "321x240", "-o", "lorenz.MP4"},
                  folder.path(), &output, &errors),
        0)
        << errors.toStdString();
    const ReadVideo video = readVideo(folder.filePath("lorenz.MP4"));
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.codec, "h264");
    EXPECT_EQ(video.pixelFormat, "yuv420p");
    EXPECT_EQ(video.frameCount, 30);
    EXPECT_NEAR(video.framesPerSecond, 12.0, 1e-3);
    EXPECT_NEAR(video.seconds, 2.5, 1e-3);
    EXPECT_EQ(video.width, 322);
    EXPECT_EQ(video.height, 240 + 34);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^wrote lorenz.MP4: 30 frames of 322x274 at 12 "
                                                  "fps \\(2.50 s\\), 3000 steps, [0-9.]+ s\n$"))
                    .match(output)
                    .hasMatch())
        << output.toStdString();
}

TEST(FrameSteps, SpreadFramesShowTheRoundedUpShareOfTheSteps)
{
    const FrameSteps seven = FrameSteps::spread(5000, 7);
    EXPECT_EQ(seven.count(), 7u);
    EXPECT_EQ(seven.step(1), 715u);
    EXPECT_EQ(seven.step(4), 2858u);
    EXPECT_EQ(seven.step(7), 5000u);
    // As many frames as steps: every step a frame.
    const FrameSteps each = FrameSteps::spread(600, 600);
    EXPECT_EQ(each.step(1), 1u);
    EXPECT_EQ(each.step(599), 599u);
    // A day at a thousand frames a second over 10^12 steps: k times the steps overflows 64
    // bits from the 18447th frame on. 10^12 / 86400000 = 11574.07...
    const FrameSteps longest = FrameSteps::spread(1'000'000'000'000, 86'400'000);
    EXPECT_EQ(longest.step(1), 11575u);
    EXPECT_EQ(longest.step(20'000'000), 231'481'481'482u);
    EXPECT_EQ(longest.step(86'400'000), 1'000'000'000'000u);
}

TEST(FrameSteps, AFrameEveryKStepsAndOneAfterTheLastStep)
{
    const FrameSteps every = FrameSteps::every(10, 3);
    EXPECT_EQ(every.count(), 4u);
    EXPECT_EQ(every.step(1), 3u);
    EXPECT_EQ(every.step(3), 9u);
    EXPECT_EQ(every.step(4), 10u);
    const FrameSteps even = FrameSteps::every(12, 3);
    EXPECT_EQ(even.count(), 4u);
    EXPECT_EQ(even.step(4), 12u);
}

// Keeps what each frame's caption says.
class Captions final : public FrameSink {
public:
    std::optional<QString> take(
        std::uint64_t frame, const QImage&, const FilmCaption& caption) override
    {
        EXPECT_EQ(frame, captions.size() + 1);
        captions.push_back(caption);
        return std::nullopt;
    }

    std::vector<FilmCaption> captions;
};

std::vector<FilmCaption> captionsOf(const char* attractor, const ParameterSet& set1,
    const ParameterSet& set2, const FrameSteps& frames)
{
    const headless::RunSetup setup {headless::findAttractor(attractor), set1, set2, frames.steps()};
    output::Picture picture;
    EXPECT_TRUE(picture.allocate(QSize(1600, 1200), 1, 0xFF000000));
    Captions captions;
    EXPECT_FALSE(runFilm(setup, picture, QSize(1600, 1200), frames, Measure::Separation, captions));
    EXPECT_EQ(captions.captions.size(), frames.count());
    return captions.captions;
}

// What quorvane diverge says of a run: the parting step and the state separation at every step.
struct Diverged {
    std::uint64_t partingStep = 0;
    std::vector<double> separation; // [step - 1]
};

Diverged diverge(const QStringList& run)
{
    QTemporaryDir folder;
    QString output;
    QString errors;
    Diverged diverged;
    EXPECT_EQ(runProgram(QStringList {"diverge"} + run
                      + QStringList {"--csv", "d.csv", "--every", "1", "-q"},
                  folder.path(), &output, &errors),
        0)
        << errors.toStdString();
    const QRegularExpressionMatch parting = QRegularExpression(
        QStringLiteral("^orbits part at step (\\d+)"), QRegularExpression::MultilineOption)
                                                .match(output);
    EXPECT_TRUE(parting.hasMatch()) << output.toStdString();
    diverged.partingStep = parting.captured(1).toULongLong();
    QFile csv(folder.filePath("d.csv"));
    EXPECT_TRUE(csv.open(QIODevice::ReadOnly));
    csv.readLine(); // the header
    while (!csv.atEnd()) {
        const QList<QByteArray> row = csv.readLine().trimmed().split(',');
        // One row a step, in order.
        if (row.value(0).toULongLong() == diverged.separation.size() + 1)
            diverged.separation.push_back(row.value(1).toDouble());
    }
    return diverged;
}

TEST(FilmCaptions, SayFromTheFrameWhereTheOrbitsPartTheStepDivergeGives)
{
    // A frame every step: the caption's step there is the parting step itself.
    const Diverged diverged = diverge({"hopalong", "--set", "aa=0.72400001", "--steps", "2500"});
    ASSERT_EQ(diverged.separation.size(), 2500u);
    const std::vector<FilmCaption> captions = captionsOf("hopalong", {0.724, -0.565, -0.117},
        {0.72400001, -0.565, -0.117}, FrameSteps::every(2500, 1));
    ASSERT_EQ(captions.size(), 2500u);
    std::uint64_t firstShown = 0;
    for (const FilmCaption& caption : captions) {
        SCOPED_TRACE("step " + std::to_string(caption.step));
        ASSERT_EQ(caption.steps, 2500u);
        EXPECT_FALSE(caption.time) << "a map has no time";
        // To the bit: 17 digits in the CSV file make the same double again.
        EXPECT_EQ(caption.separation, diverged.separation[caption.step - 1]);
        if (caption.partingStep != 0 && firstShown == 0)
            firstShown = caption.step;
        if (firstShown != 0) {
            EXPECT_EQ(caption.partingStep, diverged.partingStep);
        }
    }
    EXPECT_EQ(firstShown, diverged.partingStep);
    EXPECT_GT(firstShown, 1000u);
}

TEST(FilmCaptions, ShowTheLorenzPartingFromTheFirstFrameThatReachesItWithTheTime)
{
    const Diverged diverged = diverge({"lorenz", "--set", "aa=10.001", "--steps", "40000"});
    // 40000 steps over 600 frames: frame k shows ceil(200 k / 3) steps.
    const std::vector<FilmCaption> captions = captionsOf(
        "lorenz", {10, 28, 2.667}, {10.001, 28, 2.667}, FrameSteps::spread(40000, 600));
    ASSERT_EQ(captions.size(), 600u);
    std::size_t first = 0;
    while (first < captions.size() && captions[first].partingStep == 0)
        ++first;
    ASSERT_LT(first, captions.size());
    EXPECT_EQ(captions[first].partingStep, diverged.partingStep);
    ASSERT_GT(first, 0u);
    EXPECT_LT(captions[first - 1].step, diverged.partingStep);
    EXPECT_GE(captions[first].step, diverged.partingStep);
    EXPECT_EQ(captions[first].step, (200 * (first + 1) + 2) / 3);
    // Step 1 is the start, at time 0; the flow steps 0.0004 time units.
    EXPECT_EQ(captions[0].step, 67u);
    EXPECT_DOUBLE_EQ(*captions[0].time, 66 * 0.0004);
    EXPECT_DOUBLE_EQ(*captions.back().time, 39999 * 0.0004);
    EXPECT_EQ(captions.back().separation, diverged.separation.back());
}

TEST(FilmCaptions, EveryFrameIsTakenWhenFramesOutnumberTheSteps)
{
    // 25 frames over 10 steps: frame k shows ceil(10 k / 25) = ceil(2 k / 5) steps.
    const std::vector<FilmCaption> captions = captionsOf(
        "hopalong", {0.724, -0.565, -0.117}, {0.724, -0.565, -0.117}, FrameSteps::spread(10, 25));
    ASSERT_EQ(captions.size(), 25u);
    for (std::uint64_t k = 1; k <= 25; ++k)
        EXPECT_EQ(captions[k - 1].step, (2 * k + 4) / 5) << "frame " << k;
}

} // namespace
} // namespace quorvane::cli

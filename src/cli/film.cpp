#include "cli/film.h"

#include "cli/command.h"
#include "cli/film_run.h"
#include "cli/picture_options.h"
#include "output/film_frame.h"
#include "output/picture.h"
#include "output/video_module.h"
#include "run/palette.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace quorvane::cli {

namespace {

using output::FilmCaption;
using output::FilmFrame;
using output::VideoQuality;

constexpr std::uint64_t kDefaultSteps = 1'000'000;
constexpr double kDefaultSeconds = 20;
constexpr int kDefaultFramesPerSecond = 30;
// A film lasts at most a day.
constexpr double kLongestSeconds = 24 * 3600;

const QString kOutput = QStringLiteral("output");
const QString kSeconds = QStringLiteral("seconds");
const QString kFps = QStringLiteral("fps");
const QString kStepsPerFrame = QStringLiteral("steps-per-frame");
const QString kLossless = QStringLiteral("lossless");
const QString kNoCaption = QStringLiteral("no-caption");

// What the command line asks of the film.
struct Film : PictureOptions {
    QString fileName;
    VideoQuality quality = VideoQuality::Crisp;
    FilmFrame::Strip strip = FilmFrame::Strip::Caption;
    int framesPerSecond = kDefaultFramesPerSecond;
    FrameSteps frames;

    QSize frameSize() const { return FilmFrame::frameSize(pixels(), scale, strip); }
};

std::optional<QString> readOutput(const QCommandLineParser& parser, Film& film)
{
    if (!parser.isSet(kOutput))
        return QStringLiteral("No output file; give -o FILE.");
    film.fileName = parser.value(kOutput);
    if (std::optional<QString> reason = readOutputName(kOutput, film.fileName, OutputKind::Data))
        return reason;
    if (output::videoContainerFor(film.fileName) == nullptr)
        return QStringLiteral("-o %1: a film is written as %2; end the name in one of them.")
            .arg(film.fileName, output::videoExtensionList());
    if (std::optional<QString> refusal = output::videoTargetRefusal(film.fileName))
        return QStringLiteral("-o %1: %2.").arg(film.fileName, *refusal);
    return std::nullopt;
}

// The frames: --seconds at --fps spread over the steps, or one every --steps-per-frame.
std::optional<QString> readFrames(const QCommandLineParser& parser, std::uint64_t steps, Film& film)
{
    if (parser.isSet(kFps)) {
        const auto fps = parseWhole(parser.value(kFps), 1, output::kMaxFramesPerSecond);
        if (!fps)
            return QStringLiteral("--fps %1: the frame rate must be a whole number of frames a "
                                  "second from 1 to %2.")
                .arg(parser.value(kFps))
                .arg(output::kMaxFramesPerSecond);
        film.framesPerSecond = static_cast<int>(*fps);
    }
    const double fps = film.framesPerSecond;
    if (parser.isSet(kStepsPerFrame)) {
        if (parser.isSet(kSeconds))
            return QStringLiteral("--seconds and --steps-per-frame both set how many frames there "
                                  "are; give one of them.");
        const auto each = parseWhole(parser.value(kStepsPerFrame), 1, steps);
        if (!each)
            return QStringLiteral("--steps-per-frame %1: write a whole number of steps from 1 to "
                                  "the run's %2.")
                .arg(parser.value(kStepsPerFrame))
                .arg(steps);
        film.frames = FrameSteps::every(steps, *each);
        if (static_cast<double>(film.frames.count()) > kLongestSeconds * fps)
            return QStringLiteral("--steps %1 --steps-per-frame %2 make %3 frames, more than a "
                                  "day of film at %4 frame%5 a second.")
                .arg(steps)
                .arg(*each)
                .arg(film.frames.count())
                .arg(film.framesPerSecond)
                .arg(film.framesPerSecond == 1 ? "" : "s");
        return std::nullopt;
    }

    double seconds = kDefaultSeconds;
    if (parser.isSet(kSeconds)) {
        const std::optional<double> given = parseNumber(parser.value(kSeconds));
        if (!given || !(*given > 0) || *given > kLongestSeconds)
            return QStringLiteral("--seconds %1: the film's length must be a number of seconds "
                                  "above 0 and at most %2, a day.")
                .arg(parser.value(kSeconds))
                .arg(kLongestSeconds);
        seconds = *given;
    }
    const auto frames = static_cast<std::uint64_t>(std::llround(seconds * fps));
    const QString length = QStringLiteral("%1 s at %2 frame%3 a second")
                               .arg(QString::number(seconds, 'g', 10))
                               .arg(film.framesPerSecond)
                               .arg(film.framesPerSecond == 1 ? "" : "s");
    if (frames == 0) {
        // Half a frame, rounded up in its tenth digit: rounded to nearest, the length offered
        // could itself be a hair short of half a frame (0.04545454545 s at 11 a second).
        const double half = 0.5 / fps;
        const double unit = std::pow(10.0, std::floor(std::log10(half)) - 9);
        return QStringLiteral("--seconds %1: %2 make no frame; give at least %3 s.")
            .arg(parser.value(kSeconds), length,
                QString::number(std::ceil(half / unit) * unit, 'g', 10));
    }
    // Every frame shows steps of its own: a film with more frames than steps would show the
    // same picture twice.
    if (frames > steps)
        return QStringLiteral("--steps %1 is fewer than the %2 frames of %3; give --steps %2 or "
                              "more, or a shorter film.")
            .arg(steps)
            .arg(frames)
            .arg(length);
    film.frames = FrameSteps::spread(steps, frames);
    return std::nullopt;
}

// The options beyond the run's own, or the usage error they make.
std::optional<QString> readFilm(const QCommandLineParser& parser, std::uint64_t steps, Film& film)
{
    if (std::optional<QString> reason = readOutput(parser, film))
        return reason;
    if (std::optional<QString> reason = readPictureOptions(parser, film))
        return reason;
    if (parser.isSet(kLossless))
        film.quality = VideoQuality::Lossless;
    if (parser.isSet(kNoCaption))
        film.strip = FilmFrame::Strip::None;
    if (std::optional<QString> reason = readFrames(parser, steps, film))
        return reason;
    // The encoder's limits are known before the run, so a film it would refuse is refused
    // here rather than after the work.
    if (std::optional<QString> refusal = output::videoSizeRefusal(film.frameSize(), film.quality))
        return QStringLiteral("--size %1x%2 --scale %3: %4.")
            .arg(film.logical.width())
            .arg(film.logical.height())
            .arg(film.scale)
            .arg(*refusal);
    return std::nullopt;
}

// Each frame composed and handed to the writer; notes the first that shows the parting.
class Encoder final : public FrameSink {
public:
    Encoder(FilmFrame& frame, output::VideoWriter& writer)
        : m_frame(frame)
        , m_writer(writer)
    {
    }

    std::optional<QString> take(
        std::uint64_t frame, const QImage& picture, const FilmCaption& caption) override
    {
        if (caption.partingStep != 0 && m_partingFrame == 0)
            m_partingFrame = frame;
        return m_writer.addFrame(m_frame.compose(picture, caption));
    }

    std::uint64_t partingFrame() const { return m_partingFrame; }

private:
    FilmFrame& m_frame;
    output::VideoWriter& m_writer;
    std::uint64_t m_partingFrame = 0;
};

int shoot(const HeadlessCommand& command, const Film& film)
{
    const auto started = std::chrono::steady_clock::now();
    if (const std::optional<int> status = command.checkOutputs({film.fileName}))
        return *status;
    const RunSetup& setup = command.setup();
    const QSize pixels = film.pixels();
    const QSize frameSize = film.frameSize();
    const auto noMemory = [&](QSize size) {
        return command.failure(QStringLiteral("not enough memory for a %1x%2 image")
                                   .arg(size.width())
                                   .arg(size.height()));
    };

    // The writer first: a program without its video module fails before any work.
    output::VideoWriterOrFailure loaded = output::newVideoWriter();
    if (!loaded.writer)
        return command.failure(loaded.failure);
    output::VideoWriter& writer = *loaded.writer;

    output::Picture picture;
    const QRgb background = 0xFF000000u | kPalette[static_cast<std::size_t>(film.background)];
    if (!picture.allocate(film.logical, film.scale, background))
        return noMemory(pixels);
    FilmFrame frame;
    if (!frame.allocate(pixels, film.scale, film.strip, lastCaption(setup)))
        return noMemory(frameSize);
    const output::VideoSettings settings {frameSize, film.framesPerSecond, film.quality};
    std::optional<QString> failure = writer.open(film.fileName, settings);
    Encoder encoder(frame, writer);
    if (!failure) {
        Progress progress(setup.steps, command.progressDisplay());
        const Measure measure
            = film.strip == FilmFrame::Strip::Caption ? Measure::Separation : Measure::Nothing;
        failure = runFilm(setup, picture, film.logical, film.frames, measure, encoder, &progress);
    }
    if (!failure)
        failure = writer.finish();
    if (failure)
        return command.failure(QStringLiteral("cannot write %1: %2").arg(film.fileName, *failure));

    if (!command.isQuiet()) {
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const double fps = film.framesPerSecond;
        const auto frames = static_cast<double>(writer.frameCount());
        const QSize filmSize = output::videoFrameSize(frameSize, film.quality);
        std::printf("wrote %s: %llu frame%s of %dx%d at %d fps (%.2f s), %llu step%s, %.2f s\n",
            film.fileName.toLocal8Bit().constData(),
            static_cast<unsigned long long>(writer.frameCount()),
            writer.frameCount() == 1 ? "" : "s", filmSize.width(), filmSize.height(),
            film.framesPerSecond, frames / fps, static_cast<unsigned long long>(setup.steps),
            setup.steps == 1 ? "" : "s", seconds);
        if (const std::uint64_t parting = encoder.partingFrame(); parting != 0)
            std::printf("the caption shows the orbits parting from frame %llu, %.2f s into the "
                        "film\n",
                static_cast<unsigned long long>(parting), static_cast<double>(parting - 1) / fps);
    }
    return kSuccess;
}

} // namespace

int film(const QStringList& arguments)
{
    HeadlessCommand command(QStringLiteral("film"), QStringLiteral("NAME [options] -o FILE"),
        QStringLiteral(
            "Writes a run of an attractor as a film, without a window: frame after frame the\n"
            "picture render draws after that many steps of the run the menu command starts,\n"
            "with every prompt accepted as offered unless --set says otherwise. F frames over\n"
            "N steps: frame k shows the first ceil(k*N/F) steps, and the last frame the whole\n"
            "run. Orbit 1 is light green, orbit 2 light red.\n"
            "\n"
            "Below the picture, which it leaves untouched, a caption strip gives the step, the\n"
            "model time for the flows, the two orbits' state separation, and from the step\n"
            "where the orbits part (as diverge measures it, on the film's drawing area) that\n"
            "step in orbit 2's colour.\n"
            "\n"
            "The film is H.264 in MP4, MOV or Matroska, as FILE's extension says: 4:2:0\n"
            "(yuv420p), which browsers, presentation software and phones play, or with\n"
            "--lossless the pictures bit for bit."));
    command.addRunOptions(kDefaultSteps);
    command.parser().addOptions({
        {{QStringLiteral("o"), kOutput},
            QStringLiteral("The film to write, .mp4, .mov or .mkv. An existing file is replaced "
                           "only once the new one is complete."),
            QStringLiteral("FILE")},
        {kSeconds,
            QStringLiteral("The film's length, above 0 and up to 86400 (default 20): S*R frames "
                           "spread evenly over the steps; at least one step a frame."),
            QStringLiteral("S")},
        {kFps, QStringLiteral("Frames a second, 1 to 1000 (default 30)."), QStringLiteral("R")},
        {kStepsPerFrame,
            QStringLiteral("A frame every K steps instead of --seconds, the last one after the "
                           "last step."),
            QStringLiteral("K")},
        {kLossless,
            QStringLiteral("Lossless H.264 in RGB: the decoded frames are the pictures bit for "
                           "bit. Players built on FFmpeg (VLC, mpv) play it; browsers do not.")},
        {kNoCaption, QStringLiteral("No caption strip: the frames are the pictures alone.")},
    });
    addPictureOptions(command.parser());
    if (const std::optional<int> status = command.parse(arguments))
        return *status;
    Film film;
    if (const std::optional<QString> reason
        = readFilm(command.parser(), command.setup().steps, film))
        return command.usageError(*reason);
    return shoot(command, film);
}

} // namespace quorvane::cli

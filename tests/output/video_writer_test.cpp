#include "output/dot_pictures.h"
#include "output/libav_video_writer.h"
#include "output/video_reading.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <vector>

namespace quorvane::output {
namespace {

using tests::DotPictures;
using tests::readVideo;
using tests::ReadVideo;

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Where two pictures first differ in colour, or nothing when every pixel has the same colour.
std::optional<QPoint> firstDifference(const QImage& a, const QImage& b)
{
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff))
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

double brightness(QRgb c) { return 0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c); }

class Film : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    QStringList folderEntries() const
    {
        return QDir(m_folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // Writes `frames` frames of a run-like picture; returns copies of the pictures handed in.
    std::vector<QImage> write(
        const QString& fileName, QSize size, int frames, int framesPerSecond, VideoQuality quality)
    {
        std::vector<QImage> pictures;
        LibavVideoWriter writer;
        DotPictures dots(size, 40);
        std::optional<QString> failure
            = writer.open(fileName, VideoSettings {size, framesPerSecond, quality});
        for (int frame = 0; frame < frames && !failure; ++frame) {
            pictures.push_back(dots.next().copy());
            failure = writer.addFrame(pictures.back());
        }
        if (!failure)
            failure = writer.finish();
        EXPECT_FALSE(failure) << qPrintable(failure.value_or(QString()));
        return pictures;
    }

    void writeOldFile(const QString& fileName)
    {
        QFile old(fileName);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(kOldContent);
    }

    QByteArray contentOf(const QString& fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    static constexpr char kOldContent[] = "the film made yesterday";
    QTemporaryDir m_folder;
};

TEST_F(Film, LosslessFramesAreThePicturesBitForBitAtAnOddSize)
{
    for (const char* extension : {".mkv", ".mp4", ".mov"}) {
        SCOPED_TRACE(extension);
        const QString fileName = path(QStringLiteral("lossless") + QLatin1String(extension));
        const std::vector<QImage> pictures
            = write(fileName, QSize(161, 121), 12, 10, VideoQuality::Lossless);
        const ReadVideo video = readVideo(fileName, {0, 6, 11});
        ASSERT_EQ(video.error, "");
        EXPECT_EQ(video.width, 161);
        EXPECT_EQ(video.height, 121);
        EXPECT_EQ(video.frameCount, 12);
        ASSERT_EQ(video.frames.size(), 3u);
        for (const auto& [frame, decoded] : video.frames) {
            const std::optional<QPoint> at = firstDifference(pictures[frame], decoded);
            EXPECT_FALSE(at) << "frame " << frame << " differs at " << at->x() << "," << at->y();
        }
    }
}

TEST_F(Film, ContainerTellsFrameCountRateAndDuration)
{
    for (const char* extension : {".mp4", ".mkv", ".mov"}) {
        for (const VideoQuality quality : {VideoQuality::Crisp, VideoQuality::Lossless}) {
            SCOPED_TRACE(std::string(extension)
                + (quality == VideoQuality::Lossless ? " lossless" : " crisp"));
            const QString fileName = path(QStringLiteral("timed") + QLatin1String(extension));
            write(fileName, QSize(64, 48), 45, 15, quality);
            const ReadVideo video = readVideo(fileName);
            ASSERT_EQ(video.error, "");
            EXPECT_EQ(video.frameCount, 45);
            EXPECT_NEAR(video.framesPerSecond, 15.0, 1e-3);
            EXPECT_NEAR(video.seconds, 3.0, 0.002); // Matroska counts milliseconds
        }
    }
}

// The top-level boxes of an MP4 file, in order.
std::vector<std::string> boxesOf(const QByteArray& file)
{
    std::vector<std::string> boxes;
    qsizetype at = 0;
    while (at + 8 <= file.size()) {
        const auto byte = [&](qsizetype i) { return static_cast<std::uint8_t>(file[at + i]); };
        // A small film's boxes all have 32-bit sizes.
        const qsizetype size = (byte(0) << 24) | (byte(1) << 16) | (byte(2) << 8) | byte(3);
        boxes.push_back(file.mid(at + 4, 4).toStdString());
        if (size < 8)
            break;
        at += size;
    }
    return boxes;
}

TEST_F(Film, DefaultMp4IsH264Yuv420pWithItsIndexInFrontAndCrispPoints)
{
    const QString fileName = path(QStringLiteral("crisp.mp4"));
    const std::vector<QImage> pictures
        = write(fileName, QSize(320, 240), 30, 30, VideoQuality::Crisp);
    const ReadVideo video = readVideo(fileName, {29});
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.codec, "h264");
    EXPECT_EQ(video.pixelFormat, "yuv420p");
    EXPECT_EQ(video.colourSpace, "bt709");

    // A browser can start playing before the whole file is there: the index comes first.
    const std::vector<std::string> boxes = boxesOf(contentOf(fileName));
    const auto index = std::find(boxes.begin(), boxes.end(), "moov");
    const auto frames = std::find(boxes.begin(), boxes.end(), "mdat");
    ASSERT_NE(index, boxes.end());
    ASSERT_NE(frames, boxes.end());
    EXPECT_LT(index, frames);

    // The points keep their brightness, as 4:2:0 keeps it at every pixel; their colour it keeps
    // only at half the resolution, so that is not compared.
    double squares = 0;
    int points = 0;
    const QImage& picture = pictures[29];
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((picture.pixel(x, y) & 0xffffff) == 0)
                continue;
            const double error
                = brightness(picture.pixel(x, y)) - brightness(video.frames.at(29).pixel(x, y));
            squares += error * error;
            ++points;
        }
    }
    ASSERT_GT(points, 1000);
    EXPECT_GT(10 * std::log10(255.0 * 255.0 * points / squares), 30.0) << "dB on the points";
}

TEST_F(Film, CrispFilmOfOddSizeGainsACopyOfItsLastColumnAndRow)
{
    // Black, with a white last column and a white last row.
    QImage picture(33, 25, QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int y = 0; y < 25; ++y)
        picture.setPixel(32, y, qRgb(255, 255, 255));
    for (int x = 0; x < 33; ++x)
        picture.setPixel(x, 24, qRgb(255, 255, 255));
    const QString fileName = path(QStringLiteral("odd.mp4"));
    LibavVideoWriter writer;
    ASSERT_FALSE(writer.open(fileName, VideoSettings {QSize(33, 25), 30, VideoQuality::Crisp}));
    ASSERT_FALSE(writer.addFrame(picture));
    ASSERT_FALSE(writer.finish());

    const ReadVideo video = readVideo(fileName, {0});
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.width, 34);
    EXPECT_EQ(video.height, 26);
    const QImage& decoded = video.frames.at(0);
    for (int y = 2; y < 22; y += 5) {
        EXPECT_GT(brightness(decoded.pixel(33, y)), 200) << "added column, row " << y;
        EXPECT_LT(brightness(decoded.pixel(30, y)), 40) << "inner column, row " << y;
    }
    for (int x = 2; x < 30; x += 5)
        EXPECT_GT(brightness(decoded.pixel(x, 25)), 200) << "added row, column " << x;
}

TEST_F(Film, FailedWriteLeavesNoFileUnderItsNameAndTheOldOneIntact)
{
    // A folder that does not exist.
    LibavVideoWriter writer;
    const std::optional<QString> missing = writer.open(path(QStringLiteral("missing/film.mp4")),
        VideoSettings {QSize(64, 48), 30, VideoQuality::Crisp});
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->contains(systemReason(ENOENT))) << qPrintable(*missing);
    EXPECT_TRUE(folderEntries().isEmpty());

    // A size limit, met partway through the film.
    const QString fileName = path(QStringLiteral("film.mp4"));
    writeOldFile(fileName);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        // Noise: the costliest picture there is, so the limit is met within a few frames.
        QImage noise(320, 240, QImage::Format_RGB32);
        std::mt19937 random(1);
        LibavVideoWriter limited;
        std::optional<QString> failure
            = limited.open(fileName, VideoSettings {noise.size(), 30, VideoQuality::Lossless});
        for (int frame = 0; frame < 30 && !failure; ++frame) {
            for (int y = 0; y < noise.height(); ++y) {
                for (int x = 0; x < noise.width(); ++x)
                    noise.setPixel(x, y, static_cast<QRgb>(random()) | 0xff000000);
            }
            failure = limited.addFrame(noise);
        }
        if (!failure)
            failure = limited.finish();
        _exit(failure && *failure == systemReason(EFBIG) ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the writer did not report the size limit as the system words it";
    EXPECT_EQ(contentOf(fileName), QByteArray(kOldContent));
    EXPECT_EQ(folderEntries(), QStringList {QStringLiteral("film.mp4")});

    // A film left unfinished, and one cancelled.
    for (const bool cancel : {false, true}) {
        std::optional<LibavVideoWriter> unfinished(std::in_place);
        ASSERT_FALSE(
            unfinished->open(fileName, VideoSettings {QSize(64, 48), 30, VideoQuality::Crisp}));
        DotPictures dots(QSize(64, 48), 10);
        for (int frame = 0; frame < 3; ++frame)
            ASSERT_FALSE(unfinished->addFrame(dots.next()));
        if (cancel)
            unfinished->cancel();
        else
            unfinished.reset();
        EXPECT_EQ(contentOf(fileName), QByteArray(kOldContent));
        EXPECT_EQ(folderEntries(), QStringList {QStringLiteral("film.mp4")});
    }
}

TEST_F(Film, NameThatIsNoRegularFileIsRefused)
{
    const QString pipe = path(QStringLiteral("pipe.mp4"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = path(QStringLiteral("folder.mp4"));
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const QString& fileName : {pipe, folder}) {
        SCOPED_TRACE(qPrintable(fileName));
        EXPECT_TRUE(videoTargetRefusal(fileName));
        EXPECT_TRUE(videoTargetRefusal(QStringLiteral("/dev/null")));
        LibavVideoWriter writer;
        EXPECT_TRUE(writer.open(fileName, VideoSettings {QSize(64, 48), 30, VideoQuality::Crisp}));
    }
    struct stat status { };
    ASSERT_EQ(stat(QFile::encodeName(pipe).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(
        folderEntries(), (QStringList {QStringLiteral("folder.mp4"), QStringLiteral("pipe.mp4")}));
    EXPECT_FALSE(videoTargetRefusal(path(QStringLiteral("new.mp4"))));
}

TEST_F(Film, BadInputIsRefusedAndWritesNothing)
{
    const QString fileName = path(QStringLiteral("film.mkv"));
    const VideoSettings good {QSize(64, 48), 30, VideoQuality::Crisp};
    for (const VideoSettings& bad : {VideoSettings {QSize(0, 48), 30, VideoQuality::Crisp},
             VideoSettings {QSize(64, 48), 0, VideoQuality::Crisp},
             VideoSettings {QSize(64, 48), kMaxFramesPerSecond + 1, VideoQuality::Crisp}}) {
        LibavVideoWriter writer;
        EXPECT_TRUE(writer.open(fileName, bad));
    }
    {
        // A picture of another size: the film is abandoned, and stays so.
        LibavVideoWriter writer;
        ASSERT_FALSE(writer.open(fileName, good));
        ASSERT_FALSE(writer.addFrame(DotPictures(QSize(64, 48), 10).next()));
        const std::optional<QString> failure
            = writer.addFrame(DotPictures(QSize(48, 64), 10).next());
        ASSERT_TRUE(failure);
        EXPECT_EQ(writer.finish(), failure);
    }
    {
        // No frames at all.
        LibavVideoWriter writer;
        ASSERT_FALSE(writer.open(fileName, good));
        EXPECT_TRUE(writer.finish());
    }
    {
        // Another format than RGB32 is converted, not refused.
        LibavVideoWriter writer;
        ASSERT_FALSE(writer.open(path(QStringLiteral("argb.mkv")), good));
        QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::black);
        EXPECT_FALSE(writer.addFrame(picture));
        writer.cancel();
    }
    EXPECT_TRUE(folderEntries().isEmpty());
}

TEST(VideoContainers, ExtensionChoosesTheContainerInAnyCase)
{
    const auto muxerOf = [](const char* name) {
        const VideoContainer* container = videoContainerFor(QLatin1String(name));
        return std::string(container ? container->muxer : "none");
    };
    EXPECT_EQ(muxerOf("run.mp4"), "mp4");
    EXPECT_EQ(muxerOf("Run.MP4"), "mp4");
    EXPECT_EQ(muxerOf("films/run.mkv"), "matroska");
    EXPECT_EQ(muxerOf("run.Mov"), "mov");
    EXPECT_EQ(muxerOf("run.avi"), "none");
    EXPECT_EQ(muxerOf("run.webm"), "none");
    EXPECT_EQ(muxerOf("run"), "none");
    EXPECT_EQ(muxerOf("run.mp4.part"), "none");
    EXPECT_EQ(muxerOf("run.mp4/"), "none");
    EXPECT_EQ(videoExtensionList(), QStringLiteral(".mp4, .mov, .mkv"));

    QTemporaryDir folder;
    LibavVideoWriter writer;
    const std::optional<QString> failure = writer.open(folder.filePath(QStringLiteral("run.avi")),
        VideoSettings {QSize(64, 48), 30, VideoQuality::Crisp});
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(QStringLiteral(".mp4, .mov, .mkv"))) << qPrintable(*failure);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

} // namespace
} // namespace quorvane::output

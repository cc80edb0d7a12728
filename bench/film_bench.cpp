// The film writer on pictures like a run's: a black 1600x1200 picture to which every frame adds
// light green and light red single points.
//
//   quorvane_film_bench speed    a 20-second film at 30 frames a second against its playing
//                                time, and peak memory against a 2-second film's
//   quorvane_film_bench crisp    how close the decoded frames come to the pictures
//   quorvane_film_bench command PATH/TO/quorvane
//                                quorvane film as a user runs it: a 20-second film of a
//                                1600x1200 Lorenz run with its caption against its playing time,
//                                and its peak memory against a 2-second film's

#include "table_row.h"

#include "output/dot_pictures.h"
#include "output/libav_video_writer.h"
#include "output/video_reading.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace quorvane::bench {
namespace {

using output::LibavVideoWriter;
using output::VideoQuality;
using output::VideoSettings;
using output::tests::DotPictures;

constexpr QSize kSize(1600, 1200); // render's default picture
constexpr int kFramesPerSecond = 30;
constexpr int kPointsPerFrame = 2000; // of each orbit

std::string filmName(const char* extension)
{
    return format("/tmp/quorvane-film-bench-%d%s", getpid(), extension);
}

// Writes a film of `frames` frames; returns false when it could not be written.
bool writeFilm(const std::string& fileName, int frames, VideoQuality quality, long* litPixels)
{
    LibavVideoWriter writer;
    DotPictures pictures(kSize, kPointsPerFrame);
    std::optional<QString> failure = writer.open(
        QString::fromStdString(fileName), VideoSettings {kSize, kFramesPerSecond, quality});
    for (int frame = 0; frame < frames && !failure; ++frame)
        failure = writer.addFrame(pictures.next());
    if (!failure)
        failure = writer.finish();
    if (failure)
        std::fprintf(stderr, "%s: %s\n", fileName.c_str(), qPrintable(*failure));
    if (litPixels)
        *litPixels = pictures.litPixels();
    return !failure;
}

struct ChildRun {
    bool ok = false;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double peakMiB = 0;
    long fileBytes = 0;
};

// Waits for the child that writes `fileName`, and measures what it took; the file is removed.
ChildRun waitForFilm(
    pid_t child, const std::string& fileName, std::chrono::steady_clock::time_point start)
{
    int status = 0;
    rusage usage {};
    ChildRun run;
    run.ok = child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
    run.wallSeconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](timeval t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    if (FILE* file = std::fopen(fileName.c_str(), "rb")) {
        std::fseek(file, 0, SEEK_END);
        run.fileBytes = std::ftell(file);
        std::fclose(file);
    }
    std::remove(fileName.c_str());
    return run;
}

// Writes the film in a child process, so that its peak memory is the film's alone.
ChildRun writeInChild(int frames, VideoQuality quality, const char* extension)
{
    const std::string fileName = filmName(extension);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0)
        _exit(writeFilm(fileName, frames, quality, nullptr) ? 0 : 1);
    return waitForFilm(child, fileName, start);
}

// Runs `quorvane film` for a film of `seconds` seconds of the Lorenz run whose orbits part.
ChildRun filmCommand(const char* program, int seconds)
{
    const std::string fileName = filmName(".mp4");
    const std::string length = std::to_string(seconds);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(program, program, "film", "lorenz", "--set", "aa=10.001", "--steps", "1000000",
            "--seconds", length.c_str(), "--quiet", "-o", fileName.c_str(),
            static_cast<char*>(nullptr));
        _exit(127);
    }
    const ChildRun run = waitForFilm(child, fileName, start);
    if (!run.ok)
        std::fprintf(stderr, "%s film failed\n", program);
    return run;
}

// The brightness a display gives an RGB colour (the HD weights), 0 to 255.
double luma(QRgb c) { return 0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c); }

// Peak signal-to-noise ratio of `decoded` against `picture` in dB, over every pixel or only
// over the picture's points, in RGB or in brightness.
struct Psnr {
    double rgb = 0, rgbPoints = 0, lumaPoints = 0;
};

Psnr psnr(const QImage& picture, const QImage& decoded)
{
    double rgb = 0, rgbPoints = 0, lumaPoints = 0;
    long points = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb a = picture.pixel(x, y), b = decoded.pixel(x, y);
            const double e = std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2)
                + std::pow(qBlue(a) - qBlue(b), 2);
            rgb += e;
            if ((a & 0xffffff) != 0) {
                rgbPoints += e;
                lumaPoints += std::pow(luma(a) - luma(b), 2);
                ++points;
            }
        }
    }
    const auto db = [](double sum, double count) {
        return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / (sum / count));
    };
    const double pixels = static_cast<double>(picture.width()) * picture.height();
    return {db(rgb, 3 * pixels), db(rgbPoints, 3.0 * static_cast<double>(points)),
        db(lumaPoints, static_cast<double>(points))};
}

// The picture through 4:2:0 and back, without encoding: the best a 4:2:0 film can do.
QImage through420(const QImage& picture)
{
    const int w = picture.width(), h = picture.height();
    SwsContext* in = sws_getContext(w, h, AV_PIX_FMT_RGB32, w, h, AV_PIX_FMT_YUV420P,
        SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    SwsContext* out = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_RGB32,
        SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    sws_setColorspaceDetails(in, sws_getCoefficients(SWS_CS_DEFAULT), 1,
        sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
    sws_setColorspaceDetails(out, sws_getCoefficients(SWS_CS_ITU709), 0,
        sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    AVFrame* yuv = av_frame_alloc();
    yuv->format = AV_PIX_FMT_YUV420P;
    yuv->width = w;
    yuv->height = h;
    av_frame_get_buffer(yuv, 0);
    const std::uint8_t* const source[] = {picture.constBits()};
    const int sourceStride = static_cast<int>(picture.bytesPerLine());
    sws_scale(in, source, &sourceStride, 0, h, yuv->data, yuv->linesize);
    QImage back(w, h, QImage::Format_RGB32);
    std::uint8_t* const target[] = {back.bits()};
    const int targetStride = static_cast<int>(back.bytesPerLine());
    sws_scale(out, yuv->data, yuv->linesize, 0, h, target, &targetStride);
    av_frame_free(&yuv);
    sws_freeContext(in);
    sws_freeContext(out);
    return back;
}

int crisp()
{
    constexpr int kFrames = 5 * kFramesPerSecond;
    const std::set<int> kept {0, kFrames / 2, kFrames - 1};
    const std::string fileName = filmName(".mp4");
    std::map<int, QImage> pictures;
    {
        LibavVideoWriter writer;
        DotPictures dots(kSize, kPointsPerFrame);
        std::optional<QString> failure = writer.open(QString::fromStdString(fileName),
            VideoSettings {kSize, kFramesPerSecond, VideoQuality::Crisp});
        for (int frame = 0; frame < kFrames && !failure; ++frame) {
            const QImage& picture = dots.next();
            failure = writer.addFrame(picture);
            if (kept.count(frame) != 0)
                pictures[frame] = picture.copy();
        }
        if (!failure)
            failure = writer.finish();
        if (failure) {
            std::fprintf(stderr, "%s: %s\n", fileName.c_str(), qPrintable(*failure));
            return 1;
        }
    }
    const output::tests::ReadVideo video
        = output::tests::readVideo(QString::fromStdString(fileName), kept);
    std::remove(fileName.c_str());
    if (!video.error.empty() || video.frames.size() != kept.size()) {
        std::fprintf(stderr, "cannot read the film back: %s\n", video.error.c_str());
        return 1;
    }
    for (const auto& [frame, picture] : pictures) {
        const Psnr film = psnr(picture, video.frames.at(frame));
        const Psnr best = psnr(picture, through420(picture));
        printRow(format("Film PSNR, H.264 MP4, %dx%d, frame %d of %d", kSize.width(),
                     kSize.height(), frame + 1, kFrames),
            format("points' brightness %.1f dB (4:2:0 alone %.1f); every pixel in RGB %.1f dB "
                   "(4:2:0 alone %.1f), the points in RGB %.1f dB (%.1f)",
                film.lumaPoints, best.lumaPoints, film.rgb, best.rgb, film.rgbPoints,
                best.rgbPoints),
            "-", "-");
    }
    return 0;
}

int speed()
{
    bool ok = true;
    const double pictureMiB = kSize.width() * kSize.height() * 4 / 1048576.0;
    struct Kind {
        VideoQuality quality;
        const char* extension;
        const char* name;
    };
    for (const Kind& kind : {Kind {VideoQuality::Crisp, ".mp4", "H.264 MP4"},
             Kind {VideoQuality::Lossless, ".mp4", "lossless H.264 MP4"}}) {
        const ChildRun shortFilm = writeInChild(2 * kFramesPerSecond, kind.quality, kind.extension);
        const ChildRun film = writeInChild(20 * kFramesPerSecond, kind.quality, kind.extension);
        ok = ok && shortFilm.ok && film.ok;
        const bool crisp = kind.quality == VideoQuality::Crisp;
        printRow(format("Film, %s, 20 s at %d fps, %dx%d", kind.name, kFramesPerSecond,
                     kSize.width(), kSize.height()),
            format("%.1f s wall, %.1f s CPU (%.0f frames/s), %.1f MB", film.wallSeconds,
                film.cpuSeconds, 20 * kFramesPerSecond / film.wallSeconds,
                static_cast<double>(film.fileBytes) / 1e6),
            crisp ? "< 20 s" : "-", crisp ? verdict(film.ok && film.wallSeconds < 20) : "-");
        printRow(format("Film peak memory, %s, 2 s / 20 s", kind.name),
            format(
                "%.1f / %.1f MiB (picture %.1f MiB)", shortFilm.peakMiB, film.peakMiB, pictureMiB),
            crisp ? "equal within 10 MiB" : "-",
            crisp ? verdict(std::abs(film.peakMiB - shortFilm.peakMiB) < 10) : "-");
    }
    return ok ? 0 : 1;
}

int command(const char* program)
{
    const ChildRun shortFilm = filmCommand(program, 2);
    const ChildRun film = filmCommand(program, 20);
    if (!shortFilm.ok || !film.ok)
        return 1;
    printRow(format("quorvane film lorenz, 10^6 steps, 20 s at %d fps, %dx%d with caption",
                 kFramesPerSecond, kSize.width(), kSize.height()),
        format("%.1f s wall, %.1f s CPU (%.0f frames/s), %.1f MB", film.wallSeconds,
            film.cpuSeconds, 20 * kFramesPerSecond / film.wallSeconds,
            static_cast<double>(film.fileBytes) / 1e6),
        "< 20 s", verdict(film.wallSeconds < 20));
    printRow("quorvane film peak memory, 2 s / 20 s film",
        format("%.1f / %.1f MiB (picture and frame %.1f MiB each)", shortFilm.peakMiB, film.peakMiB,
            kSize.width() * kSize.height() * 4 / 1048576.0),
        "equal within 10 MiB", verdict(std::abs(film.peakMiB - shortFilm.peakMiB) < 10));
    return 0;
}

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "command" && argc > 2)
        return command(argv[2]);
    if (mode == "speed")
        return speed();
    if (mode == "crisp")
        return crisp();
    std::fprintf(stderr, "usage: %s speed|crisp|command PATH/TO/quorvane\n", argv[0]);
    return 2;
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char** argv) { return quorvane::bench::main(argc, argv); }

// quorvane render against the floor: the headless run of each attractor, drawing into the
// window's RasterSurface, next to the bare arithmetic of the same steps; and the peak memory of
// the built program rendering a large picture.
//
//   quorvane_render_bench steps            steps per second against the floor
//   quorvane_render_bench memory PROGRAM   peak memory of PROGRAM render, against its image

#include "floor_timing.h"
#include "headless_runs.h"
#include "table_row.h"

#include "headless/attractor_choice.h"
#include "headless/headless_run.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace quorvane::bench {
namespace {

constexpr long kSteps = 10'000'000; // steps per timed run: long enough for the orbits to spread
constexpr int kRounds = 3; // floor and render alternated, the fastest of each kept
constexpr int kWidth = 1600; // render's default drawing area, in logical pixels
constexpr int kHeight = 1200;

int steps()
{
    bool ok = true;
    forEachCase([&](const auto& c) {
        double floor = 1e300, render = 1e300;
        for (int round = 0; round < kRounds; ++round) {
            floor = std::min(floor, floorSeconds(c, kSteps, kWidth * 15.0f, kHeight * 15.0f));
            const double r = renderSeconds({&choiceOf(c.drawingRoutine), parameters(c.letters),
                parameters(c.letters), static_cast<std::uint64_t>(kSteps)});
            ok = ok && r > 0;
            render = std::min(render, r);
        }
        const double ns = render / kSteps * 1e9;
        const double floorNs = floor / kSteps * 1e9;
        const double ratio = render / floor;
        const bool hopalong = c.drawingRoutine == Hop1;
        const double rate = kSteps / render;
        const bool met = ratio <= 1.25 && (!hopalong || rate > 50e6);
        printRow(format("Render step, %s, %dx%d", c.name, kWidth, kHeight),
            format("%.1f ns/step, %.1f M steps/s (floor %.1f ns), ratio %.2f", ns, rate / 1e6,
                floorNs, ratio),
            hopalong ? "ratio <= 1.25, > 50 M steps/s" : "ratio <= 1.25", verdict(met));
    });
    return ok ? 0 : 1;
}

// Runs PROGRAM render hopalong with these size options in a child process, as a user runs it;
// returns its peak resident memory in MiB from the kernel, or a negative number when it
// failed. The wall time it took goes to *seconds.
double peakMiB(
    const char* program, const char* size, const char* scale, long steps, double* seconds)
{
    const std::string output = format("/tmp/quorvane-render-bench-%d.png", getpid());
    const std::string stepText = std::to_string(steps);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(program, program, "render", "hopalong", "--size", size, "--scale", scale, "--steps",
            stepText.c_str(), "--quiet", "-o", output.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    const bool ran = child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
    *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::remove(output.c_str());
    if (!ran)
        std::fprintf(stderr, "%s render failed\n", program);
    return ran ? static_cast<double>(usage.ru_maxrss) / 1024 : -1; // ru_maxrss is in KiB
}

int memory(const char* program)
{
    constexpr int kScale = 4;
    constexpr long kMemorySteps = 10'000'000;
    double seconds = 0, unused = 0;
    const double peak = peakMiB(program, "1600x1200", "4", kMemorySteps, &seconds);
    const double bare = peakMiB(program, "1x1", "1", 1, &unused);
    if (peak < 0 || bare < 0)
        return 1;
    const double imageMiB = kWidth * kScale * kHeight * kScale * 4.0 / (1024 * 1024);
    const double beyond = peak - imageMiB;
    const double beyondMB = beyond * 1.048576;
    printRow(format("Peak memory, render hopalong --scale %d (%dx%d), %ld steps", kScale,
                 kWidth * kScale, kHeight * kScale, kMemorySteps),
        format("%.1f MiB = image %.1f MiB + %.1f MiB (%.1f MB); a 1x1 render: %.1f MiB", peak,
            imageMiB, beyond, beyondMB, bare),
        "image + < 20 MB", verdict(beyondMB < 20));
    printRow(
        format("Render command, hopalong --scale %d, %ld steps, PNG written", kScale, kMemorySteps),
        format("%.2f s wall in all", seconds), "-", "-");
    return 0;
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "steps") == 0)
        return quorvane::bench::steps();
    if (argc == 3 && std::strcmp(argv[1], "memory") == 0)
        return quorvane::bench::memory(argv[2]);
    std::fprintf(stderr, "usage: %s steps | memory PROGRAM\n", argv[0]);
    return 2;
}

#pragma once

#include "platform/null_platform.h"
#include "run/form.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace quorvane::bench {

// A platform that does nothing but count steps: its pump stops the run after the requested
// number of steps, by the same StopFlag a RESET sets. What it does with a plot is left to the
// two kinds below.
class SteppedPlatform : public NullPlatform {
public:
    SteppedPlatform() { setWindow(9795, 9225, 9915, 9990); }

    Form* form = nullptr;
    long stepsLeft = 0;

    void processEvents() override
    {
        if (--stepsLeft == 0)
            form->vars.StopFlag = 1;
    }
};

// The program's cost per step with nothing behind the platform: each plotted coordinate is
// sunk the way the floor loops sink theirs.
class SinkPlatform final : public SteppedPlatform {
public:
    void plot(Surface, float x, float y, Rgb) override
    {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    }
};

// Records every plotted pair, to hold a floor loop against the program's run.
class RecordingPlatform final : public SteppedPlatform {
public:
    struct Pair {
        float x;
        float y;
        bool operator==(const Pair&) const = default;
    };
    std::vector<Pair> plots;

    void plot(Surface, float x, float y, Rgb) override { plots.push_back({x, y}); }
};

} // namespace quorvane::bench

#pragma once

#include "run/form.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace quorvane::bench {

// A platform that does nothing but count steps: its pump stops the run after the requested
// number of steps, by the same StopFlag a RESET sets. What it does with a plot is left to the
// two kinds below.
class StubPlatform : public Platform {
public:
    StubPlatform() { setMetrics({9795, 9225, 9915, 9990}); }

    Form* form = nullptr;
    long stepsLeft = 0;

    void clear(Surface) override { }
    void setBackColor(Surface, Rgb) override { }
    void refresh(Surface) override { }
    void setPictureHeight(float) override { }
    void setPictureWidth(float) override { }
    void setPictureScaleHeight(float) override { }
    void setPictureScaleWidth(float) override { }
    void setCaption(std::string_view) override { }
    std::string inputBox(std::string_view, std::string_view, std::string_view d) override
    {
        return std::string(d);
    }
    std::optional<double> toNumber(std::string_view) const override { return std::nullopt; }
    std::string numberText(double) const override { return {}; }
    void messageBox(const Message&) override { }
    std::optional<std::string> saveFileName(const SaveDialogRequest&) override { return {}; }
    std::optional<std::string> writePicture(std::string_view) override { return {}; }
    void processEvents() override
    {
        if (--stepsLeft == 0)
            form->vars.StopFlag = 1;
    }
    void endProgram() override { }
};

// The program's cost per step with nothing behind the platform: each plotted coordinate is
// sunk the way the floor loops sink theirs.
class NullPlatform final : public StubPlatform {
public:
    void plot(Surface, float x, float y, Rgb) override
    {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    }
};

// Records every plotted pair, to hold a floor loop against the program's run.
class RecordingPlatform final : public StubPlatform {
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

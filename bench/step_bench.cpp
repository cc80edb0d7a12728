#include "attractors/lorenz.h"
#include "run/run_loop.h"

#include <benchmark/benchmark.h>

namespace quorvane {
namespace {

// A platform that does nothing, so the figure is the program's own cost per step. Its pump
// stops the run after the requested number of steps.
class NullPlatform final : public Platform {
public:
    NullPlatform() { setMetrics({9795, 9225, 9915, 9990}); }

    Form* form = nullptr;
    long stepsLeft = 0;

    void plot(Surface, float x, float y, Rgb) override { benchmark::DoNotOptimize(x + y); }
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

template <Attractor A> void coreStep(benchmark::State& state, ParameterSet params)
{
    NullPlatform platform;
    Form form(platform);
    platform.form = &form;
    form.vars.set1 = form.vars.set2 = params;
    form.vars.DelayCount = 0;
    constexpr long kSteps = 100000;
    for (auto _ : state) {
        platform.stepsLeft = kSteps;
        runOrbits<A>(form);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}

void BM_LorenzCore(benchmark::State& state) { coreStep<Lorenz>(state, {10, 28, 2.667, 0, 0}); }
BENCHMARK(BM_LorenzCore)->Unit(benchmark::kMillisecond);

void BM_Delay(benchmark::State& state)
{
    WindowVars vars;
    vars.DelayCount = static_cast<float>(state.range(0));
    for (auto _ : state)
        Delay(vars);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Delay)->Arg(5000)->Arg(50000);

} // namespace
} // namespace quorvane

BENCHMARK_MAIN();

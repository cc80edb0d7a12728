#include "headless/headless_run.h"

#include "headless/progress.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quorvane::headless {

namespace {

constexpr float kTwipsPerPixel = 15;
// Steps between two looks at the clock for the progress line.
constexpr std::uint64_t kProgressSteps = 1u << 16;

// Qt fills an image with wide vector instructions and leaves the upper halves of the vector
// registers in use. Until something clears them, every scalar floating-point instruction pays
// for keeping them: a run's steps took three times as long after erasing its drawing area. The
// window's pump clears them as a side effect of its system calls; a headless pump makes none,
// so the run clears them once before it starts.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void clearUpperVectorHalves() { _mm256_zeroupper(); }

void prepareVectorUnit()
{
    if (__builtin_cpu_supports("avx"))
        clearUpperVectorHalves();
}
#else
void prepareVectorUnit() { }
#endif

} // namespace

// frm1 as a headless run needs it: no window events, and a way to end the run where it stands.
class HeadlessRun::RunForm final : public Form {
public:
    using Form::Form;

    // Ends the run at its next check, without the end-of-run clearing: the loop takes this for
    // an unloaded window and returns at once.
    void stopHere() { unload(); }
};

// The window as a headless run has it: a drawing area, or none, and an event pump that counts.
class HeadlessRun::Pump final : public NullPlatform {
public:
    explicit Pump(HeadlessRun& run)
        : m_run(run)
    {
    }

    // One picture, not a window: as large as the caller asks and QImage holds.
    qt::RasterSurface area {qt::RasterSurface::kMaxImageSide};
    bool drawsArea = false;
    StepObserver observer;
    Progress* progress = nullptr;
    std::uint64_t step = 0;

    void plot(Surface surface, float x, float y, Rgb colour) override
    {
        if (surface == Surface::Window && drawsArea)
            area.plot(x, y, 0xFF000000u | colour);
    }
    void clear(Surface surface) override
    {
        if (surface == Surface::Window)
            area.clear();
    }

    void processEvents() override
    {
        ++step;
        if (observer && !observer(step, m_run.m_form->vars)) [[unlikely]]
            return m_run.stop();
        if (step == m_nextLook) [[unlikely]]
            look();
    }

    // The steps at which the pump next has something to do besides counting.
    void planLooks()
    {
        m_nextLook = progress != nullptr && progress->isShown()
            ? std::min(m_run.m_setup.steps, step + kProgressSteps)
            : m_run.m_setup.steps;
    }

private:
    void look()
    {
        if (step >= m_run.m_setup.steps)
            return m_run.stop();
        progress->update(step);
        planLooks();
    }

    HeadlessRun& m_run;
    std::uint64_t m_nextLook = 0;
};

HeadlessRun::HeadlessRun(const RunSetup& setup)
    : m_setup(setup)
    , m_platform(std::make_unique<Pump>(*this))
    , m_form(std::make_unique<RunForm>(*m_platform))
{
}

HeadlessRun::~HeadlessRun() = default;

bool HeadlessRun::setDrawingArea(QSize logical, int devicePixelRatio, QRgb background)
{
    qt::RasterSurface& area = m_platform->area;
    // The background first: resizing keeps the old image's pixels, which must be background.
    area.setBackColor(background);
    const QSize pixels = logical * devicePixelRatio;
    if (logical.isEmpty() || !area.setDevicePixelRatio(devicePixelRatio) || !area.resize(pixels))
        return false;
    const float scaleWidth = static_cast<float>(logical.width()) * kTwipsPerPixel;
    const float scaleHeight = static_cast<float>(logical.height()) * kTwipsPerPixel;
    area.setScaleWidth(scaleWidth);
    area.setScaleHeight(scaleHeight);
    m_platform->setWindow(scaleWidth, scaleHeight, scaleWidth, scaleHeight);
    m_platform->drawsArea = true;
    return true;
}

void HeadlessRun::setObserver(StepObserver observer) { m_platform->observer = std::move(observer); }

void HeadlessRun::setProgress(Progress* progress) { m_platform->progress = progress; }

const qt::RasterSurface& HeadlessRun::drawingArea() const { return m_platform->area; }

std::uint64_t HeadlessRun::run()
{
    if (m_form->isUnloaded() || m_setup.steps == 0)
        return 0;
    WindowVars& vars = m_form->vars;
    vars.set1 = m_setup.set1;
    vars.set2 = m_setup.set2;
    vars.DelayCount = 0;
    m_platform->planLooks();
    prepareVectorUnit();
    m_setup.attractor->drawingRoutine(*m_form);
    return m_platform->step;
}

void HeadlessRun::stop() { m_form->stopHere(); }

} // namespace quorvane::headless

#include "headless/headless_run.h"

#include "headless/headless_platform.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quorvane::headless {

namespace {

constexpr float kTwipsPerPixel = 15;

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

HeadlessRun::HeadlessRun(const RunSetup& setup)
    : m_setup(setup)
    , m_platform(std::make_unique<HeadlessPlatform>())
    , m_form(std::make_unique<HeadlessForm>(*m_platform))
{
    m_platform->m_form = m_form.get();
    m_platform->m_steps = setup.steps;
}

HeadlessRun::~HeadlessRun() = default;

bool HeadlessRun::setDrawingArea(QSize logical, int devicePixelRatio, QRgb background)
{
    // Once the run has begun its pixels are written through a pointer into the image, which a
    // new size would free.
    if (m_started)
        return false;
    qt::RasterSurface& area = m_platform->m_area;
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
    m_platform->m_drawsArea = true;
    return true;
}

void HeadlessRun::setObserver(StepObserver observer)
{
    m_platform->m_observer = std::move(observer);
}

void HeadlessRun::setProgress(Progress* progress) { m_platform->m_progress = progress; }

const qt::RasterSurface& HeadlessRun::drawingArea() const { return m_platform->m_area; }

std::uint64_t HeadlessRun::run()
{
    if (m_started || m_setup.steps == 0)
        return 0;
    m_started = true;
    WindowVars& vars = m_form->vars;
    vars.set1 = m_setup.set1;
    vars.set2 = m_setup.set2;
    vars.DelayCount = 0;
    m_platform->planLooks();
    if (m_platform->m_drawsArea)
        m_platform->m_writer.emplace(m_platform->m_area);
    prepareVectorUnit();
    m_setup.attractor->headlessRoutine(*m_form);
    m_platform->m_writer.reset();
    return m_platform->m_step;
}

} // namespace quorvane::headless

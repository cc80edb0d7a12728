#include "headless/headless_run.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quorvane::headless {

template class HeadlessRun<NoCanvas>;

// Qt fills an image with wide vector instructions and leaves the upper halves of the vector
// registers in use. Until something clears them, every scalar floating-point instruction pays
// for keeping them: a run's steps took three times as long after erasing its drawing area. The
// window's pump clears them as a side effect of its system calls; a headless pump makes none,
// so the run clears them once before it starts.
#if defined(__x86_64__) || defined(__i386__)
namespace {

__attribute__((target("avx"))) void clearUpperVectorHalves() { _mm256_zeroupper(); }

} // namespace

void prepareVectorUnit()
{
    if (__builtin_cpu_supports("avx"))
        clearUpperVectorHalves();
}
#else
void prepareVectorUnit() { }
#endif

} // namespace quorvane::headless

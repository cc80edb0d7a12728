// The one function quorvane-video.so exports; everything else in it is hidden.

#include "output/libav_video_writer.h"
#include "output/video_module.h"

#include <new>

namespace {

quorvane::output::VideoWriter* newLibavWriter()
{
    return new (std::nothrow) quorvane::output::LibavVideoWriter;
}

} // namespace

extern "C" __attribute__((visibility("default"))) const quorvane::output::VideoModuleEntry*
quorvane_video_module()
{
    static constexpr quorvane::output::VideoModuleEntry entry {
        quorvane::output::kVideoModuleInterface, newLibavWriter};
    return &entry;
}

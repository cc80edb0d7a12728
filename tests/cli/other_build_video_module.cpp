// A video module of another build of the program: its entry names an interface version this
// program does not know, and offers no writer.

#include "output/video_module.h"

extern "C" __attribute__((visibility("default"))) const quorvane::output::VideoModuleEntry*
quorvane_video_module()
{
    static constexpr quorvane::output::VideoModuleEntry entry {
        quorvane::output::kVideoModuleInterface + 1, nullptr};
    return &entry;
}

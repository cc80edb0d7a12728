#pragma once

#include <cstdint>

namespace quorvane::headless {

// Told from time to time how far long work has got, counted in steps: the command line draws
// it as a progress bar. A run or a sweep takes one from above rather than drawing anything
// itself.
class ProgressListener {
public:
    virtual ~ProgressListener() = default;
    // Whether update() may show anything at all. Work that no one watches spares itself the
    // counting and the calls.
    virtual bool isShown() const = 0;
    // `done` steps of the work are done.
    virtual void update(std::uint64_t done) = 0;
};

} // namespace quorvane::headless

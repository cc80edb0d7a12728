#pragma once

#include "headless/progress_listener.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace quorvane::cli {

// The one-line progress bar of a headless command on standard error: percent done, steps per
// second and time left. It is drawn only when standard error is a terminal, only once the work
// has taken a second, and then about five times a second; finish() erases it again, so the
// command's own last line starts on a clean line.
class Progress final : public headless::ProgressListener {
public:
    enum class Display : std::uint8_t { OnTerminal, Never };

    Progress(std::uint64_t total, Display display);
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress() override { finish(); }

    // Whether update() may draw at all. A caller that wants to spare the clock reading calls
    // update() only every so many steps when this is true, and never when it is false.
    bool isShown() const override { return m_enabled; }
    // Notes that `done` of the total steps are done, and redraws the line when it is time.
    void update(std::uint64_t done) override;
    // Erases the line, if it was drawn.
    void finish();

private:
    using Clock = std::chrono::steady_clock;

    void draw(std::uint64_t done, double seconds);

    std::uint64_t m_total;
    bool m_enabled;
    bool m_drawn = false;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_nextDraw = m_start + std::chrono::seconds(1);
    std::FILE* m_out = stderr;
};

} // namespace quorvane::cli

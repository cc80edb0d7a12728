#include "cli/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace quorvane::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
constexpr int kBarWidth = 30;

// "950 k", "51.2 M": a rate in three significant figures.
std::string shortNumber(double value)
{
    const char* unit = "";
    if (value >= 1e9) {
        value /= 1e9;
        unit = " G";
    } else if (value >= 1e6) {
        value /= 1e6;
        unit = " M";
    } else if (value >= 1e3) {
        value /= 1e3;
        unit = " k";
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 100 ? "%.1f%s" : "%.0f%s", value, unit);
    return text;
}

// "42 s", "3:07", "2:03:07".
std::string duration(double seconds)
{
    const long s = std::lround(std::min(seconds, 1e8));
    char text[32];
    if (s < 60)
        std::snprintf(text, sizeof text, "%ld s", s);
    else if (s < 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

} // namespace

Progress::Progress(std::uint64_t total, Display display)
    : m_total(total)
    , m_enabled(display == Display::OnTerminal && total > 0 && ::isatty(STDERR_FILENO) == 1)
{
}

void Progress::update(std::uint64_t done)
{
    if (!m_enabled)
        return;
    const Clock::time_point now = Clock::now();
    if (now < m_nextDraw)
        return;
    m_nextDraw = now + kRedrawInterval;
    draw(done, std::chrono::duration<double>(now - m_start).count());
}

void Progress::draw(std::uint64_t done, double seconds)
{
    const double fraction = std::min(1.0, static_cast<double>(done) / static_cast<double>(m_total));
    const int filled = static_cast<int>(fraction * kBarWidth);
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const std::string left = rate > 0
        ? duration(static_cast<double>(m_total - std::min(done, m_total)) / rate) + " left"
        : std::string("--");
    // At most 80 columns: the bar is 32, the figures under 40.
    std::fprintf(m_out, "\r[%s%s] %3d%%  %s steps/s  %s\033[K",
        std::string(static_cast<std::size_t>(filled), '#').c_str(),
        std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(),
        static_cast<int>(fraction * 100), shortNumber(rate).c_str(), left.c_str());
    std::fflush(m_out);
    m_drawn = true;
}

void Progress::finish()
{
    if (!m_drawn)
        return;
    std::fputs("\r\033[K", m_out);
    std::fflush(m_out);
    m_drawn = false;
}

} // namespace quorvane::cli

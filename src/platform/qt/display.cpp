#include "platform/qt/display.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>

namespace quorvane::qt {

namespace {

std::string_view env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

// ":N" or ":N.S" names a local X server, which listens on /tmp/.X11-unix/XN.
bool localXServerMissing(std::string_view display)
{
    if (display.empty() || display.front() != ':')
        return false; // a remote or forwarded display; let Qt try it
    std::string_view number = display.substr(1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    const std::string socket = "/tmp/.X11-unix/X" + std::string(number);
    struct stat info { };
    return ::stat(socket.c_str(), &info) != 0;
}

} // namespace

std::string missingDisplayReason()
{
    if (!env("QT_QPA_PLATFORM").empty() || !env("WAYLAND_DISPLAY").empty())
        return {};
    const std::string_view display = env("DISPLAY");
    if (display.empty())
        return "no display: DISPLAY is not set; start quorvane from a desktop session, or "
               "under Xvfb with DISPLAY pointing at it";
    if (localXServerMissing(display))
        return "no display: nothing answers at DISPLAY=" + std::string(display)
            + "; start an X server there (for example Xvfb " + std::string(display) + ")";
    return {};
}

} // namespace quorvane::qt

#pragma once

#include <chrono>
#include <string>

struct xcb_connection_t;

namespace quorvane::qt {

// How long the X server named by DISPLAY has to answer before the program gives up on it. A
// server that answers at all does so in milliseconds, also over a forwarded connection.
inline constexpr std::chrono::milliseconds kDisplayAnswerTime {5000};

// Whether a display can be reached, asked before Qt is started, which would otherwise abort or
// hang. An X display can be reached when its server answers: it completes the X11 connection
// setup within `answerTime` and accepts the connection, as Qt's own connection will need. A
// server that has not answered by then is given up on, so the program never hangs at start-up.
// A Wayland display, or a platform chosen with QT_QPA_PLATFORM, is left to Qt.
//
// The connection that asked stays open as long as this object: an X server whose last client
// leaves resets itself and drops the connections that arrive meanwhile, so it is closed only
// once Qt has a connection of its own.
class DisplayCheck {
public:
    explicit DisplayCheck(std::chrono::milliseconds answerTime = kDisplayAnswerTime);
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // Empty when a display can be reached, and a one-line explanation when none can.
    const std::string& missingReason() const { return m_missingReason; }

private:
    std::string m_missingReason;
    xcb_connection_t* m_connection = nullptr;
};

} // namespace quorvane::qt

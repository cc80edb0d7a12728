#include "platform/qt/display.h"

#include <xcb/xcb.h>

#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace quorvane::qt {

namespace {

std::string_view env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

// What the thread that asks the X server and the start-up that waits for it share.
struct Asking {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<xcb_connection_t*> connection; // set once xcb_connect returns
    bool abandoned = false; // the wait ran out; the thread closes the connection itself
};

// Asks the X server at `display` for a connection as Qt will, screen number included. Returns the
// connection, which may hold an error, or nothing when no answer came within `answerTime`.
// xcb_connect waits for the server's reply without a limit, so it runs on a thread of its own;
// when the reply is late the thread is left behind, and it closes the connection and ends if
// the reply or the end of the connection ever comes.
std::optional<xcb_connection_t*> askXServer(
    const std::string& display, std::chrono::milliseconds answerTime)
{
    auto asking = std::make_shared<Asking>();
    try {
        std::thread([display, asking] {
            int screen = 0;
            xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
            const std::lock_guard lock(asking->mutex);
            if (asking->abandoned) {
                xcb_disconnect(connection);
                return;
            }
            asking->connection = connection;
            asking->answered.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        // Without a thread the wait cannot be bounded, no more than Qt's own connection's.
        int screen = 0;
        return xcb_connect(display.c_str(), &screen);
    }
    std::unique_lock lock(asking->mutex);
    if (!asking->answered.wait_for(
            lock, answerTime, [&] { return asking->connection.has_value(); }))
        asking->abandoned = true;
    return asking->connection;
}

// Whether anything listens where a local X server for display `number` would: the abstract
// socket X clients on Linux try first, or the file in /tmp/.X11-unix.
bool localServerListens(int number)
{
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    for (const std::size_t nameStart : {std::size_t {1}, std::size_t {0}}) {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path + nameStart, sizeof address.sun_path - 2);
        // An abstract name is the bytes after the leading zero; a file name ends at its zero.
        const auto length
            = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (socket < 0)
            return false;
        const bool connected
            = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), length) == 0;
        ::close(socket);
        if (connected)
            return true;
    }
    return false;
}

std::string duration(std::chrono::milliseconds time)
{
    if (time.count() % 1000 == 0)
        return std::to_string(time.count() / 1000) + " s";
    return std::to_string(time.count()) + " ms";
}

} // namespace

DisplayCheck::DisplayCheck(std::chrono::milliseconds answerTime)
{
    if (!env("QT_QPA_PLATFORM").empty() || !env("WAYLAND_DISPLAY").empty())
        return;
    const std::string display(env("DISPLAY"));
    if (display.empty()) {
        m_missingReason = "no display: DISPLAY is not set; start quorvane from a desktop session, "
                          "or under Xvfb with DISPLAY pointing at it";
        return;
    }

    char* host = nullptr;
    int number = 0;
    int screen = 0;
    if (xcb_parse_display(display.c_str(), &host, &number, &screen) == 0) {
        m_missingReason
            = "no display: DISPLAY=" + display + " names no X display; it reads :N or HOST:N";
        return;
    }
    const bool local = host[0] == '\0' || std::strcmp(host, "unix") == 0;
    std::free(host);

    const std::optional<xcb_connection_t*> connection = askXServer(display, answerTime);
    if (!connection) {
        m_missingReason = "no display: the X server at DISPLAY=" + display
            + " does not answer (no reply in " + duration(answerTime) + ")";
        return;
    }
    const int error = xcb_connection_has_error(*connection);
    if (error == 0) {
        m_connection = *connection;
        return;
    }
    xcb_disconnect(*connection);
    if (error == XCB_CONN_CLOSED_INVALID_SCREEN)
        m_missingReason = "no display: the X server at DISPLAY=" + display + " has no screen "
            + std::to_string(screen);
    else if (!local)
        m_missingReason = "no display: DISPLAY=" + display
            + " cannot be reached, or its X server did not accept the connection";
    else if (localServerListens(number))
        m_missingReason = "no display: the X server at DISPLAY=" + display
            + " did not accept the connection; quorvane may lack its authorization (see xauth(1))";
    else
        m_missingReason = "no display: nothing answers at DISPLAY=" + display
            + "; start an X server there (for example Xvfb :" + std::to_string(number) + ")";
}

DisplayCheck::~DisplayCheck()
{
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

} // namespace quorvane::qt

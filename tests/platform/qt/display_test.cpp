#include "platform/qt/display.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quorvane::qt {
namespace {

using namespace std::chrono_literals;

// An X server on the abstract socket "\0/tmp/.X11-unix/X<number>" only, as in a sandbox whose
// /tmp is not the server's. It speaks the X11 connection setup and nothing more: it reads the
// client's setup request and accepts it with one screen, refuses it, or never replies.
class FakeXServer {
public:
    enum class Reply { Accept, Refuse, None, NotListening };

    explicit FakeXServer(Reply reply)
        : m_reply(reply)
    {
        for (int number = 700 + static_cast<int>(::getpid() % 500); m_socket < 0; ++number) {
            const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
            struct stat info { };
            if (::stat(path.c_str(), &info) == 0)
                continue;
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            path.copy(address.sun_path + 1, sizeof address.sun_path - 2);
            const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const auto length
                = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
            if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
                m_socket = socket;
                m_number = number;
            } else {
                ::close(socket);
            }
        }
        if (reply == Reply::NotListening)
            return; // bound, so connections are refused and no one else takes the number
        ::listen(m_socket, 4);
        if (reply != Reply::None)
            m_thread = std::thread([this] { serve(); });
    }

    ~FakeXServer()
    {
        ::shutdown(m_socket, SHUT_RDWR); // ends a waiting accept()
        if (m_thread.joinable())
            m_thread.join();
        for (const int client : m_clients)
            ::close(client);
        ::close(m_socket);
    }

    std::string display() const { return ":" + std::to_string(m_number); }

    // Whether the last client to be answered still holds its connection. A client's close is
    // seen on this end as soon as it returns.
    bool lastClientConnected() const
    {
        const std::lock_guard lock(m_mutex);
        if (m_clients.empty())
            return false;
        pollfd client {m_clients.back(), POLLRDHUP, 0};
        return ::poll(&client, 1, 0) == 0;
    }

private:
    void serve()
    {
        for (int client; (client = ::accept(m_socket, nullptr, nullptr)) >= 0;)
            talk(client);
    }

    // Answers the client's setup request, and keeps its connection open until the end.
    void talk(int client)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_clients.push_back(client);
        }
        // The setup request: byte order, pad, version (2 + 2), the lengths of the authorization
        // protocol's name and data (2 + 2), pad, then name and data, each padded to 4 bytes.
        std::uint8_t request[12];
        if (readAll(client, request, sizeof request)) {
            const bool little = request[0] == 'l';
            const auto card16 = [&](int at) {
                return little ? request[at] | request[at + 1] << 8
                              : request[at] << 8 | request[at + 1];
            };
            std::vector<std::uint8_t> auth(
                static_cast<std::size_t>((card16(6) + 3) / 4 * 4 + (card16(8) + 3) / 4 * 4));
            if (readAll(client, auth.data(), auth.size())) {
                const std::vector<std::uint8_t> answer = reply(little);
                [[maybe_unused]] const auto written = ::write(client, answer.data(), answer.size());
            }
        }
    }

    static bool readAll(int socket, std::uint8_t* into, std::size_t size)
    {
        for (std::size_t done = 0; done < size;) {
            const ssize_t got = ::read(socket, into + done, size - done);
            if (got <= 0)
                return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

    std::vector<std::uint8_t> reply(bool little) const
    {
        std::vector<std::uint8_t> bytes;
        const auto put = [&](std::uint32_t value, int size) {
            for (int i = 0; i < size; ++i) {
                const int shift = 8 * (little ? i : size - 1 - i);
                bytes.push_back(static_cast<std::uint8_t>(value >> shift));
            }
        };
        if (m_reply == Reply::Refuse) {
            const std::string reason = "No protocol specified";
            // status Failed, reason length, version 11.0, then the reason padded to 4 bytes
            put(0, 1), put(static_cast<std::uint32_t>(reason.size()), 1), put(11, 2), put(0, 2);
            put(static_cast<std::uint32_t>(reason.size() + 3) / 4, 2);
            bytes.insert(bytes.end(), reason.begin(), reason.end());
            bytes.resize(8 + (reason.size() + 3) / 4 * 4);
            return bytes;
        }
        // status Success, version 11.0, then 18 words: the fixed part, no vendor, no pixmap
        // formats, and one screen of 640 x 480 with no depths listed.
        put(1, 1), put(0, 1), put(11, 2), put(0, 2), put(18, 2);
        put(0, 4), put(0x00200000, 4), put(0x001fffff, 4), put(0, 4); // release, ids, buffer
        put(0, 2), put(0xffff, 2), put(1, 1), put(0, 1); // vendor, request length, screens, formats
        put(0, 1), put(0, 1), put(32, 1), put(32, 1), put(8, 1), put(255, 1), put(0, 4);
        put(0x25, 4), put(0x20, 4), put(0xffffff, 4), put(0, 4), put(0, 4); // root .. input masks
        put(640, 2), put(480, 2), put(169, 2), put(127, 2), put(1, 2), put(1, 2);
        put(0x21, 4), put(0, 1), put(0, 1), put(24, 1), put(0, 1); // visual .. depths
        return bytes;
    }

    Reply m_reply;
    int m_socket = -1;
    int m_number = 0;
    mutable std::mutex m_mutex;
    std::vector<int> m_clients;
    std::thread m_thread;
};

// Each case sets the environment the check reads, and puts it back afterwards.
class DisplayCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kNames)
            if (const char* value = std::getenv(name))
                m_saved.emplace_back(name, value);
        for (const char* name : kNames)
            ::unsetenv(name);
        ::setenv("XAUTHORITY", "/nonexistent", 1); // no cookie sent: the fake needs none
    }
    void TearDown() override
    {
        for (const char* name : kNames)
            ::unsetenv(name);
        for (const auto& [name, value] : m_saved)
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    static void setDisplay(const std::string& display) { ::setenv("DISPLAY", display.c_str(), 1); }

private:
    static constexpr const char* kNames[]
        = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"};
    std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_F(DisplayCheckTest, AServerOnlyOnTheAbstractSocketIsAccepted)
{
    const FakeXServer server(FakeXServer::Reply::Accept);
    setDisplay(server.display());
    {
        // The connection stays open until the check is dropped: an X server without clients
        // would reset itself and drop Qt's connection made meanwhile.
        const DisplayCheck check;
        EXPECT_EQ(check.missingReason(), "");
        EXPECT_TRUE(server.lastClientConnected());
    }
    EXPECT_FALSE(server.lastClientConnected());
    setDisplay(server.display() + ".0");
    EXPECT_EQ(DisplayCheck().missingReason(), "");
    setDisplay(server.display() + ".1");
    EXPECT_EQ(DisplayCheck().missingReason(),
        "no display: the X server at DISPLAY=" + server.display() + ".1 has no screen 1");
}

TEST_F(DisplayCheckTest, NothingListeningGetsTheMessage)
{
    const FakeXServer server(FakeXServer::Reply::NotListening);
    setDisplay(server.display() + ".0");
    EXPECT_EQ(DisplayCheck().missingReason(),
        "no display: nothing answers at DISPLAY=" + server.display()
            + ".0; start an X server there (for example Xvfb " + server.display() + ")");
    // Left to Qt without asking anyone.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_EQ(DisplayCheck().missingReason(), "");
}

TEST_F(DisplayCheckTest, AServerThatRefusesIsNamedAsSuch)
{
    const FakeXServer server(FakeXServer::Reply::Refuse);
    setDisplay(server.display());
    EXPECT_EQ(DisplayCheck().missingReason(),
        "no display: the X server at DISPLAY=" + server.display()
            + " did not accept the connection; quorvane may lack its authorization (see xauth(1))");
}

// A server that takes the connection and never replies would hold xcb_connect forever; the
// check gives up after the time it is given. A hang here ends in the test's time-out.
TEST_F(DisplayCheckTest, AServerThatNeverRepliesIsGivenUpOn)
{
    const FakeXServer server(FakeXServer::Reply::None);
    setDisplay(server.display());
    EXPECT_EQ(DisplayCheck(200ms).missingReason(),
        "no display: the X server at DISPLAY=" + server.display()
            + " does not answer (no reply in 200 ms)");
}

TEST_F(DisplayCheckTest, UnsetMalformedAndUnreachableRemoteDisplays)
{
    EXPECT_EQ(DisplayCheck().missingReason(),
        "no display: DISPLAY is not set; start quorvane from a desktop session, or under Xvfb "
        "with DISPLAY pointing at it");
    setDisplay("nonsense");
    EXPECT_EQ(DisplayCheck().missingReason(),
        "no display: DISPLAY=nonsense names no X display; it reads :N or HOST:N");

    // A TCP port bound on the loopback but not listening refuses connections at once.
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::optional<int> number;
    for (int n = 700; n < 1000 && !number; ++n) {
        address.sin_port = htons(static_cast<std::uint16_t>(6000 + n));
        if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            number = n;
    }
    ASSERT_TRUE(number);
    setDisplay("127.0.0.1:" + std::to_string(*number));
    EXPECT_EQ(DisplayCheck().missingReason(),
        "no display: DISPLAY=127.0.0.1:" + std::to_string(*number)
            + " cannot be reached, or its X server did not accept the connection");
    ::close(socket);
}

} // namespace
} // namespace quorvane::qt

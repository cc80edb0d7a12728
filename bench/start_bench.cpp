// What a start of the built program costs before it does any work, measured from outside, on the
// program as a user starts it:
//
//   quorvane_start_bench PROGRAM [runs=20]
//
// - the shared objects the dynamic loader maps for it (what `ldd PROGRAM | wc -l` counts);
// - `PROGRAM --version`, fork to exit, median of `runs`;
// - the least address space within which `PROGRAM --version` runs (RLIMIT_AS, by bisection);
// - the window: fork to its top-level window mapped on the X display of $DISPLAY, median of
//   `runs` / 4 starts, and then its address space, resident memory and the shared objects it has
//   mapped, its Qt plugins included.
//
// window_bench's start-up figure starts the window from the bench's own binary, which links only
// what the window needs; this one starts the program itself, with every library it links.

#include "table_row.h"

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string spread(const std::vector<double>& ms)
{
    return format("median %.1f ms of %zu (%.1f .. %.1f)", median(ms), ms.size(),
        *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

// Starts `program` with `argument` (none where null), its output to /dev/null, within
// `addressSpace` bytes where given, and with the loader's listing of its libraries instead of a
// run where `listLibraries`.
pid_t start(const char* program, const char* argument, std::optional<rlim_t> addressSpace = {},
    bool listLibraries = false, int output = -1)
{
    const pid_t child = fork();
    if (child != 0)
        return child;
    const int null = open("/dev/null", O_WRONLY);
    dup2(output >= 0 ? output : null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (addressSpace) {
        const rlimit limit {*addressSpace, *addressSpace};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(126);
    }
    if (listLibraries)
        setenv("LD_TRACE_LOADED_OBJECTS", "1", 1);
    execl(program, program, argument, static_cast<char*>(nullptr));
    _exit(127);
}

bool succeeded(pid_t child)
{
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The lines the loader lists for the program, as ldd prints them.
long loadedObjects(const char* program)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    const pid_t child = start(program, nullptr, {}, true, out[1]);
    close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    if (!succeeded(child))
        return -1;
    return std::count(text.begin(), text.end(), '\n');
}

std::vector<double> versionTimes(const char* program, long runs)
{
    std::vector<double> ms;
    for (long i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        if (!succeeded(start(program, "--version")))
            return {};
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return ms;
}

// The least address space, in MiB, within which `program --version` succeeds.
long leastAddressSpace(const char* program)
{
    long low = 0;
    long high = 4096;
    if (!succeeded(start(program, "--version", rlim_t(high) << 20)))
        return -1;
    while (high - low > 1) {
        const long middle = (low + high) / 2;
        (succeeded(start(program, "--version", rlim_t(middle) << 20)) ? high : low) = middle;
    }
    return high;
}

struct WindowStart {
    double ms = 0;
    long addressSpaceKiB = 0;
    long residentKiB = 0;
    std::size_t objects = 0;
};

long statusKiB(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

std::size_t mappedObjects(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> objects;
    for (std::string line; std::getline(maps, line);) {
        const std::size_t path = line.find('/');
        if (path != std::string::npos && line.find(".so", path) != std::string::npos)
            objects.insert(line.substr(path));
    }
    return objects.size();
}

// One start of the window: fork to the first top-level window mapped on the display, whose
// root window `connection` watches, then what the process holds at that moment. The program is
// ended with SIGTERM.
std::optional<WindowStart> windowStart(const char* program, xcb_connection_t* connection)
{
    // Whatever the last start left on the display comes before the reply to a round trip.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
        std::free(event);
    const auto t0 = Clock::now();
    const pid_t child = start(program, nullptr);
    std::optional<WindowStart> result;
    pollfd events {xcb_get_file_descriptor(connection), POLLIN, 0};
    while (!result && Clock::now() - t0 < std::chrono::seconds(20)) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !result) {
                result = WindowStart {
                    std::chrono::duration<double, std::milli>(Clock::now() - t0).count()};
            }
            std::free(event);
        }
        if (!result)
            poll(&events, 1, 100);
    }
    if (result) {
        result->addressSpaceKiB = statusKiB(child, "VmSize");
        result->residentKiB = statusKiB(child, "VmRSS");
        result->objects = mappedObjects(child);
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return result;
}

int run(const char* program, long runs)
{
    const long objects = loadedObjects(program);
    const std::vector<double> version = versionTimes(program, runs);
    const long leastMiB = leastAddressSpace(program);
    if (objects < 0 || version.empty() || leastMiB < 0) {
        std::fprintf(stderr, "%s --version does not run\n", program);
        return 1;
    }
    printRow("Shared objects the loader maps for quorvane (ldd | wc -l)", format("%ld", objects),
        "-", "-");
    printRow("quorvane --version, fork to exit", spread(version), "-", "-");
    printRow("Least address space for quorvane --version", format("%ld MiB", leastMiB), "-", "-");

    // One connection for every start: an X server that loses its last client starts afresh and
    // refuses connections for a moment.
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> connection(
        xcb_connect(nullptr, nullptr), xcb_disconnect);
    if (xcb_connection_has_error(connection.get())) {
        std::fprintf(stderr, "no X display to start the window on\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(connection.get(),
        xcb_change_window_attributes_checked(connection.get(), root, XCB_CW_EVENT_MASK, &mask));
    std::vector<double> ms;
    std::optional<WindowStart> last;
    for (long i = 0; i < std::max(runs / 4, 1L); ++i) {
        last = windowStart(program, connection.get());
        if (!last) {
            std::fprintf(stderr, "no window of %s came up on the display\n", program);
            return 1;
        }
        ms.push_back(last->ms);
    }
    printRow("quorvane's window, fork to mapped", spread(ms), "-", "-");
    printRow("quorvane's window when mapped: address space, resident, shared objects",
        format("%.0f MiB, %.1f MiB, %zu", static_cast<double>(last->addressSpaceKiB) / 1024,
            static_cast<double>(last->residentKiB) / 1024, last->objects),
        "-", "-");
    return 0;
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: quorvane_start_bench PROGRAM [runs=20]\n");
        return 2;
    }
    const long runs = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 20;
    return quorvane::bench::run(argv[1], std::max(runs, 1L));
}

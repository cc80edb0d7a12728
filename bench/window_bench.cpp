// The real window under measurement: QtPlatform and Frm1 as the program builds them, both
// images, the coalesced repaint and the event pump once per step. One figure per mode:
//
//   window_bench step [steps=1000000]        window step cost and repaints per second (Hopalong)
//   window_bench pace                        steps per second at DelayCount 5000 and 50000
//   window_bench pump                        what one pump costs, with and without a repaint
//   window_bench startup [runs=5]            process start to window shown and to first point
//   window_bench memory [steps=10000000]     peak resident memory after 1,000 and N steps
//   window_bench reaction [trials=15]        Escape posted to both surfaces cleared
//   window_bench save [writes=10]            writing the BMP of a 1920 x 1080 pic1
//
// Runs are started by calling the drawing routine with the command's defaults already in the
// parameters, as the command does after its prompts, so no dialog stands in the timed part.
// Only the start-up figure goes through the menu and the real input boxes, answered by a timer
// that accepts each one with its default. Steps are counted, and runs stopped, by a
// CountingPlatform in front of the QtPlatform; the program's code is not changed for it.

#include "counting_platform.h"
#include "memory.h"
#include "table_row.h"

#include "app/frm1.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "platform/qt/display.h"
#include "platform/qt/drawing_area.h"
#include "platform/qt/main_window.h"
#include "run/pacing.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quorvane::bench {
namespace {

using namespace std::chrono_literals;

// A drawing routine with its command's texts and defaults.
struct Command {
    const char* name;
    void (*routine)(Form&);
    const CommandTexts& texts;
    ParameterSet defaults;
};
const Command kHopalong {"Hopalong", Hop1, Hopalong::texts, {0.724, -0.565, -0.117}};
const Command kLorenz {"Lorenz", Lorenz2, Lorenz::texts, {10, 28, 2.667}};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

long argument(const std::map<std::string, std::string>& args, const std::string& key, long fallback)
{
    const auto it = args.find(key);
    return it == args.end() ? fallback : std::strtol(it->second.c_str(), nullptr, 10);
}

// The program as main() builds it, with the counter between the form and the QtPlatform.
struct Program {
    qt::QtPlatform qtPlatform;
    CountingPlatform platform {qtPlatform};
    Frm1 frm1 {platform};

    void open()
    {
        qtPlatform.open(frm1);
        platform.syncMetrics();
    }
    qt::DrawingArea& drawingArea() { return qtPlatform.window()->drawingArea(); }
    QWindow* windowHandle() { return qtPlatform.window()->windowHandle(); }

    // Lets the window be mapped and painted once, so a run starts on a settled window.
    void settle()
    {
        const Clock::time_point deadline = Clock::now() + 5s;
        while (!windowHandle()->isExposed() && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const Clock::time_point until = Clock::now() + 200ms;
        while (Clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        platform.syncMetrics();
    }

    // What an attractor command does once its prompts are answered with the defaults.
    void run(void (*routine)(Form&), const CommandTexts& texts, const ParameterSet& p)
    {
        frm1.vars.set1 = frm1.vars.set2 = p;
        frm1.clearSurfaces();
        platform.setCaption(texts.caption);
        routine(frm1);
    }

    // A run of `steps` steps at the given pace; the time from the first pump to the last and
    // the repaints in between.
    struct Timed {
        double seconds = 0;
        quint64 repaints = 0;
    };
    Timed timed(const Command& command, long steps, float delayCount)
    {
        frm1.vars.DelayCount = delayCount;
        Clock::time_point start;
        quint64 repaintsAtStart = 0;
        Timed timed;
        platform.restart(1, [&](long pump) {
            if (pump == 1) {
                start = Clock::now();
                repaintsAtStart = drawingArea().repaintCount();
                platform.setNextMark(steps + 1);
                return;
            }
            timed.seconds = seconds(Clock::now() - start);
            timed.repaints = drawingArea().repaintCount() - repaintsAtStart;
            frm1.mnuReset_Click(); // as Escape does
        });
        run(command.routine, command.texts, command.defaults);
        return timed;
    }
};

std::string platformLabel()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") ? "Xvfb (xcb)" : name.toStdString();
}

void windowStep(Program& program, const std::map<std::string, std::string>& args)
{
    const long steps = argument(args, "steps", 1'000'000);
    const Program::Timed t = program.timed(kHopalong, steps, 0);
    const double us = t.seconds * 1e6 / static_cast<double>(steps);
    const QSize area = program.drawingArea().size();
    const QSize pic = program.qtPlatform.picture().size();
    std::fprintf(stderr, "window step: %ld steps in %.3f s, drawing area %dx%d, pic1 %dx%d\n",
        steps, t.seconds, area.width(), area.height(), pic.width(), pic.height());
    const bool xvfb = QGuiApplication::platformName() == QLatin1String("xcb");
    printRow("Window step, Hopalong, " + platformLabel(),
        format("%.3f us/step (%.0f steps/s)", us, 1e6 / us), xvfb ? "<= 1.5 us/step" : "-",
        xvfb ? verdict(us <= 1.5) : "-");
    const double perSecond = static_cast<double>(t.repaints) / t.seconds;
    printRow("Repaints per second, " + platformLabel(),
        format("%.1f /s (%llu in %.2f s)", perSecond, static_cast<unsigned long long>(t.repaints),
            t.seconds),
        "<= ~60 /s", verdict(perSecond <= 62));
}

// Delay alone, `calls` times at the given count, in seconds.
double delaySeconds(long calls, float delayCount)
{
    WindowVars vars;
    vars.DelayCount = delayCount;
    const Clock::time_point start = Clock::now();
    for (long i = 0; i < calls; ++i)
        Delay(vars);
    return seconds(Clock::now() - start);
}

void pace(Program& program, const std::map<std::string, std::string>&)
{
    struct Pace {
        float delayCount;
        long steps;
        double targetShare;
    };
    // Hopalong scatters its points over the whole window, so every repaint copies all of it;
    // Lorenz moves along a curve and repaints little. Both bound what a user sees.
    for (const Command* command : {&kHopalong, &kLorenz}) {
        for (const Pace& p : {Pace {5000, 400'000, 0.10}, Pace {50000, 50'000, 0.01}}) {
            // Alternate the run and Delay alone, and keep the fastest of each: the machine is
            // shared, and interference only ever adds time.
            double step = 1e9;
            double delay = 1e9;
            for (int round = 0; round < 3; ++round) {
                step = std::min(step, program.timed(*command, p.steps, p.delayCount).seconds);
                delay = std::min(delay, delaySeconds(p.steps, p.delayCount));
            }
            const double n = static_cast<double>(p.steps);
            const double share = (step - delay) / step;
            printRow(format("Pace, DelayCount %.0f, %s, %s", static_cast<double>(p.delayCount),
                         command->name, platformLabel().c_str()),
                format("%.0f steps/s; step %.2f us = Delay %.2f + overhead %.2f us (%.1f %%)",
                    n / step, step * 1e6 / n, delay * 1e6 / n, (step - delay) * 1e6 / n,
                    share * 100),
                format("overhead <= %.0f %%", p.targetShare * 100),
                verdict(share <= p.targetShare));
        }
    }
}

// Where the time of a pump goes, during a Hopalong run at DelayCount 50000: most pumps find
// nothing to do; a few run the frame timer and repaint the window.
void pump(Program& program, const std::map<std::string, std::string>& args)
{
    const long steps = argument(args, "steps", 40'000);
    std::vector<double> log;
    log.reserve(static_cast<std::size_t>(steps) + 16);
    program.platform.setPumpLog(&log);
    const Program::Timed t = program.timed(kHopalong, steps, 50000);
    program.platform.setPumpLog(nullptr);
    // A pump that repaints takes far longer than one that only looks for events.
    std::vector<double> idle, busy;
    for (const double us : log)
        (us < 20 ? idle : busy).push_back(us);
    double busyTotal = 0;
    for (const double us : busy)
        busyTotal += us;
    const double perSecond = static_cast<double>(busy.size()) / t.seconds;
    printRow("Pump, nothing pending, " + platformLabel(),
        format("median %.2f us (%zu pumps)", median(idle), idle.size()), "-", "-");
    printRow("Pump over 20 us (frame timer, repaint), DelayCount 50000, " + platformLabel(),
        format("median %.2f ms, %.0f per s (%.0f repaints per s): %.1f %% of the run",
            median(busy) / 1e3, perSecond, static_cast<double>(t.repaints) / t.seconds,
            busyTotal / 1e6 / t.seconds * 100),
        "-", "-");
}

void memory(Program& program, const std::map<std::string, std::string>& args)
{
    const long steps = argument(args, "steps", 10'000'000);
    program.frm1.vars.DelayCount = 0;
    long early = 0;
    long late = 0;
    program.platform.restart(1000, [&](long pump) {
        if (pump == 1000) {
            early = memoryNow().hwm;
            program.platform.setNextMark(steps);
            return;
        }
        late = memoryNow().hwm;
        program.frm1.mnuReset_Click();
    });
    program.run(kHopalong.routine, kHopalong.texts, kHopalong.defaults);
    const double earlyMb = static_cast<double>(early) / 1024;
    const double lateMb = static_cast<double>(late) / 1024;
    printRow("Peak RSS after 1,000 / " + std::to_string(steps) + " steps, " + platformLabel(),
        format("%.1f MB / %.1f MB (+%.2f MB)", earlyMb, lateMb, lateMb - earlyMb),
        "equal within 1 MB, <= 60 MB", verdict(lateMb - earlyMb <= 1 && lateMb <= 60));
}

// The first moment in `times` after `t`.
std::optional<Clock::time_point> firstAfter(
    const std::vector<Clock::time_point>& times, Clock::time_point t)
{
    const auto it = std::find_if(times.begin(), times.end(), [t](auto u) { return u > t; });
    return it == times.end() ? std::nullopt : std::optional(*it);
}

void reaction(Program& program, const std::map<std::string, std::string>& args)
{
    const long trials = argument(args, "trials", 15);
    std::mt19937 random(12345);
    std::vector<double> handledSteps, clearedSteps, clearingUs;
    // Trials by the pump that took the key: 1 for the first pump to begin after the post.
    std::map<long, int> handledInPump;
    double stepUs = 0;
    for (long trial = 0; trial < trials; ++trial) {
        program.frm1.vars.DelayCount = 75000;
        Clock::time_point runStart;
        program.platform.restart(1, [&](long) { runStart = Clock::now(); });
        // The key is posted from another thread at a moment unrelated to the run's steps, as
        // input from the window system arrives.
        const auto wait = std::chrono::milliseconds(100 + random() % 100);
        Clock::time_point posted;
        long firstPumpAfterPost = 0; // the first pump to begin after the key was posted
        QWindow* target = program.windowHandle();
        CountingPlatform* counter = &program.platform;
        std::thread poster([&posted, &firstPumpAfterPost, wait, target, counter] {
            // Made before the clock is read: a thread's first allocation sets up its heap.
            auto* escape = new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            std::this_thread::sleep_for(wait);
            posted = Clock::now();
            firstPumpAfterPost = counter->pumps() + (counter->inPump() ? 2 : 1);
            QCoreApplication::postEvent(target, escape);
        });
        program.run(kHopalong.routine, kHopalong.texts, kHopalong.defaults);
        poster.join();
        stepUs = seconds(Clock::now() - runStart) * 1e6
            / static_cast<double>(program.platform.pumps());
        // RESET's clears are the first after the key; the end of the run clears again later.
        const auto& starts = program.platform.windowClearStarts();
        const auto handled = firstAfter(starts, posted);
        const auto cleared = firstAfter(program.platform.pictureClears(), posted);
        if (!handled || !cleared)
            continue;
        handledSteps.push_back(seconds(*handled - posted) * 1e6 / stepUs);
        const auto index = static_cast<std::size_t>(
            std::find(starts.begin(), starts.end(), *handled) - starts.begin());
        ++handledInPump[program.platform.windowClearPumps()[index] - firstPumpAfterPost + 1];
        clearedSteps.push_back(seconds(*cleared - posted) * 1e6 / stepUs);
        clearingUs.push_back(seconds(*cleared - *handled) * 1e6);
    }
    if (clearedSteps.empty())
        return;
    const double worstHandled = *std::max_element(handledSteps.begin(), handledSteps.end());
    const double worstCleared = *std::max_element(clearedSteps.begin(), clearedSteps.end());
    std::string pumps;
    for (const auto& [pump, count] : handledInPump)
        pumps += format("%s%d trials n = %ld", pumps.empty() ? "" : ", ", count, pump);
    printRow("Reaction to Escape, DelayCount 75000: RESET begins, " + platformLabel(),
        format("after median %.2f, worst %.2f steps (one step %.1f us); taken by the n-th pump "
               "to begin after the post: %s",
            median(handledSteps), worstHandled, stepUs, pumps.c_str()),
        "-", "-");
    printRow("Reaction to Escape, DelayCount 75000: both surfaces cleared, " + platformLabel(),
        format("after median %.2f, worst %.2f steps; the two clears take %.0f us",
            median(clearedSteps), worstCleared, median(clearingUs)),
        "within one step", verdict(worstCleared <= 1.0));
}

void save(Program& program, const std::map<std::string, std::string>& args)
{
    const long writes = argument(args, "writes", 10);
    qt::QtPlatform& qtp = program.qtPlatform;
    const double tpp = program.drawingArea().twipsPerPixel();
    qtp.setPictureWidth(static_cast<float>(1920 * tpp));
    qtp.setPictureHeight(static_cast<float>(1080 * tpp));
    const QSize size = qtp.picture().size();
    // Something to save: a few thousand points of a Lorenz run.
    program.frm1.vars.DelayCount = 0;
    program.platform.restart(5000, [&](long) { program.frm1.vars.StopFlag = 1; });
    program.frm1.vars.set1 = program.frm1.vars.set2 = kLorenz.defaults;
    Lorenz2(program.frm1);

    QTemporaryDir dir;
    const std::string file = (dir.path() + QStringLiteral("/picture.bmp")).toStdString();
    std::vector<double> ms;
    for (long i = 0; i < writes; ++i) {
        const Clock::time_point start = Clock::now();
        const std::optional<std::string> failure = qtp.writePicture(file);
        ms.push_back(seconds(Clock::now() - start) * 1e3);
        if (failure) {
            std::fprintf(stderr, "save failed: %s\n", failure->c_str());
            return;
        }
    }
    const double mb = static_cast<double>(QFileInfo(QString::fromStdString(file)).size()) / 1e6;
    printRow(format("Save, BMP of a %dx%d pic1", size.width(), size.height()),
        format("median %.1f ms, best %.1f ms (%.1f MB file)", median(ms),
            *std::min_element(ms.begin(), ms.end()), mb),
        "-", "-");
}

} // namespace
} // namespace quorvane::bench

namespace quorvane::bench {
namespace {

// One start of the program, as main() starts it, timed from the moment the launcher forked it
// (QUORVANE_BENCH_T0, steady clock). Once the window is shown it chooses Lorenz from the menu;
// a timer accepts every input box with its default. Prints the times in milliseconds and ends
// the program once the first point has been painted.
int startupChild(int argc, char** argv)
{
    const char* t0Text = std::getenv("QUORVANE_BENCH_T0");
    if (t0Text == nullptr)
        return 2;
    const Clock::time_point t0 {Clock::duration(std::strtoll(t0Text, nullptr, 10))};
    std::optional<qt::DisplayCheck> display(std::in_place);
    if (!display->missingReason().empty())
        return 2;

    QApplication app(argc, argv);
    display.reset();
    QApplication::setApplicationName(QStringLiteral("quorvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    Program program;
    program.open();

    std::optional<Clock::time_point> shown;
    std::optional<Clock::time_point> painted;
    const auto chooseLorenz = [&program, &painted] {
        program.platform.restart(1, [&program, &painted](long pump) {
            const quint64 before = program.platform.repaintsBeforeFirstPlot();
            if (program.drawingArea().repaintCount() > before) {
                painted = Clock::now();
                program.frm1.Form_Unload();
                return;
            }
            program.platform.setNextMark(pump + 1);
        });
        program.qtPlatform.window()->findChild<QAction*>(QStringLiteral("mnuLOR1"))->trigger();
    };
    const auto noteShown = [&] {
        if (shown)
            return;
        shown = Clock::now();
        QTimer::singleShot(0, chooseLorenz);
    };
    struct ExposeWatch final : QObject {
        std::function<void()> onExposed;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
                onExposed();
            return false;
        }
    } watch;
    watch.onExposed = noteShown;
    program.windowHandle()->installEventFilter(&watch);
    if (program.windowHandle()->isExposed())
        noteShown();

    QTimer answerer;
    answerer.setInterval(1);
    QObject::connect(&answerer, &QTimer::timeout, [] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible())
            box->accept();
    });
    answerer.start();
    QTimer::singleShot(20s, [] { QCoreApplication::exit(3); });

    const int status = QApplication::exec();
    if (status != 0 || !shown || !painted || !program.platform.firstPlot())
        return status != 0 ? status : 4;
    const auto ms = [t0](Clock::time_point t) { return seconds(t - t0) * 1e3; };
    std::printf("%.2f %.2f %.2f\n", ms(*shown), ms(*program.platform.firstPlot()), ms(*painted));
    return 0;
}

// Starts the program `runs` times and reports the median of each figure.
int startup(const std::map<std::string, std::string>& args)
{
    const long runs = argument(args, "runs", 5);
    std::vector<double> shown, plotted, painted;
    for (long i = 0; i < runs; ++i) {
        int out[2];
        if (pipe(out) != 0)
            return 1;
        const long long t0 = Clock::now().time_since_epoch().count();
        const pid_t child = fork();
        if (child == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            setenv("QUORVANE_BENCH_T0", std::to_string(t0).c_str(), 1);
            execl("/proc/self/exe", "quorvane_window_bench", "startup-child", nullptr);
            _exit(127);
        }
        close(out[1]);
        std::string text;
        char buffer[256];
        for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        close(out[0]);
        int status = 0;
        waitpid(child, &status, 0);
        double a = 0, b = 0, c = 0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0
            || std::sscanf(text.c_str(), "%lf %lf %lf", &a, &b, &c) != 3) {
            std::fprintf(stderr, "start-up run %ld failed (status %d)\n", i, status);
            return 1;
        }
        shown.push_back(a);
        plotted.push_back(b);
        painted.push_back(c);
    }
    const std::string label
        = std::getenv("QT_QPA_PLATFORM") != nullptr ? std::getenv("QT_QPA_PLATFORM") : "Xvfb (xcb)";
    const double shownMs = median(shown);
    printRow("Start-up to window shown, " + label,
        format("median %.0f ms of %ld (%.0f .. %.0f)", shownMs, runs,
            *std::min_element(shown.begin(), shown.end()),
            *std::max_element(shown.begin(), shown.end())),
        "<= 300 ms", verdict(shownMs <= 300));
    printRow("Start-up to first Lorenz point, prompts by script, " + label,
        format("median %.0f ms plotted, %.0f ms painted", median(plotted), median(painted)), "-",
        "-");
    return 0;
}

std::map<std::string, std::string> keyValues(int argc, char** argv)
{
    std::map<std::string, std::string> args;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos)
            args[arg.substr(0, eq)] = arg.substr(eq + 1);
    }
    return args;
}

int run(int argc, char** argv)
{
    const std::map<std::string, void (*)(Program&, const std::map<std::string, std::string>&)> modes
        = {{"step", windowStep}, {"pace", pace}, {"pump", pump}, {"memory", memory},
            {"reaction", reaction}, {"save", save}};
    const std::string mode = argc > 1 ? argv[1] : "";
    const auto args = keyValues(argc, argv);
    if (mode == "startup")
        return startup(args);
    if (mode == "startup-child")
        return startupChild(argc, argv);
    const auto found = modes.find(mode);
    if (found == modes.end()) {
        std::fprintf(stderr,
            "usage: quorvane_window_bench step|pace|pump|startup|memory|reaction|save "
            "[key=value]\n");
        return 2;
    }
    std::optional<qt::DisplayCheck> display(std::in_place);
    if (const std::string& reason = display->missingReason(); !reason.empty()) {
        std::fprintf(stderr, "quorvane_window_bench: %s\n", reason.c_str());
        return 1;
    }

    QApplication app(argc, argv);
    display.reset();
    Program program;
    program.open();
    QTimer::singleShot(0, [&] {
        program.settle();
        found->second(program, args);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char** argv) { return quorvane::bench::run(argc, argv); }

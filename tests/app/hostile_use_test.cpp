// A user who nests runs fifty deep, holds down 'c', drags the window down to nothing and back,
// and saves or asks About in the middle of a nested run. Each case states what must hold.

#include "support/form_fixture.h"

#include "run/palette.h"

#include <array>
#include <set>

namespace quorvane::test {
namespace {

using Kind = Call::Kind;

constexpr Rgb kGreen = 0x00FF00;
constexpr Rgb kRed = 0xFF0000;
constexpr double kW = 9795, kH = 9225; // the fake window's drawing area

// The Equations menu, with the point each attractor draws for orbit 1 from zero state with
// every parameter zero: a fixed point of each map and flow.
struct ZeroPoint {
    const char* menu;
    double x, y;
};
const std::array<ZeroPoint, 8> kZeroPoints = {{
    {"mnuE1", kW / 2, kH / 2},
    {"mnuE8", kW / 2.1, kH / 2},
    {"mnuHop1", kW / 2, kH / 2},
    {"mnuLOR1", kW / 2, kH / 1.2},
    {"mnuPIK2", kW / 2, -3000 + kH / 2}, // y' = -cos(0)
    {"mnuROS", kW / 2, kH / 2},
    {"mnu3P4", kW / 2, kH / 2},
    {"mnuThreeply", kW / 2, kH / 2},
}};

bool sameOrbit(const Orbit& a, const Orbit& b)
{
    return a.x == b.x && a.xNext == b.xNext && a.y == b.y && a.yNext == b.yNext && a.z == b.z;
}

bool sameParametersAndOrbits(WindowVars a, WindowVars b)
{
    for (int p = 0; p < 10; ++p)
        if (a.parameter(Param(p)) != b.parameter(Param(p)))
            return false;
    return sameOrbit(a.orbit1, b.orbit1) && sameOrbit(a.orbit2, b.orbit2);
}

class HostileUse : public FormFixture {
protected:
    HostileUse() { frm1.vars.DelayCount = 0; }

    // After the last RESET: no run, every parameter and slot zero, both surfaces cleared last.
    void expectIdleAndClear() const
    {
        EXPECT_EQ(frm1.vars.StopFlag, 0);
        EXPECT_TRUE(sameParametersAndOrbits(frm1.vars, WindowVars {}));
        const auto n = platform.calls.size();
        ASSERT_GE(n, 2u);
        EXPECT_EQ(platform.calls[n - 2].kind, Kind::Clear);
        EXPECT_EQ(platform.calls[n - 1].kind, Kind::Clear);
    }
};

// Fifty runs, each started from inside the one before, cycling through all eight attractors.
// Each RESET ends exactly the innermost run still going: the run around it then draws one step
// from zero state with zero parameters (its fixed point) before the next RESET reaches it. The
// fiftieth RESET ends the first run, and the menu command that started it returns.
TEST_F(HostileUse, FiftyNestedRunsEachEndWithItsOwnReset)
{
    constexpr int kDepth = 50;
    int started = 1, returned = 0;
    std::vector<std::size_t> callsAtReset;
    std::vector<int> menuOfRun(kDepth + 1);
    menuOfRun[1] = 1;
    platform.onPump = [&](long) {
        if (started < kDepth) {
            ++started;
            menuOfRun[started] = started % 8;
            choose(kZeroPoints[started % 8].menu);
            ++returned;
            return;
        }
        callsAtReset.push_back(platform.calls.size());
        pressEscape();
    };
    choose(kZeroPoints[1].menu);
    ++returned;

    EXPECT_EQ(returned, kDepth);
    EXPECT_EQ(platform.pumps(), 2 * kDepth - 1);
    ASSERT_EQ(callsAtReset.size(), static_cast<std::size_t>(kDepth));
    expectIdleAndClear();

    // Between RESET j and RESET j + 1, run kDepth - j goes on by one step: RESET's three
    // calls, the inner run's two clears, then its own four plots at its zero point.
    for (int j = 1; j < kDepth; ++j) {
        const ZeroPoint& z = kZeroPoints[menuOfRun[kDepth - j]];
        SCOPED_TRACE(z.menu);
        const std::size_t from = callsAtReset[j - 1] + 5, to = callsAtReset[j];
        ASSERT_EQ(to - from, 4u);
        const Call* c = &platform.calls[from];
        const float x1 = static_cast<float>(z.x), y1 = static_cast<float>(z.y);
        const float x2 = static_cast<float>(z.x + 10), y2 = static_cast<float>(z.y + 10);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c[i].kind, Kind::Plot);
            EXPECT_EQ(c[i].colour, i < 2 ? kGreen : kRed);
            EXPECT_EQ(c[i].x, i < 2 ? x1 : x2);
            EXPECT_EQ(c[i].y, i < 2 ? y1 : y2);
        }
    }
}

// 10,000 presses of 'c', one per step, and a resize down to a zero drawing area and back while
// a Lorenz run goes on. The colours cycle through the palette on both surfaces, the run never
// misses a step, and once the window has its size back every point is where it would have been
// without any of it: the orbit itself is not disturbed.
TEST_F(HostileUse, TenThousandColourPressesAndAResizeToZeroLoseNothing)
{
    constexpr long kPresses = 10'000, kShrinkFrom = 3000, kGrowFrom = 3020, kRestored = 3041;
    auto schedule = [](FakePlatform& p, Frm1& form, bool hostile) {
        p.onPump = [&p, &form, hostile](long n) {
            if (hostile && n <= kPresses)
                form.Form_KeyPress('c');
            if (hostile && n >= kShrinkFrom && n < kRestored) {
                // Twenty steps down to nothing, one minimized, twenty back up.
                const double k
                    = n < kGrowFrom ? double(kGrowFrom - 1 - n) / 19 : double(n - kGrowFrom) / 20;
                const float f = static_cast<float>(k);
                if (n == kGrowFrom)
                    p.setWindow(0, 0, 1920, 120); // minimized: no drawing area at all
                else
                    p.setWindow(9795 * f, 9225 * f, 9915 * f, 9990 * f);
                form.Form_Resize();
            }
            if (n == kPresses + 1)
                form.Form_KeyDown(KeyCode::Escape, 0);
        };
    };
    schedule(platform, frm1, true);
    choose("mnuLOR1");
    FakePlatform plain;
    Frm1 reference(plain);
    reference.Form_Load();
    reference.vars.DelayCount = 0;
    schedule(plain, reference, false);
    chooseMenu(reference, "mnuLOR1");

    const auto colours = platform.callsOf(Kind::BackColor);
    ASSERT_EQ(colours.size(), 2u * kPresses);
    for (long press = 0; press < kPresses; ++press) {
        const Rgb want = kPalette[static_cast<std::size_t>(press % 16)];
        ASSERT_EQ(colours[2 * press].colour, want) << press;
        ASSERT_EQ(colours[2 * press + 1].colour, want) << press;
        ASSERT_EQ(colours[2 * press + 1].surface, Surface::Picture) << press;
    }
    EXPECT_EQ(frm1.vars.ColorIndex, kPresses % 16);

    const auto got = platform.plotsOn(Surface::Picture), want = plain.plotsOn(Surface::Picture);
    ASSERT_EQ(got.size(), 2u * (kPresses + 1));
    ASSERT_EQ(want.size(), got.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        const long step = static_cast<long>(i / 2) + 1;
        if (step > kShrinkFrom && step <= kRestored)
            continue; // drawn about a moving centre
        ASSERT_EQ(got[i].x, want[i].x) << "step " << step;
        ASSERT_EQ(got[i].y, want[i].y) << "step " << step;
    }
    // pic1 was asked to take every size on the way, zero included; refusing what it cannot
    // take is the platform's part (see the Qt window tests).
    std::set<float> scales;
    for (const Call& c : platform.callsOf(Kind::PictureScaleWidth))
        scales.insert(c.x);
    EXPECT_TRUE(scales.count(0.0f));
    EXPECT_TRUE(scales.count(9795.0f));
    expectIdleAndClear();
}

// Save (from the menu and with Space) and About chosen while a run is nested in another. They
// touch no window-level variable and draw or clear nothing; both runs go on exactly as they
// would have without them, and two RESETs end both. Each shows its dialog: Save writes the
// chosen file, Space offers that name again and warns on Cancel, and About shows its box.
TEST_F(HostileUse, SaveAndAboutInsideANestedRunLeaveBothRunsAsTheyWere)
{
    struct Moment {
        long pump;
        WindowVars before, after;
        std::size_t firstCall = 0, endCall = 0;
    };
    std::array<Moment, 3> moments = {{{5, {}, {}}, {6, {}, {}}, {7, {}, {}}}};
    auto schedule = [&](FakePlatform& p, Frm1& form, bool commands) {
        p.onPump = [&, commands](long n) {
            if (n == 2)
                chooseMenu(form, "mnuHop1");
            for (std::size_t m = 0; m < moments.size() && commands; ++m) {
                if (n != moments[m].pump)
                    continue;
                moments[m].before = form.vars;
                moments[m].firstCall = p.calls.size();
                if (m == 0)
                    form.mnuSave_Click();
                else if (m == 1)
                    form.Form_KeyDown(KeyCode::Space, 0);
                else
                    form.mnuAbout_Click();
                moments[m].after = form.vars;
                moments[m].endCall = p.calls.size();
            }
            if (n == 9 || n == 11)
                form.Form_KeyDown(KeyCode::Escape, 0);
        };
    };
    platform.saveAnswers = {std::string("picture.bmp")}; // then Cancel
    schedule(platform, frm1, true);
    choose("mnuLOR1");

    FakePlatform plain;
    Frm1 reference(plain);
    reference.Form_Load();
    reference.vars.DelayCount = 0;
    schedule(plain, reference, false);
    reference.mnuLOR1_Click();

    EXPECT_EQ(platform.pumps(), 11);
    const auto got = platform.callsOf(Kind::Plot), want = plain.callsOf(Kind::Plot);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].x, want[i].x) << i;
        EXPECT_EQ(got[i].y, want[i].y) << i;
    }
    const std::set<Kind> dialogKinds = {Kind::SaveDialog, Kind::WritePicture, Kind::MessageBox};
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.pump);
        EXPECT_TRUE(sameParametersAndOrbits(m.before, m.after));
        EXPECT_EQ(m.before.StopFlag, m.after.StopFlag);
        EXPECT_EQ(m.before.DelayCount, m.after.DelayCount);
        EXPECT_EQ(m.before.ColorIndex, m.after.ColorIndex);
        for (std::size_t i = m.firstCall; i < m.endCall; ++i)
            EXPECT_TRUE(dialogKinds.count(platform.calls[i].kind)) << "call " << i;
    }
    expectIdleAndClear();

    // What the commands showed.
    auto shown = [&](const Moment& m) {
        return std::vector<Call>(platform.calls.begin() + static_cast<std::ptrdiff_t>(m.firstCall),
            platform.calls.begin() + static_cast<std::ptrdiff_t>(m.endCall));
    };
    const auto save = shown(moments[0]);
    ASSERT_EQ(save.size(), 2u);
    EXPECT_EQ(save[0].kind, Kind::SaveDialog);
    EXPECT_EQ(save[1].kind, Kind::WritePicture);
    EXPECT_EQ(save[1].text, "picture.bmp");
    const auto cancelled = shown(moments[1]);
    ASSERT_EQ(cancelled.size(), 2u);
    EXPECT_EQ(cancelled[0].kind, Kind::SaveDialog);
    EXPECT_EQ(cancelled[0].text, "picture.bmp");
    EXPECT_EQ(cancelled[1].kind, Kind::MessageBox);
    EXPECT_EQ(cancelled[1].text, "Image not saved!");
    const auto about = shown(moments[2]);
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0].kind, Kind::MessageBox);
    EXPECT_EQ(about[0].title, "Zemlar : The Quorvane Effect");
}

} // namespace
} // namespace quorvane::test

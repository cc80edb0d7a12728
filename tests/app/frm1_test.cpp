#include "support/form_fixture.h"

#include "run/palette.h"

#include <array>
#include <tuple>
#include <vector>

namespace quorvane::test {
namespace {

using Kind = Call::Kind;

class Frm1Window : public FormFixture { };

TEST_F(Frm1Window, LoadSetsThePaceAndTheStartCaption)
{
    FakePlatform fresh;
    Frm1 form(fresh);
    form.Form_Load();
    EXPECT_EQ(form.vars.DelayCount, 50000.0f);
    EXPECT_EQ(form.vars.ColorIndex, 0);
    EXPECT_EQ(form.vars.StopFlag, 0);
    ASSERT_EQ(fresh.callsOf(Kind::Caption).size(), 1u);
    EXPECT_EQ(fresh.callsOf(Kind::Caption)[0].text, " Zemlar :   The  Quorvane  Effect.");
}

TEST_F(Frm1Window, KeysActOnTheirOwnHandlersWhateverTheShiftState)
{
    frm1.Form_KeyDown(KeyCode::Tab, 1); // Shift+Tab acts as Tab
    EXPECT_EQ(frm1.vars.DelayCount, 55000.0f);
    frm1.Form_KeyDown(KeyCode::Tab, 2);
    EXPECT_EQ(frm1.vars.DelayCount, 60000.0f);

    frm1.vars.set1.a = 1;
    frm1.Form_KeyDown(KeyCode::Escape, 2);
    EXPECT_EQ(frm1.vars.set1.a, 0.0);
    EXPECT_EQ(frm1.vars.StopFlag, 1);

    // Characters: only lower-case c does anything. Escape and Space also produce characters,
    // which the character handler ignores.
    platform.calls.clear();
    for (const int ch : std::array<int, 6> {'C', 3, 27, 32, 9, 'x'})
        frm1.Form_KeyPress(static_cast<std::int16_t>(ch));
    // Other keys do nothing either.
    for (const int key : std::array<int, 4> {'C', 13, 65, 0})
        frm1.Form_KeyDown(static_cast<std::int16_t>(key), 0);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(frm1.vars.DelayCount, 60000.0f);
    EXPECT_EQ(frm1.vars.ColorIndex, 0);
}

TEST_F(Frm1Window, SeventeenPressesOfCCycleThroughThePaletteAndBackToBlack)
{
    for (int press = 0; press < 17; ++press)
        frm1.Form_KeyPress('c');
    const auto colours = platform.callsOf(Kind::BackColor);
    ASSERT_EQ(colours.size(), 34u);
    for (int press = 0; press < 17; ++press) {
        const Rgb expected = kPalette[static_cast<std::size_t>(press % 16)];
        EXPECT_EQ(colours[2 * press].surface, Surface::Window);
        EXPECT_EQ(colours[2 * press].colour, expected) << press;
        EXPECT_EQ(colours[2 * press + 1].surface, Surface::Picture);
        EXPECT_EQ(colours[2 * press + 1].colour, expected) << press;
    }
    EXPECT_EQ(frm1.vars.ColorIndex, 1);
}

TEST_F(Frm1Window, ResizeRefreshesThenFitsPictureToTheOuterSizeAndScale)
{
    platform.setWindow(12000, 8000, 12240, 9000);
    frm1.Form_Resize();
    using Fit = std::tuple<Kind, Surface, float>;
    const std::vector<Fit> want = {{Kind::Refresh, Surface::Window, 0},
        {Kind::Refresh, Surface::Picture, 0}, {Kind::PictureHeight, Surface::Window, 9000},
        {Kind::PictureWidth, Surface::Window, 12240},
        {Kind::PictureScaleHeight, Surface::Window, 8000},
        {Kind::PictureScaleWidth, Surface::Window, 12000}};
    std::vector<Fit> got;
    for (const Call& c : platform.calls)
        got.emplace_back(c.kind, c.surface, c.x);
    EXPECT_EQ(got, want);
}

TEST_F(Frm1Window, ResizeDuringARunMovesTheCentreOfLaterPoints)
{
    atPump(2, [this] {
        platform.setWindow(3000, 1200, 3120, 2000);
        frm1.Form_Resize();
    });
    atPump(3, [this] { pressEscape(); });
    platform.answers = std::deque<std::optional<std::string>>(6, std::nullopt);
    choose("mnuLOR1");
    const auto plots = platform.callsOf(Kind::Plot);
    ASSERT_EQ(plots.size(), 12u);
    // With every parameter zero, x stays at its start value: the X of orbit 1 moves only
    // because the centre moved, and pic1 follows the window's centre too.
    EXPECT_EQ(plots[4].x, plots[0].x);
    EXPECT_EQ(plots[8].x, static_cast<float>(300 * 3.141593 + 3000.0 / 2));
    EXPECT_EQ(plots[9].x, plots[8].x);
}

TEST_F(Frm1Window, ExitEndsTheProgramAtOnceEvenInTheMiddleOfARun)
{
    atPump(4, [this] { choose("mnuExit"); });
    choose("mnuLOR1");
    EXPECT_TRUE(platform.ended());
    EXPECT_EQ(platform.callsOf(Kind::EndProgram).size(), 1u);
    EXPECT_EQ(platform.calls.back().kind, Kind::EndProgram);
    EXPECT_EQ(platform.pumps(), 4);

    // Nothing acts after the end.
    platform.calls.clear();
    frm1.Form_KeyDown(KeyCode::Escape, 0);
    frm1.Form_KeyPress('c');
    frm1.Form_Resize();
    choose("mnuLOR1");
    frm1.Form_Deactivate();
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(Frm1Window, CloseDeactivationAndTerminationEachEndTheProgram)
{
    for (void (Frm1::*event)() :
        {&Frm1::Form_Unload, &Frm1::Form_Deactivate, &Frm1::Form_Terminate}) {
        FakePlatform fresh;
        Frm1 form(fresh);
        (form.*event)();
        EXPECT_TRUE(fresh.ended());
    }
}

TEST_F(Frm1Window, TheEquationsMenuHasNoActionOfItsOwn)
{
    choose("mnuFormula1");
    EXPECT_TRUE(platform.calls.empty());
}

} // namespace
} // namespace quorvane::test

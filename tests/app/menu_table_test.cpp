#include "support/form_fixture.h"

#include <array>

namespace quorvane::test {
namespace {

// One entry of the Equations menu as the user meets it.
struct EquationsEntry {
    const char* menu;
    const char* caption;
    const char* title;
    std::size_t prompts;
    const char* firstPrompt;
    const char* defaults; // the defaults shown, in prompt order, one blank apart
};

// In menu order.
const std::array<EquationsEntry, 8> kEquations = {{
    {"mnuE1", "Eqn(1)  ", "Equation 1", 8, "Entre a value for (a)    {Try  -5.0  to  +5.0}",
        "0.2238 -0.9992 -0.8697 -0.3373 0.2238 -0.9992 -0.8697 -0.3373"},
    {"mnuE8", "Eqn(8)  ", "Equation 8", 8, "Entre a value for (a)    {Try  -5.0  to  +5.0}",
        "2.42 -1.36 -0.2 -0.31 2.42 -1.36 -0.2 -0.31"},
    {"mnuHop1", "Hopalong(1)   ", "Hopalong-1", 6, "Entre a value for (a)    {Try  -1.0  to  +1.0}",
        "0.724 -0.565 -0.117 0.724 -0.565 -0.117"},
    {"mnuLOR1", "LORENZ  ORBITS (XZ)    ", "Lorenz Orbits", 6,
        "Entre a value for Prandtl number.\r\n{5 - 34}", "10 28 2.667 10 28 2.667"},
    {"mnuPIK2", "Pickover2   ", "Pickover", 10, "Entre a value for (a)    {Try  2.21 to 4.73}",
        "2.23 0.5 -0.67 -2.1 1 2.23 0.5 -0.67 -2.1 1"},
    {"mnuROS", "Rossler Attractor    ", "Rossler", 6, "Entre a number for a.  {Try   .2  -  .41}",
        "0.2 0.2 5.7 0.2 0.2 5.7"},
    {"mnu3P4", "Starburst   ", "Starburst", 6, "Entre a value for (a)    {Try  -100  to  +100}",
        "77.85 -61.97 59.68 77.85 -61.97 59.68"},
    {"mnuThreeply", "Threeply   ", "3Ply", 6, "Entre a value for (a)    {Try  -100  to  +100}",
        "-93.8 96.1 31 -93.8 96.1 31"},
}};

class EquationsMenu : public FormFixture { };

TEST_F(EquationsMenu, EachEntryAsksItsPromptsUnderItsTitleThenSetsItsCaption)
{
    for (const EquationsEntry& entry : kEquations) {
        SCOPED_TRACE(entry.menu);
        platform.calls.clear();
        atPump(platform.pumps() + 1, [this] { pressEscape(); });
        choose(entry.menu);

        const auto boxes = platform.callsOf(Call::Kind::InputBox);
        ASSERT_EQ(boxes.size(), entry.prompts);
        EXPECT_EQ(boxes[0].text, entry.firstPrompt);
        std::string defaults;
        for (const Call& box : boxes) {
            EXPECT_EQ(box.title, entry.title);
            defaults += (defaults.empty() ? "" : " ") + box.extra;
        }
        EXPECT_EQ(defaults, entry.defaults);
        const auto captions = platform.callsOf(Call::Kind::Caption);
        ASSERT_FALSE(captions.empty());
        EXPECT_EQ(captions[0].text, entry.caption);
    }
}

} // namespace
} // namespace quorvane::test

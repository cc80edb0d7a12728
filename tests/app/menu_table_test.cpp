#include "support/form_fixture.h"

#include <array>

namespace quorvane::test {
namespace {

// One entry of the Equations menu as the user meets it. The first and last prompts hold every
// kind of prompt text: a line break or blanks between question and hint, and orbit 2's naming.
struct EquationsEntry {
    const char* menu;
    const char* caption;
    const char* title;
    std::size_t prompts;
    const char* firstPrompt;
    const char* lastPrompt;
    const char* defaults; // the defaults shown, in prompt order, one blank apart
};

// In menu order.
const std::array<EquationsEntry, 8> kEquations = {{
    {"mnuE1", "Eqn(1)  ", "Equation 1", 8, "Entre a value for (a)    {Try  -5.0  to  +5.0}",
        "Entre a value for (dd)    {Try  -0.5  to  +0.5}",
        "0.2238 -0.9992 -0.8697 -0.3373 0.2238 -0.9992 -0.8697 -0.3373"},
    {"mnuE8", "Eqn(8)  ", "Equation 8", 8, "Entre a value for (a)    {Try  -5.0  to  +5.0}",
        "Entre a value for (dd)    {Try  -0.5  to  +0.5}",
        "2.42 -1.36 -0.2 -0.31 2.42 -1.36 -0.2 -0.31"},
    {"mnuHop1", "Hopalong(1)   ", "Hopalong-1", 6, "Entre a value for (a)    {Try  -1.0  to  +1.0}",
        "Entre a value for (cc)    {Try  -1.0  to  +1.0}",
        "0.724 -0.565 -0.117 0.724 -0.565 -0.117"},
    {"mnuLOR1", "LORENZ  ORBITS (XZ)    ", "Lorenz Orbits", 6,
        "Entre a value for Prandtl number.\r\n{5 - 34}",
        "Entre a value for (3rd parameter) (2).\r\n{0.7 - 5.0}", "10 28 2.667 10 28 2.667"},
    {"mnuPIK2", "Pickover2   ", "Pickover", 10, "Entre a value for (a)    {Try  2.21 to 4.73}",
        "Entre a value for (ee)    {Try  0.3  to  2.0}",
        "2.23 0.5 -0.67 -2.1 1 2.23 0.5 -0.67 -2.1 1"},
    {"mnuROS", "Rossler Attractor    ", "Rossler", 6, "Entre a number for a.  {Try   .2  -  .41}",
        "Entre a number for cc.  {Try   3  -  30}", "0.2 0.2 5.7 0.2 0.2 5.7"},
    {"mnu3P4", "Starburst   ", "Starburst", 6, "Entre a value for (a)    {Try  -100  to  +100}",
        "Entre a value for (cc)    {Try  -100  to  +100}", "77.85 -61.97 59.68 77.85 -61.97 59.68"},
    {"mnuThreeply", "Threeply   ", "3Ply", 6, "Entre a value for (a)    {Try  -100  to  +100}",
        "Entre a value for (cc)    {Try  -100  to  +100}", "-93.8 96.1 31 -93.8 96.1 31"},
}};

class EquationsMenu : public FormFixture { };

TEST_F(EquationsMenu, EachEntryAsksItsPromptsUnderItsTitleThenSetsItsCaption)
{
    for (const EquationsEntry& entry : kEquations) {
        SCOPED_TRACE(entry.menu);
        platform.calls.clear();
        // Prompt i is answered i: orbit 1's letters come first, orbit 2's in the same order.
        platform.answers.clear();
        for (std::size_t i = 1; i <= entry.prompts; ++i)
            platform.answers.push_back(std::to_string(i));
        WindowVars asked;
        atPump(platform.pumps() + 1, [&] {
            asked = frm1.vars;
            pressEscape();
        });
        choose(entry.menu);

        const auto boxes = platform.callsOf(Call::Kind::InputBox);
        ASSERT_EQ(boxes.size(), entry.prompts);
        EXPECT_EQ(boxes.front().text, entry.firstPrompt);
        EXPECT_EQ(boxes.back().text, entry.lastPrompt);
        std::string defaults;
        for (const Call& box : boxes) {
            EXPECT_EQ(box.title, entry.title);
            defaults += (defaults.empty() ? "" : " ") + box.extra;
        }
        EXPECT_EQ(defaults, entry.defaults);
        const int half = static_cast<int>(entry.prompts / 2);
        for (int letter = 0; letter < 5; ++letter) {
            const bool asks = letter < half;
            EXPECT_EQ(asked.parameter(Param(letter)), asks ? letter + 1 : 0) << letter;
            EXPECT_EQ(asked.parameter(Param(letter + 5)), asks ? half + letter + 1 : 0) << letter;
        }

        // After the prompts: the window cleared, then pic1, the caption, then the run.
        std::size_t i = entry.prompts;
        ASSERT_GT(platform.calls.size(), i + 3);
        EXPECT_EQ(platform.calls[i].kind, Call::Kind::Clear);
        EXPECT_EQ(platform.calls[i].surface, Surface::Window);
        EXPECT_EQ(platform.calls[i + 1].kind, Call::Kind::Clear);
        EXPECT_EQ(platform.calls[i + 1].surface, Surface::Picture);
        EXPECT_EQ(platform.calls[i + 2].kind, Call::Kind::Caption);
        EXPECT_EQ(platform.calls[i + 2].text, entry.caption);
        EXPECT_EQ(platform.calls[i + 3].kind, Call::Kind::Plot);
    }
}

} // namespace
} // namespace quorvane::test

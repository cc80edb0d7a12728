#include "run/prompt.h"

#include "support/form_fixture.h"

#include <array>

namespace quorvane::test {
namespace {

class Prompts : public FormFixture {
protected:
    static constexpr std::array<Prompt, 2> kTwo = {{
        {"first", 1.5, Param::b},
        {"second", -2, Param::ee},
    }};
};

TEST_F(Prompts, AnswersThatAreNotNumbersLeaveTheParameterAsItWas)
{
    using Answer = std::optional<std::string>;
    for (const Answer& answer :
        {Answer(), Answer(""), Answer("abc"), Answer("1e400"), Answer("12abc")}) {
        frm1.vars.set1.b = 7;
        platform.answers = {answer, "3"};
        askParameters(frm1, "T", kTwo);
        EXPECT_EQ(frm1.vars.set1.b, 7.0) << answer.value_or("<cancel>");
        // The next prompt follows in every case.
        EXPECT_EQ(frm1.vars.set2.e, 3.0);
    }
}

TEST_F(Prompts, StopAskingOnceTheWindowIsUnloaded)
{
    platform.answers = {"4"};
    frm1.Form_Unload();
    askParameters(frm1, "T", kTwo);
    EXPECT_TRUE(platform.callsOf(Call::Kind::InputBox).empty());
    EXPECT_EQ(frm1.vars.set1.b, 0.0);
}

} // namespace
} // namespace quorvane::test

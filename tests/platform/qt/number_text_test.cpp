#include "platform/qt/number_text.h"
#include "qt_window.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "run/prompt.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace quorvane::qt {
namespace {

TEST(LocaleNumbers, EnglishReadsPlainDecimalsAndRejectsTheRest)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(localeToNumber("2.667", english), 2.667);
    EXPECT_EQ(localeToNumber(" 12 ", english), 12.0);
    EXPECT_EQ(localeToNumber("-0.565", english), -0.565);
    EXPECT_EQ(localeToNumber("1e-3", english), 0.001);
    for (const char* bad : {"", " ", "abc", "12abc", "1e400", "-1e999", "inf", "nan", "2,5,"})
        EXPECT_FALSE(localeToNumber(QString::fromLatin1(bad), english)) << bad;
}

TEST(LocaleNumbers, GermanUsesTheDecimalComma)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(localeToNumber("2,667", german), 2.667);
    EXPECT_EQ(localeNumberText(2.667, german), QStringLiteral("2,667"));
    EXPECT_EQ(localeNumberText(-0.565, german), QStringLiteral("-0,565"));
}

TEST(LocaleNumbers, DefaultsShowAsTheirShortestText)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(localeNumberText(10, english), QStringLiteral("10"));
    EXPECT_EQ(localeNumberText(2.667, english), QStringLiteral("2.667"));
    EXPECT_EQ(localeNumberText(-93.8, english), QStringLiteral("-93.8"));
    EXPECT_EQ(localeNumberText(50000, english), QStringLiteral("50000")); // no group separator
    // Every default reads back as the same number.
    for (const double v : {0.2238, -0.9992, 77.85, -61.97, 0.724, -0.117, 5.7, 2.23, -0.67})
        EXPECT_EQ(localeToNumber(localeNumberText(v, english), english), v);
}

// What hostile typing gives in locales with different separators: the only texts that give a
// number are the plain numbers themselves.
TEST(LocaleNumbers, HostileTextGivesNothingOrItsPlainNumber)
{
    const std::optional<double> none;
    const std::array<std::pair<const char*, std::optional<double>>, 11> cases = {{
        {"inf", none},
        {"nan", none},
        {"1e999", none}, // beyond the double range
        {"-1e999", none},
        {"1e-400", none}, // below the smallest double: refused, not read as zero
        {"", none},
        {" 12 ", 12.0},
        {"1,5,5", none}, // neither a decimal nor a grouped number anywhere
        {"1e308", 1e308},
        {"-1e308", -1e308},
        {"5e-324", 5e-324},
    }};
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
             QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France),
             QLocale(QLocale::Arabic, QLocale::Egypt)})
        for (const auto& [text, want] : cases)
            EXPECT_EQ(localeToNumber(QString::fromLatin1(text), locale), want)
                << qPrintable(locale.name()) << " \"" << text << '"';
}

// Accepting a default as offered must store that default. Right-to-left locales write their
// minus sign with a direction mark, and some write exponents Qt cannot read back.
TEST(LocaleNumbers, EveryDefaultReadsBackInEveryLocale)
{
    std::vector<double> defaults = {1e-7, -1e21, 5e-324, -1e308};
    for (const CommandTexts* texts :
        {&Lorenz::texts, &Rossler::texts, &Hopalong::texts, &Pickover::texts, &Equation1::texts,
            &Equation8::texts, &Starburst::texts, &ThreeplyMap::texts})
        for (const Prompt& prompt : texts->prompts)
            defaults.push_back(prompt.defaultValue);
    const char* const locales[] = {"C", "en_US", "de_DE", "fr_FR", "de_CH", "sv_SE", "hi_IN",
        "ar_EG", "ar_MA", "fa_IR", "he_IL", "ur_PK", "ps_AF"};
    for (const char* name : locales) {
        const QLocale locale(QString::fromLatin1(name));
        for (const double value : defaults)
            EXPECT_EQ(localeToNumber(localeNumberText(value, locale), locale), value)
                << name << ' ' << value << " shown as "
                << qPrintable(localeNumberText(value, locale));
    }
}

TEST(LocaleNumbers, DirectionMarksAreIgnoredWhereverTheyStand)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(localeToNumber(QStringLiteral("\u200E-0.565"), english), -0.565);
    EXPECT_EQ(localeToNumber(QStringLiteral("\u061C-93.8\u200F"), english), -93.8);
    EXPECT_FALSE(localeToNumber(QStringLiteral("\u200E"), english));
}

// The program's prompts on the real window: what is typed into the input box goes through the
// platform's conversion in the user's locale, as the program asks it.
class TypedNumbers : public QtWindow {
protected:
    // Pickover's prompts, which ask for all ten parameters, answered with the same text.
    void answerPickoverWith(const QString& text)
    {
        typed.assign(Pickover::texts.prompts.size(), text);
        askParameters(frm1, Pickover::texts.title, Pickover::texts.prompts);
    }
};

// Typed answers that are no number leave every parameter as it was; " 12 " is 12.
TEST_F(TypedNumbers, TextThatIsNoNumberKeepsEveryParameter)
{
    const std::array<std::pair<const char*, double>, 6> answers = {{
        {"inf", 7},
        {"nan", 7},
        {"1e999", 7},
        {"", 7},
        {" 12 ", 12},
        {"1,5,5", 7},
    }};
    for (const auto& [text, stored] : answers) {
        frm1.vars.set1 = frm1.vars.set2 = {7, 7, 7, 7, 7};
        answerPickoverWith(QString::fromLatin1(text));
        for (int p = 0; p < 10; ++p)
            EXPECT_EQ(frm1.vars.parameter(Param(p)), stored) << '"' << text << "\" parameter " << p;
    }
}

// A German user: ctest runs this case alone under LC_ALL=de_DE.UTF-8 (tests/CMakeLists.txt).
// The defaults show with a decimal comma, and a decimal comma typed in reads as one.
using GermanUser = TypedNumbers;

TEST_F(GermanUser, DefaultsShowAndTypedNumbersReadWithTheDecimalComma)
{
    if (qgetenv("LC_ALL") != "de_DE.UTF-8")
        GTEST_SKIP() << "runs under LC_ALL=de_DE.UTF-8";
    typed = {std::nullopt, std::nullopt, std::nullopt, QStringLiteral("2,667")};
    askParameters(frm1, Lorenz::texts.title, Lorenz::texts.prompts);
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[2].text, QStringLiteral("2,667"));
    EXPECT_EQ(frm1.vars.set1.c, 2.667); // accepted as offered
    EXPECT_EQ(frm1.vars.set2.a, 2.667); // typed
}

} // namespace
} // namespace quorvane::qt

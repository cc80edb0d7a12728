#include "platform/qt/number_text.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace quorvane::qt

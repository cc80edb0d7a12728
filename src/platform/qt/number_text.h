#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace quorvane::qt {

// Typed text to a number in the given locale: leading and trailing blanks are ignored, the
// locale's decimal separator is required ("2,5" in German, "2.5" in English), and the marks that
// only set the direction of text are ignored wherever they stand. Text that is not
// a number, "inf", "nan", and numbers outside the double range give nothing.
std::optional<double> localeToNumber(const QString& text, const QLocale& locale);

// The shortest decimal text that reads back as the same number, in the given locale and
// without group separators: 10, 2.667, -0.565, or 2,667 in German. Where the locale's
// exponent form would not read back, the number is written out without an exponent.
QString localeNumberText(double value, const QLocale& locale);

} // namespace quorvane::qt

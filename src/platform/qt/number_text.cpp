#include "platform/qt/number_text.h"

#include <cmath>

namespace quorvane::qt {

namespace {

// Invisible marks that only steer the direction of text. Right-to-left locales put them in
// their own minus sign ("\u061C-" in Arabic, "\u200E-" in Hebrew and Urdu), which Qt then
// does not read back, so a negative default offered there was refused when accepted as it
// stood. Typed or pasted, they carry no meaning for a number.
bool isDirectionMark(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E)
        || (u >= 0x2066 && u <= 0x2069);
}

} // namespace

std::optional<double> localeToNumber(const QString& text, const QLocale& locale)
{
    QString plain = text.trimmed();
    plain.removeIf(isDirectionMark);
    bool ok = false;
    const double value = locale.toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString localeNumberText(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString shortest = plain.toString(value, 'g', QLocale::FloatingPointShortest);
    // Qt writes the exponent of some locales (Arabic, Persian, Hebrew, Urdu, ...) in a form its
    // own reader does not take back, so a number shown as 1E-07 there could not be accepted
    // as offered. The same number without an exponent reads back everywhere.
    if (localeToNumber(shortest, plain) == value)
        return shortest;
    return plain.toString(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace quorvane::qt

// Typed text through the prompt's number conversion, in locales with different decimal and
// group separators and digits. Whatever the text, the answer is nothing or a finite number;
// blanks around the text change nothing; and the text an input box shows for a number reads
// back as that same number (-0 shows as 0).

#include "fuzz_values.h"

#include "platform/qt/number_text.h"

#include <QLocale>

#include <cmath>
#include <cstring>

namespace {

namespace fuzz = quorvane::fuzz;
using quorvane::fuzz::fail;
using quorvane::qt::localeNumberText;
using quorvane::qt::localeToNumber;

const QLocale& localeFor(std::uint8_t selector)
{
    static const QLocale kLocales[] = {
        QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany), // decimal comma, '.' groups
        QLocale(QLocale::French, QLocale::France), // decimal comma, narrow no-break space groups
        QLocale(QLocale::German, QLocale::Switzerland), // apostrophe groups
        QLocale(QLocale::Arabic, QLocale::Egypt), // Arabic-Indic digits
        QLocale(QLocale::Hindi, QLocale::India), // groups of two above the thousands
        QLocale(QLocale::Persian, QLocale::Iran), // direction mark and U+2212 in the minus sign
        QLocale(QLocale::Hebrew, QLocale::Israel), // direction mark in the minus sign
        QLocale(QLocale::Swedish, QLocale::Sweden), // U+2212 minus, 10^ exponent
    };
    return kLocales[selector % std::size(kLocales)];
}

void expectReadsBack(double value, const QLocale& locale)
{
    const QString shown = localeNumberText(value, locale);
    const std::optional<double> back = localeToNumber(shown, locale);
    // Equal as numbers: -0 is shown as "0", which is the same number.
    if (!back || *back != value) {
        std::fprintf(stderr, "%s: %a shown as \"%s\" reads back as %s\n", qPrintable(locale.name()),
            value, qPrintable(shown),
            back ? qPrintable(QString::number(*back, 'g', 17)) : "nothing");
        fail("a number's own text does not read back as the same number");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QLocale& locale = localeFor(data[0]);
    const char* text = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);

    const QString typed = QString::fromUtf8(text, length);
    const std::optional<double> value = localeToNumber(typed, locale);
    if (value) {
        if (!std::isfinite(*value))
            fail("typed text gave a number that is not finite");
        expectReadsBack(*value, locale);
    }
    const std::optional<double> padded
        = localeToNumber(QStringLiteral("  ") + typed + QStringLiteral(" \t"), locale);
    if (padded.has_value() != value.has_value() || (value && !fuzz::sameResult(*padded, *value)))
        fail("blanks around the text changed what it reads as");

    // The same bytes as a number: the default an input box offers must read back.
    if (size >= 9) {
        double raw = 0;
        std::memcpy(&raw, data + 1, sizeof raw);
        if (std::isfinite(raw))
            expectReadsBack(raw, locale);
    }
    return 0;
}

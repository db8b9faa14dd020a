// The numeric value of whatever a person types or pastes, and the number texts built from it.
#include "fuzz/FuzzInput.h"
#include "ui/TextValue.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzinput::Reader in(data, size);
    const bool utf8 = (in.byte() & 1) != 0;
    const QString text = utf8 ? in.restAsUtf8() : in.restAsLatin1();

    const double value = ui::NumericValue(text);
    fuzzinput::check(std::isfinite(value));
    // Leading blanks are skipped, and what follows the number does not change it.
    fuzzinput::check(ui::NumericValue(QStringLiteral("  ") + text) == value);
    fuzzinput::check(ui::NumericValue(text + QStringLiteral("x")) == value);

    // The default text of the value reads back as (nearly) the same number.
    const QString shown = ui::NumberText(value);
    const double back = ui::NumericValue(shown);
    fuzzinput::check(std::isfinite(back));
    fuzzinput::check(std::fabs(back - value) <= std::fabs(value) * 1e-14);
    fuzzinput::check(!ui::NumberText(value, QLatin1Char(',')).contains(QLatin1Char('.')));

    const auto whole = ui::RoundHalfEven(value);
    fuzzinput::check(std::fabs(value) > 9e18 ||
                     std::fabs(static_cast<double>(whole) - value) <= 0.5);
    fuzzinput::check(ui::TwoDigit(whole).size() <= 2);
    return 0;
}

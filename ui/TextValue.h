#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace ui {

// The numeric value of a text: its leading decimal number ("." as decimal point whatever the
// user's locale, an optional sign and exponent), leading blanks skipped; 0 when there is none.
// Always finite: beyond the range of a double it is the largest double, below it 0.
double NumericValue(const QString& text);

// The leading number as NumericValue reads it; nothing when the text does not start with one
// (empty, "abc", "-", ".").
std::optional<double> LeadingNumberValue(const QString& text);

// The number typed into a box: its leading decimal number as NumericValue reads it, but with a
// decimal comma read as the decimal point ("0,3127" is 0.3127 whatever the locale); nothing
// when the text holds no number (empty, "abc", "-"), which a box must refuse, not take as 0.
std::optional<double> TypedNumber(const QString& text);

// The text with the decimal comma of its leading number written as "." ("0,3127" gives
// "0.3127"); any other text as it is.
QString WithDecimalPoint(const QString& text);

// Two-digit text of n: the last two characters of "0" followed by the decimal digits of n
// (5 gives "05", 123 gives "23").
QString TwoDigit(long long n);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4);
// saturates at the limits of the result type.
std::int64_t RoundHalfEven(double value);

// The default text of a number: at most 15 significant digits, no trailing zeros, exponent
// form for very small or large magnitudes ("0.3", "250", "1E-05"), with the given separator
// whatever the user's locale.
QString NumberText(double value, QChar decimalSeparator = QLatin1Char('.'));

} // namespace ui

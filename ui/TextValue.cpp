#include "ui/TextValue.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace ui {

namespace {

struct LeadingNumber
{
    std::optional<double> value; // nothing when the text holds no number
    qsizetype separatorAt = -1;  // where its decimal separator stands, if it has one
};

// The leading decimal number of a text, leading blanks skipped; with `commaIsPoint` a comma
// serves as its decimal point as well as ".".
LeadingNumber leadingNumber(const QString& text, bool commaIsPoint)
{
    const qsizetype n = text.size();
    const auto digitAt = [&text, n](qsizetype at) {
        return at < n && text[at].unicode() >= '0' && text[at].unicode() <= '9';
    };
    qsizetype i = 0;
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    // The digits and the point as typed, for a conversion that does not depend on the locale;
    // and the power of ten of the first significant digit, to tell a number too large for a
    // double from one too small.
    std::string number;
    bool digits = false;
    bool significant = false;
    long magnitude = 0;
    while (digitAt(i)) {
        const char digit = static_cast<char>(text[i++].unicode());
        significant = significant || digit != '0';
        if (significant)
            ++magnitude;
        number += digit;
        digits = true;
    }
    if (significant)
        --magnitude;
    qsizetype separatorAt = -1;
    if (i < n && (text[i] == QLatin1Char('.') || (commaIsPoint && text[i] == QLatin1Char(',')))) {
        separatorAt = i;
        number += '.';
        ++i;
        for (long place = -1; digitAt(i); --place) {
            const char digit = static_cast<char>(text[i++].unicode());
            if (!significant && digit != '0') {
                significant = true;
                magnitude = place;
            }
            number += digit;
            digits = true;
        }
    }
    if (!digits)
        return {};
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        const bool negativeExponent = j < n && text[j] == QLatin1Char('-');
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            ++j;
        if (digitAt(j)) {
            // Anything beyond a few digits saturates anyway.
            long exponent = 0;
            for (; digitAt(j); ++j)
                exponent = std::min(exponent * 10 + (text[j].unicode() - '0'), 99999L);
            if (negativeExponent)
                exponent = -exponent;
            number += 'e' + std::to_string(exponent);
            magnitude += exponent;
        }
    }
    double value = 0.0;
    const std::errc error = std::from_chars(number.data(), number.data() + number.size(), value).ec;
    if (error == std::errc::result_out_of_range)
        value = magnitude > 0 ? DBL_MAX : 0.0;
    else if (error != std::errc() || !std::isfinite(value))
        value = 0.0;
    return {negative ? -value : value, separatorAt};
}

} // namespace

double NumericValue(const QString& text)
{
    return LeadingNumberValue(text).value_or(0.0);
}

std::optional<double> LeadingNumberValue(const QString& text)
{
    return leadingNumber(text, false).value;
}

std::optional<double> TypedNumber(const QString& text)
{
    return leadingNumber(text, true).value;
}

QString WithDecimalPoint(const QString& text)
{
    const LeadingNumber number = leadingNumber(text, true);
    QString result = text;
    if (number.separatorAt >= 0)
        result[number.separatorAt] = QLatin1Char('.');
    return result;
}

QString TwoDigit(long long n)
{
    return (QStringLiteral("0") + QString::number(n)).right(2);
}

std::int64_t RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double limit = 9.2e18;
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::nearbyint(value)); // default mode: halves to even
}

QString NumberText(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    // Not the C library's printf: its decimal point follows the user's locale.
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
    QString text = QString::fromLatin1(buffer, end - buffer).toUpper();
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    if (decimalSeparator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

} // namespace ui

#include "ui/TextValue.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace ui {

double NumericValue(const QString& text)
{
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    std::string number;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        number += static_cast<char>(text[i++].unicode());
    bool digits = false;
    while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
        number += static_cast<char>(text[i++].unicode());
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            number += static_cast<char>(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        std::string exponent = "e";
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            exponent += static_cast<char>(text[j++].unicode());
        bool expDigits = false;
        // Keep the exponent short: anything beyond saturates anyway.
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            if (exponent.size() < 8)
                exponent += static_cast<char>(text[j].unicode());
            ++j;
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value))
        value = value > 0 ? DBL_MAX : -DBL_MAX;
    if (std::isnan(value))
        value = 0.0;
    return value;
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
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    QString text = QString::fromLatin1(buffer);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    if (decimalSeparator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

} // namespace ui

#pragma once

#include <QChar>
#include <QString>

namespace panel {

// The text of a reading as the meter's four-digit display shows it: the number's default text
// (at most 15 significant digits, never an exponent form for small values) cut to the display
// width, padded with zeros, never rounded; a leading "-" for negative values. decimals is 0..4; 3
// and more behave alike. The separator is the user's decimal separator and is used for padding too.
QString FormatReading(double value, int decimals, QChar decimalSeparator = QLatin1Char('.'));

} // namespace panel

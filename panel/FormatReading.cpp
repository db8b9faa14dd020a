#include "panel/FormatReading.h"

#include "ui/TextValue.h"

namespace panel {

namespace {

QString WithoutSeparator(const QString& t, int l, int decimals, QChar sep)
{
    const auto zeros = [sep](int n) { return QString(sep) + QString(n, QLatin1Char('0')); };
    if (decimals <= 0)
        return t;
    if (l == 4)
        return t;
    if (decimals == 1)
        return t + zeros(1);
    if (decimals == 2)
        return l == 3 ? t + zeros(1) : t + zeros(2);
    switch (l) {
    case 3:
        return t + zeros(1);
    case 2:
        return t + zeros(2);
    case 1:
        return t + zeros(3);
    default:
        return QString(); // five or more characters do not fit the display
    }
}

} // namespace

QString FormatReading(double value, int decimals, QChar decimalSeparator)
{
    bool negative = false;
    if (value < 0) {
        value = -value;
        negative = true;
    }
    QString t = ui::NumberText(value, decimalSeparator);
    // Below 0.0001 the default text turns to exponent form ("9.29E-06"), whose cut digits would
    // read as a large reading; the display shows the plain zeros such a value starts with.
    if (value > 0 && value < 1e-4)
        t = QLatin1Char('0') + QString(decimalSeparator) + QStringLiteral("0000");
    int p = static_cast<int>(t.indexOf(QLatin1Char('.'))) + 1;
    if (p == 0)
        p = static_cast<int>(t.indexOf(QLatin1Char(','))) + 1;
    const int l = static_cast<int>(t.size());

    QString r;
    if (value > 9999) {
        r = t.left(4) + QLatin1Char('0');
    } else if (p == 0) {
        r = WithoutSeparator(t, l, decimals, decimalSeparator);
    } else if (p == 2) {
        if (decimals <= 0)
            r = t.left(1);
        else if (decimals == 1)
            r = t.left(3);
        else if (decimals == 2)
            r = l >= 4 ? t.left(4) : t + QLatin1Char('0');
        else if (l >= 5)
            r = t.left(value < 1 ? 6 : 5);
        else
            r = l == 4 ? t + QLatin1Char('0') : t + QStringLiteral("00");
    } else if (p == 3) {
        if (decimals <= 0)
            r = t.left(2);
        else if (decimals == 1)
            r = t.left(4);
        else
            r = l >= 5 ? t.left(5) : t + QLatin1Char('0');
    } else if (p == 4) {
        r = decimals <= 0 ? t.left(3) : t.left(5);
    } else {
        r = t.left(4);
    }
    return negative ? QLatin1Char('-') + r : r;
}

} // namespace panel

// FormatReading over any double and every decimals setting the display uses.
#include "fuzz/FuzzInput.h"
#include "panel/FormatReading.h"
#include "ui/TextValue.h"

#include <cmath>
#include <cstdlib>

namespace {

// The reading is the start of the number's text, possibly followed by padding zeros: the
// display cuts and pads but never rounds.
bool cutOrPadded(const QString& shown, const QString& full, QChar sep)
{
    if (full.startsWith(shown))
        return true;
    if (!shown.startsWith(full))
        return false;
    for (qsizetype i = full.size(); i < shown.size(); ++i) {
        if (shown[i] != QLatin1Char('0') && shown[i] != sep)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzinput::Reader in(data, size);
    const std::uint8_t choice = in.byte();
    // Mostly plain readings of the meter's size; sometimes any bit pattern at all.
    double value = in.number();
    if ((choice & 0x80) == 0 && std::isfinite(value))
        value = std::fmod(value, 1e6);
    const QChar sep = (choice & 0x40) != 0 ? QLatin1Char(',') : QLatin1Char('.');

    for (int decimals = -1; decimals <= 5; ++decimals) {
        const QString shown = panel::FormatReading(value, decimals, sep);
        if (!std::isfinite(value))
            continue;
        fuzzinput::check(shown.size() <= 8);
        const double magnitude = std::fabs(value);
        QString digits = shown;
        if (value < 0) {
            fuzzinput::check(digits.startsWith(QLatin1Char('-')));
            digits.remove(0, 1);
        }
        // Tiny values would print in exponent form; the display shows their leading zeros.
        const QString full = magnitude > 0 && magnitude < 1e-4
                                 ? QStringLiteral("0") + sep + QStringLiteral("0000")
                                 : ui::NumberText(magnitude, sep);
        if (magnitude > 9999)
            fuzzinput::check(digits.left(4) == full.left(4));
        else
            fuzzinput::check(cutOrPadded(digits, full, sep));
    }
    return 0;
}

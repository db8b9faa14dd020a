#include "panel/DisplayState.h"

#include "link/DisplayModes.h"
#include "panel/FormatReading.h"
#include "ui/TextValue.h"

#include <cmath>

namespace panel {

using meterlink::FrameFields;

namespace {

using meterlink::Basis;
using meterlink::DisplayMode;
using meterlink::ModeGroup;
using meterlink::ModeLine;
using meterlink::Quantity;

constexpr double FootCandlesPerLux = 0.0929;
constexpr double Scale = 10000.0;

// How illuminance quantities are shown: the unit text, and the decimals for the formatter.
struct IlluminanceRule
{
    QString unit; // "lx", "fc", or empty in the modes of X, Y, Z
    bool fc = false;
    int decimals = 1;
};

IlluminanceRule IlluminanceRuleFor(int mode, bool unitFc)
{
    const DisplayMode* shown = meterlink::FindDisplayMode(mode);
    if (shown && shown->lines[0].quantity == Quantity::X)
        return {QString(), false, 3};
    if (unitFc)
        return {QStringLiteral("fc"), true, 2};
    return {QStringLiteral("lx"), false, 1};
}

bool IsIlluminance(Quantity q)
{
    return q == Quantity::Ev || q == Quantity::EvMax || q == Quantity::EvMin;
}

// One value line, or a summary label: the quantity as the line's basis and decimals say.
QString LineText(const ModeLine& line, ModeGroup group, const FrameFields& f,
                 const IlluminanceRule& lum, QChar sep)
{
    const Quantity q = line.quantity;
    if (q == Quantity::None)
        return QString();
    if (q == Quantity::DeltaUv)
        return DeltaUvText(f.u - f.refu, f.v - f.refv, sep);
    // Out of its range the meter's colour temperature is no number; its reference still is.
    if ((q == Quantity::Tcp || q == Quantity::Duv) && line.basis != Basis::Reference &&
        f.tcpOutOfRange)
        return QStringLiteral("----");
    if (line.basis == Basis::Difference) {
        const meterlink::RawValue d = meterlink::DifferenceRaw(q, group, f);
        if (!IsIlluminance(q))
            return FormatReading(d.value(), line.decimals, sep);
        // In fc the difference in lx is converted, as the meter does.
        const double lux = static_cast<double>(d.raw) / Scale;
        return FormatReading(lum.fc ? lux * FootCandlesPerLux : lux, lum.decimals, sep);
    }
    const meterlink::RawValue v = line.basis == Basis::Reference
                                      ? meterlink::ReferenceRaw(q, group, f)
                                      : meterlink::MeasuredRaw(q, f);
    if (!IsIlluminance(q))
        return FormatReading(v.value(), line.decimals, sep);
    const auto raw = static_cast<double>(v.raw);
    return FormatReading(lum.fc ? raw * FootCandlesPerLux / Scale : raw / Scale, lum.decimals, sep);
}

// The summary beside the display, in the order of SummaryLabelNames.
constexpr std::array<ModeLine, 15> SummaryLines{{
    {Quantity::X, Basis::Measured, 1},
    {Quantity::Y, Basis::Measured, 1},
    {Quantity::Z, Basis::Measured, 1},
    {Quantity::Ev, Basis::Measured, meterlink::UnitDecimals},
    {Quantity::EvMax, Basis::Measured, meterlink::UnitDecimals},
    {Quantity::EvMin, Basis::Measured, meterlink::UnitDecimals},
    {Quantity::x, Basis::Measured, 3},
    {Quantity::y, Basis::Measured, 3},
    {Quantity::u, Basis::Measured, 3},
    {Quantity::v, Basis::Measured, 3},
    {Quantity::Wavelength, Basis::Measured, 1},
    {Quantity::Pe, Basis::Measured, 3},
    {Quantity::Pc, Basis::Measured, 3},
    {Quantity::Tcp, Basis::Measured, 0},
    {Quantity::Duv, Basis::Measured, 4},
}};

} // namespace

QString DeltaUvText(int du, int dv, QChar sep)
{
    const double root = std::sqrt(static_cast<double>(du) * du + static_cast<double>(dv) * dv);
    // The intermediate text always uses "." so that reading it back cannot depend on the locale.
    const double cut = ui::NumericValue(ui::NumberText(root).left(5));
    return FormatReading(cut / Scale, 4, sep);
}

QString ClockText(const FrameFields& f)
{
    switch (f.clockPage) {
    case 0:
        return ui::TwoDigit(f.minute) + QLatin1Char(':') + ui::TwoDigit(f.second);
    case 1:
        return ui::TwoDigit(f.day) + QLatin1Char('/') + ui::TwoDigit(f.hour);
    case 2:
        return QString::number(f.year).right(2) + QLatin1Char('\\') + ui::TwoDigit(f.month);
    default:
        return QString();
    }
}

DisplayState ComputeDisplay(const FrameFields& f, QChar sep)
{
    DisplayState d;
    // A battery byte above 6 hides every segment rather than indexing past the gauge.
    for (int i = 0; i < BatterySegments; ++i)
        d.batteryShown[static_cast<std::size_t>(i)] = i >= f.battery;
    d.memoryMark = f.memoryMark;
    d.autoMark = f.autoMark;
    d.sdMark = f.sdMark;
    d.recordMark = f.recordOn;
    d.intervalMark = f.interval;
    d.cfMark = f.cf;
    d.holdMark = f.hold;
    d.clock = ClockText(f);
    d.memoryCount = f.memoryFull ? QStringLiteral("FU") : ui::TwoDigit(f.memoryCount);

    const IlluminanceRule lum = IlluminanceRuleFor(f.mode, f.unitFc);
    d.unit = lum.unit;
    for (std::size_t i = 0; i < SummaryLines.size(); ++i)
        d.summary[i] = LineText(SummaryLines[i], ModeGroup::Measured, f, lum, sep);

    const DisplayMode* mode = meterlink::FindDisplayMode(f.mode);
    if (!mode) {
        // A mode the display does not know: legends go blank, the lines keep what they show.
        d.writeLines = false;
        return d;
    }
    const auto& [top, middle, bottom] = mode->lines;
    d.wavelengthSign = middle.quantity == Quantity::Wavelength;
    d.deltaTop = top.basis == Basis::Difference;
    d.deltaMiddle = middle.basis == Basis::Difference;
    // "uv" is delta-uv: a difference sign stands before its legend whatever the line shows.
    d.deltaBottom = bottom.basis == Basis::Difference || bottom.quantity == Quantity::Duv;
    d.secondDeltaBottom = bottom.basis == Basis::Difference && bottom.quantity == Quantity::Duv;
    d.referenceMark = top.basis == Basis::Reference;
    for (std::size_t i = 0; i < 3; ++i) {
        d.legends[i] = QString::fromUtf8(mode->legends[i]);
        d.lines[i] = LineText(mode->lines[i], mode->group, f, lum, sep);
    }
    // The maximum's overload blinks in its place.
    if (middle.quantity == Quantity::EvMax && f.maxOverload) {
        d.lines[1] = QStringLiteral("OL");
        d.middleBlinks = true;
    }
    // Overload: no values on the three lines; a steady "OL" marks it on the middle line.
    if (f.overload &&
        (mode->group == ModeGroup::Measured || mode->group == ModeGroup::Difference)) {
        d.lines = {QString(), QStringLiteral("OL"), QString()};
        d.middleBlinks = false;
    }
    if (middle.quantity == Quantity::Tcp)
        d.middleUnit = QStringLiteral("k");
    else if (d.wavelengthSign)
        d.middleUnit = QStringLiteral("nm");
    return d;
}

ReferenceTexts ComputeReferenceTexts(const FrameFields& f, QChar sep)
{
    const IlluminanceRule lum = IlluminanceRuleFor(f.mode, f.unitFc);
    const auto text = [&](Quantity q, int decimals) {
        return LineText({q, Basis::Reference, decimals}, ModeGroup::Reference, f, lum, sep);
    };
    return {text(Quantity::Ev, meterlink::UnitDecimals), text(Quantity::x, 4), text(Quantity::y, 4),
            text(Quantity::u, 3), text(Quantity::v, 3)};
}

} // namespace panel

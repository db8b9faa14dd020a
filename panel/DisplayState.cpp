#include "panel/DisplayState.h"

#include "panel/FormatReading.h"
#include "ui/TextValue.h"

#include <cmath>

namespace panel {

namespace {

constexpr double FootCandlesPerLux = 0.0929;
constexpr double Scale = 10000.0;

QString Scaled(double raw, int decimals, QChar sep)
{
    return FormatReading(raw / Scale, decimals, sep);
}

bool inModes(int mode, std::initializer_list<int> modes)
{
    for (int m : modes)
        if (m == mode)
            return true;
    return false;
}

} // namespace

IlluminanceRule IlluminanceRuleFor(int mode, bool unitFc)
{
    if (mode == 4 || mode == 11 || mode == 14)
        return {QString(), false, 3};
    if (unitFc)
        return {QStringLiteral("fc"), true, 2};
    return {QStringLiteral("lx"), false, 1};
}

QString IlluminanceText(std::uint32_t raw, const IlluminanceRule& rule, QChar sep)
{
    const double value = rule.fc ? raw * FootCandlesPerLux / Scale : raw / Scale;
    return FormatReading(value, rule.decimals, sep);
}

QString IlluminanceDifferenceText(std::int64_t rawDifference, const IlluminanceRule& rule,
                                  QChar sep)
{
    double value = static_cast<double>(rawDifference) / Scale;
    if (rule.fc)
        value *= FootCandlesPerLux;
    return FormatReading(value, rule.decimals, sep);
}

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
    d.m = f.memory;
    d.a = f.indicatorA;
    d.sd = f.sd;
    d.r = f.recordOn;
    d.intv = f.interval;
    d.cf = f.cf;
    d.h = f.hold;
    d.time = ClockText(f);
    d.memCnt = f.memoryFull ? QStringLiteral("FU") : ui::TwoDigit(f.memoryCount);

    const IlluminanceRule lum = IlluminanceRuleFor(f.mode, f.unitFc);
    d.unit = lum.unit;
    const QString ev = IlluminanceText(f.Ev, lum, sep);
    const QString evMax = IlluminanceText(f.EvMax, lum, sep);
    const QString evMin = IlluminanceText(f.EvMin, lum, sep);
    const auto diff = [](std::int64_t value, std::int64_t reference) { return value - reference; };
    const QString deltaEv = IlluminanceDifferenceText(diff(f.Y, f.refY), lum, sep);

    const int mode = f.mode;
    d.lenda = inModes(mode, {2, 3, 9, 10});
    d.deltaX = inModes(mode, {6, 7, 8, 9, 10, 11, 16});
    d.deltaY = inModes(mode, {6, 7, 9, 10, 11, 16});
    d.deltaZ = inModes(mode, {6, 7, 8, 9, 10, 11, 15, 16, 17});
    d.deltaZZ = mode == 16;
    d.ref = inModes(mode, {12, 13, 14, 17});

    const QString dashes = QStringLiteral("----");
    auto& l = d.lines;
    switch (mode) {
    case 0:
        l = {ev, Scaled(f.x, 3, sep), Scaled(f.y, 3, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("x"), QStringLiteral("y")};
        break;
    case 1:
        l = {ev, Scaled(f.u, 3, sep), Scaled(f.v, 3, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("u'"), QStringLiteral("v'")};
        break;
    case 2:
        l = {ev, FormatReading(f.wavelength / 10.0, 1, sep), Scaled(f.Pe, 3, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("d"), QStringLiteral("Pe")};
        break;
    case 3:
        l = {ev, FormatReading(f.wavelength / 10.0, 1, sep), Scaled(f.Pc, 3, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("d"), QStringLiteral("Pc")};
        break;
    case 4:
        l = {Scaled(f.X, 1, sep), Scaled(f.Y, 1, sep), Scaled(f.Z, 1, sep)};
        d.legends = {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
        break;
    case 5:
        l = {ev, f.maxOverload ? QStringLiteral("OL") : evMax, evMin};
        d.middleBlinks = f.maxOverload;
        d.legends = {QStringLiteral("Ev"), QStringLiteral("max"), QStringLiteral("min")};
        break;
    case 6:
        l = {deltaEv, Scaled(diff(f.x, f.refx), 4, sep), Scaled(diff(f.y, f.refy), 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("x"), QStringLiteral("y")};
        break;
    case 7:
        l = {deltaEv, Scaled(diff(f.u, f.refu), 4, sep), Scaled(diff(f.v, f.refv), 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("u'"), QStringLiteral("v'")};
        break;
    case 8:
        l = {deltaEv, QString(), DeltaUvText(f.u - f.refu, f.v - f.refv, sep)};
        d.legends = {QStringLiteral("Ev"), QString(), QStringLiteral("u'v'")};
        break;
    case 9:
        l = {deltaEv, FormatReading(diff(f.wavelength, f.refWavelength) / 10.0, 1, sep),
             Scaled(diff(f.Pe, f.refPe), 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("d"), QStringLiteral("Pe")};
        break;
    case 10:
        l = {deltaEv, FormatReading(diff(f.wavelength, f.refWavelength) / 10.0, 2, sep),
             Scaled(diff(f.Pc, f.refPc), 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("d"), QStringLiteral("Pc")};
        break;
    case 11:
        l = {Scaled(diff(f.X, f.refX), 1, sep), Scaled(diff(f.Y, f.refY), 1, sep),
             Scaled(diff(f.Z, f.refZ), 1, sep)};
        d.legends = {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
        break;
    case 12:
        l = {IlluminanceText(f.refY, lum, sep), Scaled(f.refx, 4, sep), Scaled(f.refy, 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("x"), QStringLiteral("y")};
        break;
    case 13:
        l = {IlluminanceText(f.refY, lum, sep), Scaled(f.refu, 3, sep), Scaled(f.refv, 3, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("u''"), QStringLiteral("v''")};
        break;
    case 14:
        l = {Scaled(f.refX, 1, sep), Scaled(f.refY, 1, sep), Scaled(f.refZ, 1, sep)};
        d.legends = {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
        break;
    case 15:
        l = {ev, f.tcpOutOfRange ? dashes : FormatReading(f.Tcp, 0, sep),
             f.tcpOutOfRange ? dashes : Scaled(f.duv, 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("Tcp"), QStringLiteral("uv")};
        break;
    case 16:
        // The meter sends Tcp in kelvin but the reference Tcp in 1/10000 K: the difference is
        // taken in kelvin so both sides count in the same unit.
        l = {IlluminanceDifferenceText(diff(f.Y, f.refEvTcp), lum, sep),
             f.tcpOutOfRange ? dashes
                             : FormatReading(static_cast<double>(f.Tcp) - f.refTcp / Scale, 0, sep),
             f.tcpOutOfRange ? dashes : Scaled(f.duv - f.refDuv, 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("Tcp"), QStringLiteral("uv")};
        break;
    case 17:
        l = {IlluminanceText(f.refEvTcp, lum, sep), FormatReading(f.refTcp / Scale, 0, sep),
             Scaled(f.refDuv, 4, sep)};
        d.legends = {QStringLiteral("Ev"), QStringLiteral("Tcp"), QStringLiteral("uv")};
        break;
    default:
        // A mode the display does not know: legends go blank, the lines keep what they show.
        d.writeLines = false;
        d.legends = {};
        break;
    }

    // Overload: no values on the three lines; a steady "OL" marks it on the middle line.
    if (f.overload && mode <= 11) {
        l = {QString(), QStringLiteral("OL"), QString()};
        d.middleBlinks = false;
    }

    if (d.legends[1].contains(QLatin1String("Tcp")))
        d.knm = QStringLiteral("k");
    else if (d.lenda)
        d.knm = QStringLiteral("nm");

    d.summary = {Scaled(f.X, 1, sep),
                 Scaled(f.Y, 1, sep),
                 Scaled(f.Z, 1, sep),
                 ev,
                 evMax,
                 evMin,
                 Scaled(f.x, 3, sep),
                 Scaled(f.y, 3, sep),
                 Scaled(f.u, 3, sep),
                 Scaled(f.v, 3, sep),
                 FormatReading(f.wavelength / 10.0, 1, sep),
                 Scaled(f.Pe, 3, sep),
                 Scaled(f.Pc, 3, sep),
                 f.tcpOutOfRange ? dashes : FormatReading(f.Tcp, 0, sep),
                 f.tcpOutOfRange ? dashes : Scaled(f.duv, 4, sep)};
    return d;
}

ReferenceTexts ComputeReferenceTexts(const FrameFields& f, QChar sep)
{
    const IlluminanceRule lum = IlluminanceRuleFor(f.mode, f.unitFc);
    return {IlluminanceText(f.refY, lum, sep), Scaled(f.refx, 4, sep), Scaled(f.refy, 4, sep),
            Scaled(f.refu, 3, sep), Scaled(f.refv, 3, sep)};
}

std::optional<files::Reading> ReadingFromFrame(const FrameFields& f)
{
    if (f.setUp || f.overload)
        return std::nullopt;
    files::Reading r;
    r.year = r.month = r.day = 0;
    r.X = f.X / Scale;
    r.Y = f.Y / Scale;
    r.Z = f.Z / Scale;
    r.Ev = f.Ev / Scale;
    r.Tcp = f.Tcp;
    r.x = f.x / Scale;
    r.y = f.y / Scale;
    r.u = f.u / Scale;
    r.v = f.v / Scale;
    r.duv = f.duv / Scale;
    r.tcpOutOfRange = f.tcpOutOfRange;
    return r;
}

} // namespace panel

#include "link/DisplayModes.h"

#include <algorithm>

namespace meterlink {

namespace {

constexpr std::int64_t Scale = 10000;

constexpr ModeLine Ev{Quantity::Ev, Basis::Measured, UnitDecimals};
constexpr ModeLine EvDifference{Quantity::Ev, Basis::Difference, UnitDecimals};
constexpr ModeLine EvReference{Quantity::Ev, Basis::Reference, UnitDecimals};

constexpr ModeLine measured(Quantity q, int decimals)
{
    return {q, Basis::Measured, decimals};
}
constexpr ModeLine difference(Quantity q, int decimals)
{
    return {q, Basis::Difference, decimals};
}
constexpr ModeLine reference(Quantity q, int decimals)
{
    return {q, Basis::Reference, decimals};
}

} // namespace

const std::array<DisplayMode, DisplayModeCount> DisplayModes{{
    // 0-5: the measured values
    {ModeGroup::Measured,
     {"Ev", "x", "y"},
     {Ev, measured(Quantity::x, 3), measured(Quantity::y, 3)}},
    {ModeGroup::Measured,
     {"Ev", "u'", "v'"},
     {Ev, measured(Quantity::u, 3), measured(Quantity::v, 3)}},
    {ModeGroup::Measured,
     {"Ev", "d", "Pe"},
     {Ev, measured(Quantity::Wavelength, 1), measured(Quantity::Pe, 3)}},
    {ModeGroup::Measured,
     {"Ev", "d", "Pc"},
     {Ev, measured(Quantity::Wavelength, 1), measured(Quantity::Pc, 3)}},
    {ModeGroup::Measured,
     {"X", "Y", "Z"},
     {measured(Quantity::X, 1), measured(Quantity::Y, 1), measured(Quantity::Z, 1)}},
    {ModeGroup::Measured,
     {"Ev", "max", "min"},
     {Ev, measured(Quantity::EvMax, UnitDecimals), measured(Quantity::EvMin, UnitDecimals)}},
    // 6-11: the differences against the references
    {ModeGroup::Difference,
     {"Ev", "x", "y"},
     {EvDifference, difference(Quantity::x, 4), difference(Quantity::y, 4)}},
    {ModeGroup::Difference,
     {"Ev", "u'", "v'"},
     {EvDifference, difference(Quantity::u, 4), difference(Quantity::v, 4)}},
    {ModeGroup::Difference,
     {"Ev", "", "u'v'"},
     {EvDifference, {}, difference(Quantity::DeltaUv, 4)}},
    {ModeGroup::Difference,
     {"Ev", "d", "Pe"},
     {EvDifference, difference(Quantity::Wavelength, 1), difference(Quantity::Pe, 4)}},
    {ModeGroup::Difference,
     {"Ev", "d", "Pc"},
     {EvDifference, difference(Quantity::Wavelength, 2), difference(Quantity::Pc, 4)}},
    {ModeGroup::Difference,
     {"X", "Y", "Z"},
     {difference(Quantity::X, 1), difference(Quantity::Y, 1), difference(Quantity::Z, 1)}},
    // 12-14: the references
    {ModeGroup::Reference,
     {"Ev", "x", "y"},
     {EvReference, reference(Quantity::x, 4), reference(Quantity::y, 4)}},
    {ModeGroup::Reference,
     {"Ev", "u''", "v''"},
     {EvReference, reference(Quantity::u, 3), reference(Quantity::v, 3)}},
    {ModeGroup::Reference,
     {"X", "Y", "Z"},
     {reference(Quantity::X, 1), reference(Quantity::Y, 1), reference(Quantity::Z, 1)}},
    // 15-17: the colour temperature, its difference and its reference
    {ModeGroup::Temperature,
     {"Ev", "Tcp", "uv"},
     {Ev, measured(Quantity::Tcp, 0), measured(Quantity::Duv, 4)}},
    {ModeGroup::Temperature,
     {"Ev", "Tcp", "uv"},
     {EvDifference, difference(Quantity::Tcp, 0), difference(Quantity::Duv, 4)}},
    {ModeGroup::Temperature,
     {"Ev", "Tcp", "uv"},
     {EvReference, reference(Quantity::Tcp, 0), reference(Quantity::Duv, 4)}},
}};

const DisplayMode* FindDisplayMode(int mode)
{
    if (mode < 0 || mode >= DisplayModeCount)
        return nullptr;
    return &DisplayModes[static_cast<std::size_t>(mode)];
}

ModeRange ModesOf(ModeGroup group)
{
    ModeRange range{DisplayModeCount, -1};
    for (int mode = 0; mode < DisplayModeCount; ++mode) {
        if (DisplayModes[static_cast<std::size_t>(mode)].group == group) {
            range.first = std::min(range.first, mode);
            range.last = std::max(range.last, mode);
        }
    }
    return range;
}

RawValue MeasuredRaw(Quantity quantity, const FrameFields& f)
{
    switch (quantity) {
    case Quantity::Ev:
        return {f.Ev, Scale};
    case Quantity::EvMax:
        return {f.EvMax, Scale};
    case Quantity::EvMin:
        return {f.EvMin, Scale};
    case Quantity::X:
        return {f.X, Scale};
    case Quantity::Y:
        return {f.Y, Scale};
    case Quantity::Z:
        return {f.Z, Scale};
    case Quantity::x:
        return {f.x, Scale};
    case Quantity::y:
        return {f.y, Scale};
    case Quantity::u:
        return {f.u, Scale};
    case Quantity::v:
        return {f.v, Scale};
    case Quantity::Wavelength:
        return {f.wavelength, 10};
    case Quantity::Pe:
        return {f.Pe, Scale};
    case Quantity::Pc:
        return {f.Pc, Scale};
    case Quantity::Tcp:
        return {f.Tcp, 1};
    case Quantity::Duv:
        return {f.duv, Scale};
    case Quantity::None:
    case Quantity::DeltaUv:
        break;
    }
    return {};
}

RawValue ReferenceRaw(Quantity quantity, ModeGroup group, const FrameFields& f)
{
    switch (quantity) {
    case Quantity::Ev:
        return {group == ModeGroup::Temperature ? f.refEvTcp : f.refY, Scale};
    case Quantity::X:
        return {f.refX, Scale};
    case Quantity::Y:
        return {f.refY, Scale};
    case Quantity::Z:
        return {f.refZ, Scale};
    case Quantity::x:
        return {f.refx, Scale};
    case Quantity::y:
        return {f.refy, Scale};
    case Quantity::u:
        return {f.refu, Scale};
    case Quantity::v:
        return {f.refv, Scale};
    case Quantity::Wavelength:
        return {f.refWavelength, 10};
    case Quantity::Pe:
        return {f.refPe, Scale};
    case Quantity::Pc:
        return {f.refPc, Scale};
    case Quantity::Tcp:
        // Unlike the measured one, the reference temperature carries four decimals.
        return {f.refTcp, Scale};
    case Quantity::Duv:
        return {f.refDuv, Scale};
    case Quantity::None:
    case Quantity::EvMax:
    case Quantity::EvMin:
    case Quantity::DeltaUv:
        break;
    }
    return {};
}

RawValue DifferenceRaw(Quantity quantity, ModeGroup group, const FrameFields& f)
{
    const RawValue measured = MeasuredRaw(quantity == Quantity::Ev ? Quantity::Y : quantity, f);
    const RawValue stored = ReferenceRaw(quantity, group, f);
    // Both counted in the finer of their units, so that the difference stays an integer.
    const std::int64_t divisor = std::max(measured.divisor, stored.divisor);
    return {measured.raw * (divisor / measured.divisor) - stored.raw * (divisor / stored.divisor),
            divisor};
}

} // namespace meterlink

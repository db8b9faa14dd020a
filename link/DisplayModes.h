#pragma once

#include "link/MeasurementFrame.h"

#include <array>
#include <cstdint>

namespace meterlink {

// The meter's display modes fall into four groups: the measured values (modes 0-5), their
// differences against the stored references (6-11), the references themselves (12-14), and the
// colour temperature with its difference and its reference (15-17).
enum class ModeGroup
{
    Measured,
    Difference,
    Reference,
    Temperature,
};

// A quantity a value line of the display shows.
enum class Quantity
{
    None,
    Ev,
    EvMax,
    EvMin,
    X,
    Y,
    Z,
    x,
    y,
    u,
    v,
    Wavelength,
    Pe,
    Pc,
    Tcp,
    Duv,
    DeltaUv, // the distance of u', v' from the reference u', v'
};

// What of its quantity a line shows.
enum class Basis
{
    Measured,
    Difference, // the measured value minus the stored reference
    Reference,
};

// Illuminance lines (Ev, its maximum and minimum) take their decimals from the unit shown.
inline constexpr int UnitDecimals = -1;

struct ModeLine
{
    Quantity quantity = Quantity::None;
    Basis basis = Basis::Measured;
    int decimals = 0;
};

struct DisplayMode
{
    ModeGroup group;
    std::array<const char*, 3> legends; // top, middle, bottom, as the meter writes them
    std::array<ModeLine, 3> lines;
};

inline constexpr int DisplayModeCount = 18;
extern const std::array<DisplayMode, DisplayModeCount> DisplayModes;

// The row of a mode number; nothing for a number the meter has no mode for.
const DisplayMode* FindDisplayMode(int mode);

// The first and last mode of a group.
struct ModeRange
{
    int first;
    int last;
};
ModeRange ModesOf(ModeGroup group);

// A quantity as the frame carries it: an integer and the divisor that gives its unit.
struct RawValue
{
    std::int64_t raw = 0;
    std::int64_t divisor = 1;

    double value() const { return static_cast<double>(raw) / static_cast<double>(divisor); }
};

// The measured quantity; the reference, as the mode group keeps it (the temperature group
// compares the illuminance against the temperature reference's own); and the difference the
// meter shows, measured minus reference on the integers. The illuminance difference is taken
// from tristimulus Y. Nothing (0) for a quantity without a reference.
RawValue MeasuredRaw(Quantity quantity, const FrameFields& f);
RawValue ReferenceRaw(Quantity quantity, ModeGroup group, const FrameFields& f);
RawValue DifferenceRaw(Quantity quantity, ModeGroup group, const FrameFields& f);

} // namespace meterlink

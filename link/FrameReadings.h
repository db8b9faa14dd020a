#pragma once

#include "colorimetry/Chromaticity.h"
#include "files/RecordLine.h"
#include "link/MeasurementFrame.h"

#include <array>
#include <cstddef>
#include <optional>

namespace meterlink {

// The quantities a reading of the live frame lists, in the order the List shows them.
enum class ListedQuantity
{
    X,
    Y,
    Z,
    Ev,
    x,
    y,
    u,
    v,
    Tcp,
    Duv,
    Wavelength,
    Pe,
    Pc,
};
inline constexpr std::size_t ListedQuantityCount = 13;

// One reading of a frame: its display mode and its quantities scaled to their units (X, Y, Z and
// Ev in lx, Tcp in K, the wavelength in nm). A quantity the meter marks as not valid is missing:
// every one in an overload, Tcp and delta-uv while the colour temperature is out of range.
struct ListedReading
{
    int mode = 0;
    bool overload = false;
    std::array<std::optional<double>, ListedQuantityCount> values{};

    const std::optional<double>& value(ListedQuantity quantity) const
    {
        return values[static_cast<std::size_t>(quantity)];
    }
};

ListedReading ListedReadingFromFrame(const FrameFields& f);

// The reading a recording on the PC writes; the date and time are left for the recorder.
// Nothing for a frame whose values the meter marks as not valid: taken in its set-up menu or in
// overload.
std::optional<files::Reading> RecordReadingFromFrame(const FrameFields& f);

// The live chromaticity and the stored reference, as the chromaticity diagrams mark them.
struct ChromaticityReading
{
    colorimetry::XY live;
    colorimetry::UV liveUv;
    colorimetry::XY reference;
    colorimetry::UV referenceUv;

    // A meter with no reference stored sends zeros.
    bool hasReference() const { return reference.x > 0 || reference.y > 0; }
};

// Nothing while the meter shows no chromaticity: in its own set-up menu, or in overload.
std::optional<ChromaticityReading> ChromaticityFromFrame(const FrameFields& f);

} // namespace meterlink

#include "link/FrameReadings.h"

namespace meterlink {

namespace {

constexpr double Scale = 10000.0;

double scaled(std::int64_t raw)
{
    return static_cast<double>(raw) / Scale;
}

} // namespace

ListedReading ListedReadingFromFrame(const FrameFields& f)
{
    ListedReading reading;
    reading.mode = f.mode;
    reading.overload = f.overload;
    if (f.overload)
        return reading;
    const auto at = [&reading](ListedQuantity q) -> std::optional<double>& {
        return reading.values[static_cast<std::size_t>(q)];
    };
    at(ListedQuantity::X) = scaled(f.X);
    at(ListedQuantity::Y) = scaled(f.Y);
    at(ListedQuantity::Z) = scaled(f.Z);
    at(ListedQuantity::Ev) = scaled(f.Ev);
    at(ListedQuantity::x) = scaled(f.x);
    at(ListedQuantity::y) = scaled(f.y);
    at(ListedQuantity::u) = scaled(f.u);
    at(ListedQuantity::v) = scaled(f.v);
    if (!f.tcpOutOfRange) {
        at(ListedQuantity::Tcp) = static_cast<double>(f.Tcp);
        at(ListedQuantity::Duv) = scaled(f.duv);
    }
    at(ListedQuantity::Wavelength) = f.wavelength / 10.0;
    at(ListedQuantity::Pe) = scaled(f.Pe);
    at(ListedQuantity::Pc) = scaled(f.Pc);
    return reading;
}

std::optional<files::Reading> RecordReadingFromFrame(const FrameFields& f)
{
    if (f.setUp || f.overload)
        return std::nullopt;
    files::Reading r;
    r.year = r.month = r.day = 0;
    r.X = scaled(f.X);
    r.Y = scaled(f.Y);
    r.Z = scaled(f.Z);
    r.Ev = scaled(f.Ev);
    r.Tcp = f.Tcp;
    r.x = scaled(f.x);
    r.y = scaled(f.y);
    r.u = scaled(f.u);
    r.v = scaled(f.v);
    r.duv = scaled(f.duv);
    r.tcpOutOfRange = f.tcpOutOfRange;
    return r;
}

std::optional<ChromaticityReading> ChromaticityFromFrame(const FrameFields& f)
{
    if (f.setUp || f.overload)
        return std::nullopt;
    return ChromaticityReading{{scaled(f.x), scaled(f.y)},
                               {scaled(f.u), scaled(f.v)},
                               {scaled(f.refx), scaled(f.refy)},
                               {scaled(f.refu), scaled(f.refv)}};
}

} // namespace meterlink

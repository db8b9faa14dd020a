#include "virtualmeter/FrameEncoder.h"

#include <algorithm>
#include <cmath>

namespace virtualmeter {

namespace {

double scaled(double value, double scale)
{
    const double raw = std::round(value * scale);
    return std::isfinite(raw) ? raw : 0.0;
}

class FrameWriter
{
public:
    explicit FrameWriter(Frame& frame) : m_frame(frame) {}

    // Positions are frame byte numbers, 1..128.
    void u32(int at, std::uint32_t v)
    {
        byte(at, v >> 24);
        byte(at + 1, v >> 16);
        byte(at + 2, v >> 8);
        byte(at + 3, v);
    }
    void u16(int at, std::uint16_t v)
    {
        byte(at, v >> 8U);
        byte(at + 1, v);
    }
    void byte(int at, std::uint32_t v)
    {
        m_frame[static_cast<std::size_t>(at - 1)] = static_cast<std::uint8_t>(v & 0xFFU);
    }

private:
    Frame& m_frame;
};

} // namespace

std::uint32_t scaledU32(double value, double scale)
{
    return static_cast<std::uint32_t>(std::clamp(scaled(value, scale), 0.0, 4294967295.0));
}

std::uint16_t scaledU16(double value, double scale)
{
    return static_cast<std::uint16_t>(std::clamp(scaled(value, scale), 0.0, 65535.0));
}

std::uint16_t scaledS16(double value, double scale)
{
    const auto raw = static_cast<std::int32_t>(std::clamp(scaled(value, scale), -32768.0, 32767.0));
    return static_cast<std::uint16_t>(raw < 0 ? raw + 65536 : raw);
}

std::uint16_t scaledSM16(double value, double scale)
{
    const double raw = scaled(value, scale);
    const auto magnitude = static_cast<std::uint16_t>(std::min(std::abs(raw), 32767.0));
    return raw < 0 ? static_cast<std::uint16_t>(0x8000U | magnitude) : magnitude;
}

Frame encodeFrame(const FrameContent& c)
{
    Frame frame{};
    FrameWriter w(frame);
    const Measurement& m = c.live;
    w.u32(1, scaledU32(m.X, 10000));
    w.u32(5, scaledU32(m.Y, 10000));
    w.u32(9, scaledU32(m.Z, 10000));
    w.u32(13, scaledU32(m.Ev, 10000));
    w.u16(17, scaledU16(m.x, 10000));
    w.u16(19, scaledU16(m.y, 10000));
    w.u16(21, scaledU16(m.u, 10000));
    w.u16(23, scaledU16(m.v, 10000));
    w.u16(25, scaledU16(m.wavelength, 10));
    w.u16(27, scaledU16(m.Pe, 10000));
    w.u16(29, scaledSM16(m.Pc, 10000));
    w.u32(31, scaledU32(c.evMax, 10000));
    w.u32(35, scaledU32(c.evMin, 10000));
    w.u32(39, scaledU32(m.Tcp, 1));
    w.u16(43, scaledS16(m.duv, 10000));

    const Measurement& r = c.reference;
    w.u32(45, scaledU32(r.X, 10000));
    w.u32(49, scaledU32(r.Y, 10000));
    w.u32(53, scaledU32(r.Z, 10000));
    w.u16(57, scaledU16(r.x, 10000));
    w.u16(59, scaledU16(r.y, 10000));
    w.u16(61, scaledU16(r.u, 10000));
    w.u16(63, scaledU16(r.v, 10000));
    w.u16(65, scaledU16(r.wavelength, 10));
    w.u16(67, scaledU16(r.Pe, 10000));
    w.u16(69, scaledSM16(r.Pc, 10000));
    w.u32(71, scaledU32(c.temperatureReference.ev, 10000));
    // The reference temperature carries four decimals, unlike the live one.
    w.u32(75, scaledU32(c.temperatureReference.tcp, 10000));
    w.u16(79, scaledS16(c.temperatureReference.duv, 10000));

    w.u16(81, static_cast<std::uint16_t>(std::clamp(c.clock.year, 0, 65535)));
    w.byte(83, static_cast<std::uint32_t>(c.clock.month));
    w.byte(84, static_cast<std::uint32_t>(c.clock.day));
    w.byte(85, static_cast<std::uint32_t>(c.clock.hour));
    w.byte(86, static_cast<std::uint32_t>(c.clock.minute));
    w.byte(87, static_cast<std::uint32_t>(c.clock.second));
    w.byte(88, c.clockPage);
    w.byte(89, c.memoryCount);
    w.byte(90, c.mode);
    w.byte(91, c.setup);
    w.byte(92, c.unit);
    w.byte(93, c.flagsA);
    w.byte(94, c.battery);
    w.byte(95, c.flagsB);
    w.byte(96, c.interval);
    return frame;
}

std::pair<Report, Report> splitFrame(const Frame& frame)
{
    Report first{};
    Report second{};
    std::copy_n(frame.begin(), 64, first.begin() + 1);
    std::copy_n(frame.begin() + 64, 64, second.begin() + 1);
    return {first, second};
}

} // namespace virtualmeter

#pragma once

#include "link/MeasurementFrame.h"

#include <cstdint>

namespace paneltest {

// Writes frame fields at their 1-based byte positions, big-endian as the meter sends them.
struct FrameBuilder
{
    meterlink::Frame frame{};

    FrameBuilder& byte(int pos, std::uint8_t value)
    {
        frame[static_cast<std::size_t>(pos - 1)] = value;
        return *this;
    }
    FrameBuilder& u16(int pos, std::uint32_t value)
    {
        byte(pos, static_cast<std::uint8_t>(value >> 8));
        return byte(pos + 1, static_cast<std::uint8_t>(value));
    }
    FrameBuilder& u32(int pos, std::uint32_t value)
    {
        u16(pos, value >> 16);
        return u16(pos + 2, value & 0xFFFF);
    }
    FrameBuilder& s16(int pos, int value) { return u16(pos, static_cast<std::uint16_t>(value)); }
    FrameBuilder& mode(int m) { return byte(90, static_cast<std::uint8_t>(m)); }
    meterlink::FrameFields fields() const { return meterlink::DecodeFrame(frame); }
};

} // namespace paneltest

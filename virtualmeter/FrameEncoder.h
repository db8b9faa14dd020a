#pragma once

#include "virtualmeter/Calendar.h"
#include "virtualmeter/LightSource.h"

#include <array>
#include <cstdint>
#include <utility>

namespace virtualmeter {

using Report = std::array<std::uint8_t, 65>;
// The 128 data bytes of the poll answer; frame byte n is at index n - 1.
using Frame = std::array<std::uint8_t, 128>;

// What the temperature modes compare against.
struct TemperatureReference
{
    double ev = 0;
    double tcp = 0;
    double duv = 0;
};

// Everything one poll answer carries, in display units; the encoder scales and packs it.
struct FrameContent
{
    Measurement live;
    double evMax = 0;
    double evMin = 0;
    Measurement reference;
    TemperatureReference temperatureReference;
    CalendarTime clock;
    std::uint8_t clockPage = 0;
    std::uint8_t memoryCount = 0;
    std::uint8_t mode = 0;
    std::uint8_t setup = 0;
    std::uint8_t unit = 0; // 0 lx, else fc
    std::uint8_t flagsA = 0;
    std::uint8_t battery = 0; // battery segments to hide
    std::uint8_t flagsB = 0;
    std::uint8_t interval = 0;
};

namespace flagA {
inline constexpr std::uint8_t CF = 0x01;
inline constexpr std::uint8_t Overload = 0x02;
inline constexpr std::uint8_t MaxOverload = 0x04;
inline constexpr std::uint8_t TcpOutOfRange = 0x08;
inline constexpr std::uint8_t Hold = 0x10;
} // namespace flagA

namespace flagB {
inline constexpr std::uint8_t M = 0x01;
inline constexpr std::uint8_t MemoryFull = 0x02;
inline constexpr std::uint8_t A = 0x04;
inline constexpr std::uint8_t SD = 0x08;
inline constexpr std::uint8_t R = 0x40;
inline constexpr std::uint8_t MemoryRecording = 0x80;
} // namespace flagB

// Scaled integers as the frame carries them; values beyond a field are held at its limit.
std::uint32_t scaledU32(double value, double scale);
std::uint16_t scaledU16(double value, double scale);
// Two's complement and sign-magnitude 16-bit fields.
std::uint16_t scaledS16(double value, double scale);
std::uint16_t scaledSM16(double value, double scale);

Frame encodeFrame(const FrameContent& content);

// The two input reports of the poll answer: report ID 0, then 64 frame bytes each.
std::pair<Report, Report> splitFrame(const Frame& frame);

} // namespace virtualmeter

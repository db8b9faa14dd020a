#pragma once

#include "link/Answer.h"

#include <array>
#include <cstdint>

namespace meterlink {

// The meter's display state: the data bytes of the poll answer (frame bytes 1..64) followed by
// those of the report the meter sends right after it (65..128). Index 0 holds frame byte 1.
using Frame = std::array<std::uint8_t, 128>;

// Joins the data bytes of the two answer reports; the report IDs are not part of the frame.
Frame AssembleFrame(const Answer& first, const Answer& second);

// Every field of a frame as the raw integers the meter sent; scaling happens when the display
// texts are made, so that differences are taken on the integers.
struct FrameFields
{
    std::uint32_t X = 0, Y = 0, Z = 0;        // /10000
    std::uint32_t Ev = 0;                     // lx /10000
    std::uint16_t x = 0, y = 0, u = 0, v = 0; // /10000
    std::uint16_t wavelength = 0;             // nm /10
    std::uint16_t Pe = 0;                     // /10000
    int Pc = 0;                               // /10000
    std::uint32_t EvMax = 0, EvMin = 0;       // lx /10000
    std::uint32_t Tcp = 0;                    // K
    int duv = 0;                              // /10000

    std::uint32_t refX = 0, refY = 0, refZ = 0; // /10000; refY is also the reference Ev
    std::uint16_t refx = 0, refy = 0, refu = 0, refv = 0;
    std::uint16_t refWavelength = 0;
    std::uint16_t refPe = 0;
    int refPc = 0;
    std::uint32_t refEvTcp = 0; // illuminance of the temperature reference, lx /10000
    std::uint32_t refTcp = 0;   // K /10000
    int refDuv = 0;

    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int clockPage = 0;
    int memoryCount = 0;
    int mode = 0;
    bool setUp = false;  // the meter shows its own set-up menu
    bool unitFc = false; // any non-zero unit byte means fc
    int battery = 0;     // segments to hide
    bool interval = false;

    // Flags A
    bool cf = false, overload = false, maxOverload = false, tcpOutOfRange = false, hold = false;
    // Flags B: the "M", "A" and "SD" indicators, and the memory count reading "FU"
    bool memoryMark = false, autoMark = false, sdMark = false, memoryFull = false;
    bool recordOn = false;   // the "R" indicator; the toolbar ignores clicks while it is on
    bool memoryBusy = false; // the meter records into its own memory
};

FrameFields DecodeFrame(const Frame& frame);

} // namespace meterlink

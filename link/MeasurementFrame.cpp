#include "link/MeasurementFrame.h"

#include <algorithm>

namespace meterlink {

Frame AssembleFrame(const Answer& first, const Answer& second)
{
    Frame frame{};
    const auto half = Answer::DataBytes;
    std::ranges::copy(first.bytes(1, half), frame.begin());
    std::ranges::copy(second.bytes(1, half), frame.begin() + half);
    return frame;
}

FrameFields DecodeFrame(const Frame& frame)
{
    const ByteReader r(frame);
    FrameFields f;
    f.X = r.u32(1);
    f.Y = r.u32(5);
    f.Z = r.u32(9);
    f.Ev = r.u32(13);
    f.x = r.u16(17);
    f.y = r.u16(19);
    f.u = r.u16(21);
    f.v = r.u16(23);
    f.wavelength = r.u16(25);
    f.Pe = r.u16(27);
    f.Pc = r.sm16(29);
    f.EvMax = r.u32(31);
    f.EvMin = r.u32(35);
    f.Tcp = r.u32(39);
    f.duv = r.s16(43);

    f.refX = r.u32(45);
    f.refY = r.u32(49);
    f.refZ = r.u32(53);
    f.refx = r.u16(57);
    f.refy = r.u16(59);
    f.refu = r.u16(61);
    f.refv = r.u16(63);
    f.refWavelength = r.u16(65);
    f.refPe = r.u16(67);
    f.refPc = r.sm16(69);
    f.refEvTcp = r.u32(71);
    f.refTcp = r.u32(75);
    f.refDuv = r.s16(79);

    f.year = r.u16(81);
    f.month = r.byte(83);
    f.day = r.byte(84);
    f.hour = r.byte(85);
    f.minute = r.byte(86);
    f.second = r.byte(87);
    f.clockPage = r.byte(88);
    f.memoryCount = r.byte(89);
    f.mode = r.byte(90);
    f.setUp = r.byte(91) != 0;
    f.unitFc = r.byte(92) != 0;
    f.battery = r.byte(94);
    f.interval = r.byte(96) == 1;

    const std::uint8_t a = r.byte(93);
    f.cf = (a & 0x01) != 0;
    f.overload = (a & 0x02) != 0;
    f.maxOverload = (a & 0x04) != 0;
    f.tcpOutOfRange = (a & 0x08) != 0;
    f.hold = (a & 0x10) != 0;

    const std::uint8_t b = r.byte(95);
    f.memoryMark = (b & 0x01) != 0;
    f.memoryFull = (b & 0x02) != 0;
    f.autoMark = (b & 0x04) != 0;
    f.sdMark = (b & 0x08) != 0;
    f.recordOn = (b & 0x40) != 0;
    f.memoryBusy = (b & 0x80) != 0;
    return f;
}

} // namespace meterlink

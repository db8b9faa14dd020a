#include "panel/MeasurementFrame.h"

#include <algorithm>

namespace panel {

Frame AssembleFrame(const Report& first, const Report& second)
{
    Frame frame{};
    std::copy_n(first.begin() + 1, 64, frame.begin());
    std::copy_n(second.begin() + 1, 64, frame.begin() + 64);
    return frame;
}

std::uint8_t Byte(const Frame& frame, int pos)
{
    if (pos < 1 || pos > static_cast<int>(frame.size()))
        return 0;
    return frame[static_cast<std::size_t>(pos - 1)];
}

std::uint16_t U16(const Frame& frame, int pos)
{
    return static_cast<std::uint16_t>(Byte(frame, pos) << 8 | Byte(frame, pos + 1));
}

std::uint32_t U32(const Frame& frame, int pos)
{
    return static_cast<std::uint32_t>(U16(frame, pos)) << 16 | U16(frame, pos + 2);
}

int S16(const Frame& frame, int pos)
{
    const int value = U16(frame, pos);
    return value > 32767 ? value - 65536 : value;
}

int SM16(const Frame& frame, int pos)
{
    const int value = U16(frame, pos);
    return value > 32767 ? -(value - 32768) : value;
}

FrameFields DecodeFrame(const Frame& frame)
{
    FrameFields f;
    f.X = U32(frame, 1);
    f.Y = U32(frame, 5);
    f.Z = U32(frame, 9);
    f.Ev = U32(frame, 13);
    f.x = U16(frame, 17);
    f.y = U16(frame, 19);
    f.u = U16(frame, 21);
    f.v = U16(frame, 23);
    f.wavelength = U16(frame, 25);
    f.Pe = U16(frame, 27);
    f.Pc = SM16(frame, 29);
    f.EvMax = U32(frame, 31);
    f.EvMin = U32(frame, 35);
    f.Tcp = U32(frame, 39);
    f.duv = S16(frame, 43);

    f.refX = U32(frame, 45);
    f.refY = U32(frame, 49);
    f.refZ = U32(frame, 53);
    f.refx = U16(frame, 57);
    f.refy = U16(frame, 59);
    f.refu = U16(frame, 61);
    f.refv = U16(frame, 63);
    f.refWavelength = U16(frame, 65);
    f.refPe = U16(frame, 67);
    f.refPc = SM16(frame, 69);
    f.refEvTcp = U32(frame, 71);
    f.refTcp = U32(frame, 75);
    f.refDuv = S16(frame, 79);

    f.year = U16(frame, 81);
    f.month = Byte(frame, 83);
    f.day = Byte(frame, 84);
    f.hour = Byte(frame, 85);
    f.minute = Byte(frame, 86);
    f.second = Byte(frame, 87);
    f.clockPage = Byte(frame, 88);
    f.memoryCount = Byte(frame, 89);
    f.mode = Byte(frame, 90);
    f.setUp = Byte(frame, 91) != 0;
    f.unitFc = Byte(frame, 92) != 0;
    f.battery = Byte(frame, 94);
    f.interval = Byte(frame, 96) == 1;

    const std::uint8_t a = Byte(frame, 93);
    f.cf = (a & 0x01) != 0;
    f.overload = (a & 0x02) != 0;
    f.maxOverload = (a & 0x04) != 0;
    f.tcpOutOfRange = (a & 0x08) != 0;
    f.hold = (a & 0x10) != 0;

    const std::uint8_t b = Byte(frame, 95);
    f.memory = (b & 0x01) != 0;
    f.memoryFull = (b & 0x02) != 0;
    f.indicatorA = (b & 0x04) != 0;
    f.sd = (b & 0x08) != 0;
    f.recordOn = (b & 0x40) != 0;
    f.memoryBusy = (b & 0x80) != 0;
    return f;
}

} // namespace panel

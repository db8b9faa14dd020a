#include "link/MeterCommands.h"

#include <vector>

namespace meterlink::commands {

namespace {

Command Sub(std::uint8_t subCommand, std::span<const std::uint8_t> parameters = {})
{
    return Command(meter::Command, subCommand, parameters);
}

void PutBigEndian(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

Command Schedule(std::uint8_t subCommand, std::span<const std::uint8_t> startAndStop,
                 std::uint16_t intervalSeconds, bool enabled)
{
    std::vector<std::uint8_t> bytes(startAndStop.begin(), startAndStop.end());
    PutBigEndian(bytes, intervalSeconds);
    bytes.push_back(enabled ? 1 : 0);
    return Sub(subCommand, bytes);
}

} // namespace

Command Poll()
{
    return Command(meter::Poll, 0);
}

Command Key(std::uint8_t code)
{
    return Sub(code);
}

Command ContinueRecording()
{
    return Sub(meter::ContinueRecording);
}

Command ReadSamplingTime()
{
    return Sub(meter::ReadSamplingTime);
}

Command WriteSamplingTime(std::uint16_t seconds)
{
    std::vector<std::uint8_t> bytes;
    PutBigEndian(bytes, seconds);
    return Sub(meter::WriteSamplingTime, bytes);
}

Command ReadReservation()
{
    return Sub(meter::ReadReservation);
}

Command ReadCycling()
{
    return Sub(meter::ReadCycling);
}

Command WriteReservation(std::span<const std::uint8_t, 12> startAndStop,
                         std::uint16_t intervalSeconds, bool enabled)
{
    return Schedule(meter::WriteReservation, startAndStop, intervalSeconds, enabled);
}

Command WriteCycling(std::span<const std::uint8_t, 6> startAndStop, std::uint16_t intervalSeconds,
                     bool enabled)
{
    return Schedule(meter::WriteCycling, startAndStop, intervalSeconds, enabled);
}

Command ReadClock()
{
    return Sub(meter::ReadClock);
}

Command SetClock(const std::array<std::uint8_t, 6>& fields)
{
    return Sub(meter::SetClock, fields);
}

Command MemoryStatus()
{
    return Sub(meter::MemoryStatus);
}

Command Directory()
{
    return Sub(meter::Directory);
}

Command SetSize(const StartDigits& start)
{
    return Sub(meter::SetSize, start);
}

Command SetData(const StartDigits& start)
{
    return Sub(meter::SetData, start);
}

Command EraseMemory()
{
    return Sub(meter::EraseMemory);
}

Command UnitOption(const DirectoryEntry& entry)
{
    return Command(meter::Poll, meter::UnitOption, entry);
}

} // namespace meterlink::commands

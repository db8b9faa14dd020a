#pragma once

#include "link/Command.h"

#include <array>
#include <cstdint>
#include <span>

// The meter's command set: byte 1 and, for command 6, byte 2 of an output report.
namespace meterlink::meter {

inline constexpr std::uint16_t VendorId = 0x2A7C;
inline constexpr std::uint16_t ProductId = 0x0582;
inline constexpr int ReportLength = 65; // report ID and 64 data bytes

// Byte 1.
inline constexpr std::uint8_t Poll = 1;    // answered by two reports forming the frame
inline constexpr std::uint8_t Command = 6; // byte 2 names the sub-command

// Byte 2 with byte 1 = Poll.
inline constexpr std::uint8_t UnitOption = 17; // bytes 3..9: a stored set's directory entry

// Byte 2 with byte 1 = Command.
namespace key {
inline constexpr std::uint8_t Mode = 1;
inline constexpr std::uint8_t Hold = 2;
inline constexpr std::uint8_t Delta = 3;
inline constexpr std::uint8_t Tcp = 4;
inline constexpr std::uint8_t Time = 5;
inline constexpr std::uint8_t CF = 6;
inline constexpr std::uint8_t Mem = 7;
inline constexpr std::uint8_t Read = 8;
inline constexpr std::uint8_t Up = 9;
inline constexpr std::uint8_t Down = 10;
inline constexpr std::uint8_t PowerOff = 11;
} // namespace key

inline constexpr std::uint8_t ReadSamplingTime = 14;  // answer bytes 1-2
inline constexpr std::uint8_t ReadCycling = 15;       // answer bytes 1-9
inline constexpr std::uint8_t ReadReservation = 16;   // answer bytes 1-15
inline constexpr std::uint8_t SetClock = 19;          // bytes 3-8, no answer read
inline constexpr std::uint8_t WriteSamplingTime = 20; // bytes 3-4, no answer read
inline constexpr std::uint8_t WriteCycling = 21;      // bytes 3-11
inline constexpr std::uint8_t WriteReservation = 22;  // bytes 3-17
inline constexpr std::uint8_t ReadClock = 28;         // answer bytes 1-6
inline constexpr std::uint8_t Directory = 29;         // directory reports, 63 entry bytes each
inline constexpr std::uint8_t SetData = 30;           // text reports, 64 bytes each
inline constexpr std::uint8_t EraseMemory = 32;
inline constexpr std::uint8_t MemoryStatus = 33;      // answer bytes 1-12
inline constexpr std::uint8_t SetSize = 34;           // bytes 3-16: start time digits; answer 1-5
inline constexpr std::uint8_t ContinueRecording = 35; // go on although the meter records

} // namespace meterlink::meter

// The meter's commands with their parameters; every byte they do not name is sent as 0.
namespace meterlink::commands {

// Answered by the two reports of the measurement frame.
Command Poll();
// A front-panel key, codes meter::key::Mode to meter::key::PowerOff.
Command Key(std::uint8_t code);
Command ContinueRecording();

Command ReadSamplingTime();
// Bytes 3-4: the sampling time in seconds.
Command WriteSamplingTime(std::uint16_t seconds);

Command ReadReservation();
Command ReadCycling();
// Bytes 3-14: start and stop year (two digits), month, day, hour, minute, second; 15-16 the
// interval in seconds; 17 the enable flag.
Command WriteReservation(std::span<const std::uint8_t, 12> startAndStop,
                         std::uint16_t intervalSeconds, bool enabled);
// Bytes 3-8: start and stop hour, minute, second; 9-10 the interval; 11 the enable flag.
Command WriteCycling(std::span<const std::uint8_t, 6> startAndStop, std::uint16_t intervalSeconds,
                     bool enabled);

Command ReadClock();
// Bytes 3-8: year (two digits), month, day, hour, minute, second.
Command SetClock(const std::array<std::uint8_t, 6>& fields);

// A stored set's start time as the 14 ASCII digits of its directory entry, year first.
using StartDigits = std::array<std::uint8_t, 14>;
// A stored set's directory entry: its start time in packed BCD.
using DirectoryEntry = std::array<std::uint8_t, 7>;

Command MemoryStatus();
Command Directory();
Command SetSize(const StartDigits& start);
// The set's text; carries the same digits as the size request before it.
Command SetData(const StartDigits& start);
Command EraseMemory();
Command UnitOption(const DirectoryEntry& entry);

} // namespace meterlink::commands

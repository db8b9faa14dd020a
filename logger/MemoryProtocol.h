#pragma once

#include "link/Answer.h"
#include "link/MeterCommands.h"
#include "ui/FixedPaths.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The meter's memory-transfer protocol: status, directory, set size, set data, erase and the
// unit option. Numbers wider than a byte travel most significant byte first.
namespace logger {

inline constexpr int EntryBytes = 7;          // one directory entry, packed BCD
inline constexpr int EntriesPerReport = 9;    // 63 entry bytes in data bytes 2 to 64
inline constexpr int DataBytesPerReport = 64; // set text, data bytes 1 to 64
inline constexpr int MaxSets = 65535;         // the set count is 16 bits wide
inline constexpr int StartTimeDigits = 14;
// No meter holds a set, nor a whole memory, this large (its memory is 512 K): a bigger claim is
// no answer to trust, whatever capacity the same device reports.
inline constexpr std::uint64_t MaxSetBytes = 16 * 1024 * 1024;

struct MemoryStatus
{
    std::uint64_t capacity = 0; // C, in KiB (the capacity label shows C / 1024 as MB)
    std::uint64_t free = 0;     // F, same unit
    int sets = 0;               // N
};

MemoryStatus DecodeMemoryStatus(const meterlink::Answer& answer);
// Nothing to list: the memory is all free or holds no set.
bool MemoryEmpty(const MemoryStatus& status);
// The used share in whole percent, 0 to 100; an empty gauge when the capacity is 0.
int UsedPercent(const MemoryStatus& status);
// "Capacity : 512 MB" for C = 512 * 1024.
QString CapacityText(std::uint64_t capacity);
// The largest set the memory can hold, in bytes.
std::uint64_t CapacityBytes(std::uint64_t capacity);
// The largest set a download takes: what the memory can hold, never more than any meter holds.
std::uint64_t SetLimit(std::uint64_t capacity);
// The bytes of set text a backup takes in all: the memory the meter reports in use, never more
// than any meter's memory holds. A directory of many sets cannot make it write more.
std::uint64_t BackupLimit(const MemoryStatus& status);

// Directory reports for N sets: ceil((7 N + ceil(N / 9)) / 64), which is ceil(N / 9).
int DirectoryReports(int sets);
// The entry as 14 hexadecimal digits (upper case); for valid BCD the start time, year first.
QString EntryText(const std::uint8_t* entry);
// The start times of `sets` entries packed without gaps in `directory`.
std::vector<QString> DecodeDirectory(const QByteArray& directory, int sets);
// "2026/12/05 16:39:05" from "20261205163905"; a short text gives the separators only.
QString StartTimeDisplay(const QString& digits);
// The same for every start time, as the set list shows them.
std::vector<QString> StartTimeDisplays(const std::vector<QString>& times);

// Set size S in bytes from the set-size answer (bytes 1 to 5).
std::uint64_t DecodeSetSize(const meterlink::Answer& answer);
// Data reports for S bytes: ceil(S / 64).
std::uint64_t DataReports(std::uint64_t size);

// The set number of a grid cell's text: its numeric value, 0 when it holds no number or one
// outside 0 to 65535.
int SetNumber(const QString& cellText);
// The set's 7 directory bytes again from its 14 digits, read in hexadecimal pairs; a missing
// or invalid pair gives 0.
meterlink::commands::DirectoryEntry EntryFromText(const QString& digits);
// The start time as the set-size and set-data requests carry it: the ASCII codes of the 14
// digits, where any character that is no digit (or is missing) sends "0".
meterlink::commands::StartDigits RequestDigits(const QString& digits);

// Writes a downloaded set as the meter sent it, followed by CR LF, as the download file of the
// working folder. False when the file cannot be written.
bool SaveSetText(const ui::FixedPaths& paths, const QByteArray& text);

} // namespace logger

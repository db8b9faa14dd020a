#pragma once

#include "files/RecordLine.h"
#include "virtualmeter/Calendar.h"
#include "virtualmeter/FrameEncoder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace virtualmeter {

// One data set the meter recorded on its own. Sets built from readings can be rewritten in
// the other unit; sets given as plain text (tests) are kept as they are.
struct StoredSet
{
    CalendarTime start;
    int intervalSeconds = 1;
    bool footCandles = false;
    std::vector<files::Reading> records;
    std::string text; // what the meter sends, CR LF line ends
};

// The set's text: a six-line header, then one record line per reading.
std::string setText(const CalendarTime& start, int intervalSeconds, bool footCandles,
                    const std::vector<files::Reading>& records);

// Directory entry: the start time in packed BCD, century first.
std::array<std::uint8_t, 7> directoryEntry(const CalendarTime& start);

// The logger memory: capacity, free space and the stored sets, and the reports that carry them.
class MeterMemory
{
public:
    static constexpr std::uint64_t DefaultCapacity = 512 * 1024;
    static constexpr int ReportsPerDirectoryPage = 9;

    // Twelve sets of a few hundred readings of the drifting lamp, the newest starting on the
    // day before `today`.
    void fillWithSamples(const CalendarTime& today);
    bool filled() const { return m_filled; }

    void setSets(std::vector<StoredSet> sets);
    void addSet(StoredSet set);
    const std::vector<StoredSet>& sets() const { return m_sets; }
    void erase();

    void setCapacity(std::uint64_t capacity) { m_capacity = capacity; }
    std::uint64_t capacity() const { return m_capacity; }
    // Without an override the free space is the capacity less the stored text.
    void setFreeOverride(std::optional<std::uint64_t> free) { m_freeOverride = free; }
    std::uint64_t freeSpace() const;

    // Bytes 1-5 capacity, 6-10 free, 11-12 number of sets; all big-endian.
    Report statusReport() const;
    // ceil(N / 9) reports; entry bytes packed from byte 2 to 64, byte 1 unused.
    std::vector<Report> directoryReports() const;
    // The set whose start time the 14 ASCII digits name, or nullptr; of several stored with one
    // start time, the first, as the meter answers.
    const StoredSet* find(std::span<const std::uint8_t> digits) const;
    // Bytes 1-5: the size of the set's text; 0 for an unknown set.
    static Report sizeReport(const StoredSet* set);
    // ceil(S / 64) reports of 64 text bytes; the last one is padded with blanks.
    static std::vector<Report> dataReports(const StoredSet* set);
    // Rewrites the set that the 7 directory bytes name in the other unit; false when no set
    // built from readings matches.
    bool toggleUnit(std::span<const std::uint8_t> entry);

private:
    std::uint64_t m_capacity = DefaultCapacity;
    std::optional<std::uint64_t> m_freeOverride;
    std::vector<StoredSet> m_sets;
    bool m_filled = false;
};

} // namespace virtualmeter

#include "virtualmeter/MeterMemory.h"

#include "virtualmeter/LightSource.h"

#include <algorithm>
#include <cstdio>

namespace virtualmeter {

namespace {

constexpr double LuxToFootCandle = 0.0929;

std::uint8_t bcd(int value)
{
    const int v = std::clamp(value, 0, 99);
    return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10));
}

void putBigEndian(Report& report, std::size_t at, std::size_t width, std::uint64_t value)
{
    for (std::size_t i = 0; i < width; ++i)
        report[at + i] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - i)));
}

std::string startDigits(const CalendarTime& start)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d",
                  std::clamp(start.year, 0, 9999), std::clamp(start.month, 0, 99),
                  std::clamp(start.day, 0, 99), std::clamp(start.hour, 0, 99),
                  std::clamp(start.minute, 0, 99), std::clamp(start.second, 0, 99));
    return digits;
}

files::Reading readingAt(TimePoint time)
{
    const double seconds = std::chrono::duration<double>(time.time_since_epoch()).count();
    const Measurement m = measure(driftingLight(seconds));
    const CalendarTime t = toCalendar(time);
    files::Reading r;
    r.year = t.year;
    r.month = t.month;
    r.day = t.day;
    r.hour = t.hour;
    r.minute = t.minute;
    r.second = t.second;
    r.X = m.X;
    r.Y = m.Y;
    r.Z = m.Z;
    r.Ev = m.Ev;
    r.Tcp = m.Tcp;
    r.x = m.x;
    r.y = m.y;
    r.u = m.u;
    r.v = m.v;
    r.duv = m.duv;
    return r;
}

void rebuild(StoredSet& set)
{
    set.text = setText(set.start, set.intervalSeconds, set.footCandles, set.records);
}

} // namespace

std::string setText(const CalendarTime& start, int intervalSeconds, bool footCandles,
                    const std::vector<files::Reading>& records)
{
    const std::string digits = startDigits(start);
    std::string text;
    text.reserve(200 + records.size() * 121);
    text += "582 Data Logger\r\n";
    text += "Start Time : " + digits.substr(0, 4) + "/" + digits.substr(4, 2) + "/" +
            digits.substr(6, 2) + " " + digits.substr(8, 2) + ":" + digits.substr(10, 2) + ":" +
            digits.substr(12, 2) + "\r\n";
    text += "Total Records : " + std::to_string(records.size()) + "\r\n";
    text += "Interval : " + std::to_string(intervalSeconds) +
            " Second     Unit : " + (footCandles ? "fc" : "lx") + "\r\n";
    text += files::RecordColumnLine() + "\r\n";
    text += std::string(33, '*') + "\r\n";
    for (files::Reading record : records) {
        if (footCandles)
            record.Ev *= LuxToFootCandle;
        text += files::RecordLine(record) + "\r\n";
    }
    return text;
}

std::array<std::uint8_t, 7> directoryEntry(const CalendarTime& start)
{
    return {bcd(start.year / 100), bcd(start.year % 100), bcd(start.month), bcd(start.day),
            bcd(start.hour),       bcd(start.minute),     bcd(start.second)};
}

void MeterMemory::fillWithSamples(const CalendarTime& today)
{
    static constexpr int SetCount = 12;
    static constexpr int Intervals[] = {1, 2, 5, 10, 30, 60};
    CalendarTime morning = today;
    morning.hour = 0;
    morning.minute = 0;
    morning.second = 0;
    const TimePoint midnight = toTimePoint(morning);
    std::vector<StoredSet> sets;
    for (int k = 0; k < SetCount; ++k) {
        // Oldest first, one a day, starting at different times of the morning.
        const auto start = midnight - std::chrono::days{SetCount - k} + std::chrono::hours{8} +
                           std::chrono::minutes{37 * k} + std::chrono::seconds{(13 * k) % 60};
        StoredSet set;
        set.start = toCalendar(start);
        set.intervalSeconds = Intervals[k % std::size(Intervals)];
        const int count = 80 + 23 * k;
        set.records.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            set.records.push_back(readingAt(
                start + std::chrono::seconds{static_cast<long>(i) * set.intervalSeconds}));
        rebuild(set);
        sets.push_back(std::move(set));
    }
    m_sets = std::move(sets);
    m_filled = true;
}

void MeterMemory::setSets(std::vector<StoredSet> sets)
{
    m_sets = std::move(sets);
    m_filled = true;
}

void MeterMemory::addSet(StoredSet set)
{
    m_sets.push_back(std::move(set));
    m_filled = true;
}

void MeterMemory::erase()
{
    m_sets.clear();
    m_filled = true; // an erased memory stays empty; it is not refilled with samples
}

std::uint64_t MeterMemory::freeSpace() const
{
    if (m_freeOverride)
        return *m_freeOverride;
    std::uint64_t used = 0;
    for (const auto& set : m_sets)
        used += set.text.size();
    return used >= m_capacity ? 0 : m_capacity - used;
}

Report MeterMemory::statusReport() const
{
    Report report{};
    putBigEndian(report, 1, 5, m_capacity);
    putBigEndian(report, 6, 5, freeSpace());
    putBigEndian(report, 11, 2, std::min<std::uint64_t>(m_sets.size(), 65535));
    return report;
}

std::vector<Report> MeterMemory::directoryReports() const
{
    const std::size_t count = std::min<std::size_t>(m_sets.size(), 65535);
    std::vector<Report> reports;
    for (std::size_t first = 0; first < count; first += ReportsPerDirectoryPage) {
        Report report{};
        const std::size_t last = std::min(count, first + ReportsPerDirectoryPage);
        std::size_t at = 2;
        for (std::size_t k = first; k < last; ++k) {
            const auto entry = directoryEntry(m_sets[k].start);
            std::copy(entry.begin(), entry.end(), report.begin() + static_cast<long>(at));
            at += entry.size();
        }
        reports.push_back(report);
    }
    return reports;
}

const StoredSet* MeterMemory::find(std::span<const std::uint8_t> digits) const
{
    const std::string wanted(digits.begin(), digits.end());
    for (const auto& set : m_sets)
        if (startDigits(set.start) == wanted)
            return &set;
    return nullptr;
}

Report MeterMemory::sizeReport(const StoredSet* set)
{
    Report report{};
    putBigEndian(report, 1, 5, set ? set->text.size() : 0);
    return report;
}

std::vector<Report> MeterMemory::dataReports(const StoredSet* set)
{
    std::vector<Report> reports;
    if (!set)
        return reports;
    const std::string& text = set->text;
    for (std::size_t at = 0; at < text.size(); at += 64) {
        Report report{};
        std::fill(report.begin() + 1, report.end(), static_cast<std::uint8_t>(' '));
        const std::size_t n = std::min<std::size_t>(64, text.size() - at);
        std::copy_n(text.begin() + static_cast<long>(at), n, report.begin() + 1);
        reports.push_back(report);
    }
    return reports;
}

bool MeterMemory::toggleUnit(std::span<const std::uint8_t> entry)
{
    for (auto& set : m_sets) {
        const auto own = directoryEntry(set.start);
        if (!std::equal(own.begin(), own.end(), entry.begin(), entry.end()))
            continue;
        if (set.records.empty())
            return false;
        set.footCandles = !set.footCandles;
        rebuild(set);
        return true;
    }
    return false;
}

} // namespace virtualmeter

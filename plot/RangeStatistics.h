#pragma once

#include "colorimetry/Region.h"
#include "files/ColumnStatistics.h"
#include "files/PlotDocument.h"
#include "plot/RegionFile.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace plot {

// The rows of the statistics table, in their order.
enum class StatisticsRow
{
    x,
    y,
    u, // u'
    v, // v'
    Ev,
    Tcp,
    duv
};
inline constexpr int StatisticsRowCount = 7;
inline constexpr int StatisticsColumnCount = 5; // count, min, max, mean, SD

struct RegionShare
{
    int row = 0; // 0-based row of the regions panel, or index of the outline given
    long long inside = 0;
    // The numbers of the first plotted records outside, up to the limit the run was given.
    std::vector<std::int64_t> outside;
};

// What the records of the plotted range add up to. x, y, u', v' (and the regions' shares) count
// the records drawn as markers; a record whose x or y is no number is counted apart, as the plot
// skips it. Ev, Tcp and delta-uv count every record of the range that carries them.
struct RangeStatistics
{
    std::array<files::ColumnStatistics, StatisticsRowCount> columns;
    long long plotted = 0;
    long long notNumbers = 0;
    std::vector<RegionShare> regions; // the checked rows, in order

    const files::ColumnStatistics& operator[](StatisticsRow row) const
    {
        return columns[static_cast<std::size_t>(row)];
    }
};

// Takes the records of the range in the plot stage's order and numbering (its first to its last
// in steps of 1, each rounded halves to even), a slice at a time so that the window's events can
// run in between. The records must outlive it and stay unchanged.
class RangeStatisticsRun
{
public:
    // `regions` is null when the regions are off.
    RangeStatisticsRun(const files::RecordTable& records, files::RecordRange range,
                       const RegionRows* regions);
    // The shares of these outlines (x, y corners in drawing order) instead, each listing up to
    // `outsideListed` of the records outside it.
    RangeStatisticsRun(const files::RecordTable& records, files::RecordRange range,
                       const std::vector<colorimetry::Quadrangle>& outlines,
                       std::size_t outsideListed);
    ~RangeStatisticsRun();

    // Takes up to `budget` further steps of the range; true once all are taken.
    bool advance(std::int64_t budget);
    const RangeStatistics& result() const { return m_result; }

private:
    struct Region;

    void measure(files::RecordRange range);

    const files::RecordTable& m_records;
    double m_from;
    std::size_t m_outsideListed = 0;
    std::vector<Region> m_regions;
    RangeStatistics m_result;
    std::int64_t m_total = 0;
    std::int64_t m_done = 0;
    std::optional<std::int64_t> m_wholeFrom; // m_from when it is a whole number
};

// All of it at once.
RangeStatistics StatisticsOfRange(const files::RecordTable& records, files::RecordRange range,
                                  const RegionRows* regions);

// The text of one cell of the table (columns count, min, max, mean, SD); empty where the column
// has nothing to show.
QString StatisticsCell(const RangeStatistics& statistics, StatisticsRow row, int column);

// "Region 2: 42.0 % inside (21 of 50)".
QString RegionShareLine(const RegionShare& share, long long plotted);

} // namespace plot

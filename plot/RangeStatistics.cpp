#include "plot/RangeStatistics.h"

#include "colorimetry/Region.h"
#include "plot/PlotGeometry.h"
#include "ui/TextValue.h"

#include <algorithm>
#include <cmath>

namespace plot {

struct RangeStatisticsRun::Region
{
    int row;
    colorimetry::Quadrangle outline;
};

RangeStatisticsRun::RangeStatisticsRun(const files::RecordTable& records, files::RecordRange range,
                                       const RegionRows* regions)
    : m_records(records), m_from(range.from)
{
    if (regions != nullptr) {
        for (int r = 0; r < RegionRowCount; ++r) {
            const RegionRow& row = (*regions)[static_cast<std::size_t>(r)];
            const auto values = row.checked ? RegionCorners(row) : std::nullopt;
            if (!values)
                continue;
            colorimetry::Quadrangle corners;
            for (std::size_t j = 0; j < 4; ++j)
                corners[j] = {(*values)[j].x(), (*values)[j].y()};
            // The outline the plot draws, so that the share agrees with the picture.
            m_regions.push_back({r, colorimetry::RegionOutline(corners)});
            m_result.regions.push_back({r, 0, {}});
        }
    }
    measure(range);
}

RangeStatisticsRun::RangeStatisticsRun(const files::RecordTable& records, files::RecordRange range,
                                       const std::vector<colorimetry::Quadrangle>& outlines,
                                       std::size_t outsideListed)
    : m_records(records), m_from(range.from), m_outsideListed(outsideListed)
{
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        m_regions.push_back({static_cast<int>(i), outlines[i]});
        m_result.regions.push_back({static_cast<int>(i), 0, {}});
    }
    measure(range);
}

void RangeStatisticsRun::measure(files::RecordRange range)
{
    // As many steps as the plot stage takes; none beyond the records could count.
    if (std::isfinite(range.from) && std::isfinite(range.to) && range.to >= range.from) {
        const double steps = std::floor(range.to - range.from) + 1;
        m_total =
            static_cast<std::int64_t>(std::min(steps, static_cast<double>(m_records.count()) + 2));
        if (range.from == std::floor(range.from) && std::abs(range.from) < 1e15)
            m_wholeFrom = static_cast<std::int64_t>(range.from);
    }
}

RangeStatisticsRun::~RangeStatisticsRun() = default;

bool RangeStatisticsRun::advance(std::int64_t budget)
{
    const auto stored = static_cast<std::int64_t>(m_records.count());
    const std::int64_t end = std::min(m_total, m_done + std::max<std::int64_t>(budget, 0));
    auto& columns = m_result.columns;
    for (; m_done < end; ++m_done) {
        // A whole first record needs no rounding, which would cost a call per record.
        const std::int64_t n = m_wholeFrom
                                   ? *m_wholeFrom + m_done
                                   : ui::RoundHalfEven(m_from + static_cast<double>(m_done));
        if (n < 1 || n > stored)
            continue;
        const auto index = static_cast<std::size_t>(n);
        const files::RecordTable::Fields fields = m_records.fields(index);
        const std::optional<double> x = RecordValue(fields.x);
        const std::optional<double> y = x ? RecordValue(fields.y) : std::nullopt;
        if (y) {
            ++m_result.plotted;
            columns[0].add(x);
            columns[1].add(y);
            const colorimetry::UV uv = colorimetry::UvPrimeFromXY({*x, *y});
            columns[2].add(uv.u);
            columns[3].add(uv.v);
            for (std::size_t r = 0; r < m_regions.size(); ++r) {
                RegionShare& share = m_result.regions[r];
                if (colorimetry::InsideRegion(m_regions[r].outline, {*x, *y}))
                    ++share.inside;
                else if (share.outside.size() < m_outsideListed)
                    share.outside.push_back(n);
            }
        } else {
            ++m_result.notNumbers;
        }
        const files::RecordExtras extras = m_records.extras(index);
        columns[4].add(extras.Ev);
        columns[5].add(extras.Tcp);
        columns[6].add(extras.duv);
    }
    return m_done >= m_total;
}

RangeStatistics StatisticsOfRange(const files::RecordTable& records, files::RecordRange range,
                                  const RegionRows* regions)
{
    RangeStatisticsRun run(records, range, regions);
    while (!run.advance(INT64_MAX)) {
    }
    return run.result();
}

QString StatisticsCell(const RangeStatistics& statistics, StatisticsRow row, int column)
{
    const files::ColumnStatistics& s = statistics[row];
    if (column == 0)
        return QString::number(s.count());
    // The digits of the record lines; a mean and a spread one more.
    static constexpr std::array<int, StatisticsRowCount> LineDecimals = {4, 4, 4, 4, 1, 0, 4};
    const int decimals = LineDecimals[static_cast<std::size_t>(row)] + (column >= 3 ? 1 : 0);
    const std::optional<double> values[] = {s.minimum(), s.maximum(), s.mean(),
                                            s.standardDeviation()};
    const std::optional<double> value = values[std::clamp(column, 1, 4) - 1];
    // Always "." as decimal point, as in the files.
    return value ? QString::number(*value, 'f', decimals) : QString();
}

QString RegionShareLine(const RegionShare& share, long long plotted)
{
    const double percent =
        plotted > 0 ? 100.0 * static_cast<double>(share.inside) / static_cast<double>(plotted) : 0;
    return QStringLiteral("Region %1: %2 % inside (%3 of %4)")
        .arg(share.row + 1)
        .arg(QString::number(percent, 'f', 1))
        .arg(share.inside)
        .arg(plotted);
}

} // namespace plot

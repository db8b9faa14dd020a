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

RangeStatisticsRun::RangeStatisticsRun(const files::PlotData& data, const RegionRows* regions)
    : m_data(data)
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
            m_result.regions.push_back({r, 0});
        }
    }
    // As many steps as the plot stage takes; none beyond the records could count.
    if (std::isfinite(data.PlotFrom) && std::isfinite(data.PlotTo) &&
        data.PlotTo >= data.PlotFrom) {
        const double steps = std::floor(data.PlotTo - data.PlotFrom) + 1;
        m_total =
            static_cast<std::int64_t>(std::min(steps, static_cast<double>(data.RecordCount) + 2));
        if (data.PlotFrom == std::floor(data.PlotFrom) && std::abs(data.PlotFrom) < 1e15)
            m_wholeFrom = static_cast<std::int64_t>(data.PlotFrom);
    }
}

RangeStatisticsRun::~RangeStatisticsRun() = default;

bool RangeStatisticsRun::advance(std::int64_t budget)
{
    const auto stored = static_cast<std::int64_t>(m_data.Records.count());
    const std::int64_t end = std::min(m_total, m_done + std::max<std::int64_t>(budget, 0));
    auto& columns = m_result.columns;
    for (; m_done < end; ++m_done) {
        // A whole first record needs no rounding, which would cost a call per record.
        const std::int64_t n =
            m_wholeFrom ? *m_wholeFrom + m_done
                        : ui::RoundHalfEven(m_data.PlotFrom + static_cast<double>(m_done));
        if (n < 1 || n > m_data.RecordCount || n > stored)
            continue;
        const auto index = static_cast<std::size_t>(n);
        const std::optional<double> x = RecordValue(m_data.RecordX(index));
        const std::optional<double> y = x ? RecordValue(m_data.RecordY(index)) : std::nullopt;
        if (y) {
            ++m_result.plotted;
            columns[0].add(x);
            columns[1].add(y);
            for (std::size_t r = 0; r < m_regions.size(); ++r)
                if (colorimetry::InsideRegion(m_regions[r].outline, {*x, *y}))
                    ++m_result.regions[r].inside;
        } else {
            ++m_result.notNumbers;
        }
        const files::RecordExtras extras = m_data.Records.extras(index);
        columns[2].add(extras.Ev);
        columns[3].add(extras.Tcp);
        columns[4].add(extras.duv);
    }
    return m_done >= m_total;
}

RangeStatistics StatisticsOfRange(const files::PlotData& data, const RegionRows* regions)
{
    RangeStatisticsRun run(data, regions);
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
    static constexpr std::array<int, StatisticsRowCount> LineDecimals = {4, 4, 1, 0, 4};
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

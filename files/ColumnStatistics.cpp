#include "files/ColumnStatistics.h"

#include <algorithm>
#include <cmath>

namespace files {

void ColumnStatistics::add(std::optional<double> value)
{
    if (!value || !std::isfinite(*value))
        return;
    const double x = *value;
    ++m_count;
    m_minimum = m_count == 1 ? x : std::min(m_minimum, x);
    m_maximum = m_count == 1 ? x : std::max(m_maximum, x);
    const double delta = x - m_mean;
    m_mean += delta / static_cast<double>(m_count);
    m_squares += delta * (x - m_mean);
}

std::optional<double> ColumnStatistics::minimum() const
{
    return m_count > 0 ? std::optional(m_minimum) : std::nullopt;
}

std::optional<double> ColumnStatistics::maximum() const
{
    return m_count > 0 ? std::optional(m_maximum) : std::nullopt;
}

std::optional<double> ColumnStatistics::mean() const
{
    return m_count > 0 ? std::optional(m_mean) : std::nullopt;
}

std::optional<double> ColumnStatistics::standardDeviation() const
{
    if (m_count < 2)
        return std::nullopt;
    return std::sqrt(m_squares / static_cast<double>(m_count - 1));
}

ColumnStatistics StatisticsOf(std::span<const std::optional<double>> values)
{
    ColumnStatistics statistics;
    for (const std::optional<double>& value : values)
        statistics.add(value);
    return statistics;
}

} // namespace files

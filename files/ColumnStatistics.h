#pragma once

#include <optional>
#include <span>

namespace files {

// Count, minimum, maximum, mean and standard deviation of one numeric column, taken value by
// value. Welford's running mean keeps the spread of large, close values (illuminance in the tens
// of thousands varying in the last digit) that a sum of squares would cancel away.
class ColumnStatistics
{
public:
    // A missing value, or one that is not finite, is not counted.
    void add(std::optional<double> value);

    long long count() const { return m_count; }
    // Nothing while no value has been counted.
    std::optional<double> minimum() const;
    std::optional<double> maximum() const;
    std::optional<double> mean() const;
    // The sample standard deviation (squares divided by n - 1): the records are a sample of a
    // light that goes on shining, and it is the figure spreadsheets and calculators give as the
    // standard deviation, so users can check one against the other. Nothing below two values.
    std::optional<double> standardDeviation() const;

private:
    long long m_count = 0;
    double m_minimum = 0;
    double m_maximum = 0;
    double m_mean = 0;
    double m_squares = 0; // sum of squared differences from the running mean
};

// The statistics of a window of kept rows of one column, such as the plot's record range.
ColumnStatistics StatisticsOf(std::span<const std::optional<double>> values);

} // namespace files

#pragma once

#include "link/FrameReadings.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QString>
#include <array>
#include <deque>
#include <optional>
#include <vector>

namespace files {
class CsvWriter;
}

namespace panel {

// The columns of the readings table, left to right: the PC time, the display mode, then the
// quantities of the frame in the order the reading lists them.
enum ReadingColumn
{
    TimeColumn,
    ModeColumn,
    XColumn,
    YColumn,
    ZColumn,
    EvColumn,
    xColumn,
    yColumn,
    uColumn,
    vColumn,
    TcpColumn,
    DuvColumn,
    WavelengthColumn,
    PeColumn,
    PcColumn,
    ReadingColumnCount
};
inline constexpr int FirstValueColumn = XColumn;
inline constexpr int ReadingValueCount = ReadingColumnCount - FirstValueColumn;
static_assert(ReadingValueCount == meterlink::ListedQuantityCount &&
              EvColumn - FirstValueColumn == static_cast<int>(meterlink::ListedQuantity::Ev) &&
              TcpColumn - FirstValueColumn == static_cast<int>(meterlink::ListedQuantity::Tcp) &&
              PcColumn - FirstValueColumn == static_cast<int>(meterlink::ListedQuantity::Pc));

// The rows of the statistics under the table.
enum StatisticsRow
{
    MinimumRow,
    MaximumRow,
    MeanRow,
    DeviationRow,
    StatisticsRowCount
};

// One row: the PC's wall-clock time and the frame's reading.
struct ReadingRow
{
    QDate date; // local, as the PC's clock read
    QTime time;
    meterlink::ListedReading reading;
};

// The display mode as its number and the legends the meter shows in it ("0 Ev x y").
QString ModeText(int mode);

// A column's title, with Ev's unit ("Ev (lx)" or "Ev (fc)").
QString ReadingColumnTitle(int column, bool footCandles);
// The decimals a value column is shown and exported with.
int ReadingDecimals(int column, bool footCandles);
// A value column of `row` in the unit shown (Ev in fc with `footCandles`); nothing for text
// columns and for values the meter marked as not valid.
std::optional<double> ReadingValue(const ReadingRow& row, int column, bool footCandles);
// The PC time of a row as ISO 8601 local time with milliseconds, "2026-12-07T14:03:05.250".
QString ReadingIsoTime(const ReadingRow& row);
// The title row and one reading row of the readings CSV, as the List exports them and the
// command-line client prints them: the point as decimal separator, empty fields for missing
// values.
void WriteReadingTitles(files::CsvWriter& out, bool footCandles);
void WriteReadingRow(files::CsvWriter& out, const ReadingRow& row, bool footCandles);

// Count, minimum, maximum, mean and standard deviation of one column over a window of rows that
// gains its newest row and loses its oldest, each in constant time, so that a repaint of a full
// window costs no summing up. Sums are taken from a shift near the values and compensated, so
// that dropping rows does not wear away the spread of large, close values (illuminance in the
// tens of thousands varying in the last digit); minimum and maximum come from monotonic queues.
class WindowStatistics
{
public:
    // Starts again with no rows; sums are taken about `shift` from now on.
    void reset(double shift = 0);
    // The newest row's value; a missing value, or one that is not finite, is not counted.
    void push(std::optional<double> value);
    // Drops the oldest row, whose value is `value` (as it was pushed).
    void popOldest(std::optional<double> value);

    long long count() const { return m_count; }
    // Nothing while no value is counted.
    std::optional<double> minimum() const;
    std::optional<double> maximum() const;
    std::optional<double> mean() const;
    // The sample standard deviation (squares divided by n - 1), as spreadsheets give it; nothing
    // below two values.
    std::optional<double> standardDeviation() const;

private:
    // Neumaier's compensated sum: what each addition rounds away is kept aside.
    struct Sum
    {
        double sum = 0;
        double carry = 0;
        void add(double x);
        double value() const { return sum + carry; }
    };
    struct Entry
    {
        long long row;
        double value;
    };

    long long m_pushed = 0;
    long long m_popped = 0;
    long long m_count = 0;
    double m_shift = 0;
    Sum m_sum;                   // of value - shift
    Sum m_squares;               // of (value - shift)^2
    std::deque<Entry> m_lowest;  // values rising from the minimum
    std::deque<Entry> m_highest; // values falling from the maximum
};

// The live readings: one row per frame, newest last, at most Capacity rows (the oldest go
// first). Texts use the given decimal separator; the CSV always the point.
class ReadingsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int Capacity = 10000;

    explicit ReadingsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setDecimalSeparator(QChar separator) { m_separator = separator; }
    // Ev is shown, summed up and exported in the unit of the newest frame, every row alike, so
    // that no column mixes lx and fc.
    bool footCandles() const { return m_footCandles; }
    // Whether appending now drops the oldest row.
    bool full() const { return m_count == Capacity; }

    void append(const meterlink::FrameFields& f, const QDateTime& time);
    void clear();

    QString columnTitle(int column) const;
    QString cellText(int row, int column) const;
    // The value of a cell as shown (Ev in the shown unit); nothing for text or missing values.
    std::optional<double> cellValue(int row, int column) const;
    // Minimum, maximum, mean or standard deviation of a value column over the kept rows; empty
    // where there is nothing to sum up (and the time and mode columns).
    QString statisticsText(int statisticsRow, int column) const;

    // The cells of a selection as tab-separated lines under a line of their column titles: the
    // rows and columns the selection touches, unselected cells empty.
    QString tsv(const QModelIndexList& selected) const;
    // Every kept row as CSV under a title row with units; false when a write failed.
    bool writeCsv(files::CsvWriter& out) const;

Q_SIGNALS:
    // Rows came or went, or Ev changed its unit.
    void statisticsChanged();

private:
    const ReadingRow& row(int index) const;
    int decimals(int column) const;
    // Takes the statistics of every kept row afresh.
    void sumUp();

    std::vector<ReadingRow> m_ring;
    int m_first = 0;
    int m_count = 0;
    bool m_footCandles = false;
    QChar m_separator = QLatin1Char('.');
    std::array<WindowStatistics, ReadingValueCount> m_statistics;
    // Rows dropped since sumUp(): after a whole ring the sums are taken afresh, about a shift
    // near the values the ring now holds.
    int m_droppedSinceSum = 0;
};

// The statistics of a readings model as a table of the same columns: one row each for the
// minimum, maximum, mean and standard deviation, named in the time column.
class ReadingStatisticsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ReadingStatisticsModel(const ReadingsModel& readings, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const ReadingsModel& m_readings;
};

} // namespace panel

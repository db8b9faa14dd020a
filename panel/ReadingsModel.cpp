#include "panel/ReadingsModel.h"

#include "files/CsvWriter.h"
#include "files/QuantityTitles.h"
#include "link/DisplayModes.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace panel {

namespace {

// The display's conversion, so that the table reads as the meter does.
constexpr double FootCandlesPerLux = 0.0929;

// The List names its columns as every table of readings and records does.
static_assert(ReadingValueCount == files::QuantityCount &&
              EvColumn - FirstValueColumn == static_cast<int>(files::Quantity::Ev) &&
              TcpColumn - FirstValueColumn == static_cast<int>(files::Quantity::Tcp) &&
              DuvColumn - FirstValueColumn == static_cast<int>(files::Quantity::Duv) &&
              uColumn - FirstValueColumn == static_cast<int>(files::Quantity::u) &&
              PcColumn - FirstValueColumn == static_cast<int>(files::Quantity::Pc));
// Decimals of the values in lx; in fc Ev takes two, as on the display.
constexpr std::array<int, ReadingColumnCount> Decimals = {0, 0, 1, 1, 1, 1, 4, 4,
                                                          4, 4, 0, 4, 1, 3, 3};

constexpr int valueIndex(int column)
{
    return column - FirstValueColumn;
}

QString fixedText(double value, int decimals, QChar separator)
{
    // A mean that rounds to nothing is no negative number.
    if (std::abs(value) < 0.5 / std::pow(10.0, decimals))
        value = 0.0;
    QString text = QString::number(value, 'f', decimals);
    if (separator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), separator);
    return text;
}

} // namespace

QString ReadingColumnTitle(int column, bool footCandles)
{
    std::string_view title;
    if (column == TimeColumn)
        title = files::TimeTitle;
    else if (column == ModeColumn)
        title = files::ModeTitle;
    else if (column >= FirstValueColumn && column < ReadingColumnCount)
        title = files::QuantityTitle(static_cast<files::Quantity>(valueIndex(column)), footCandles);
    return QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

int ReadingDecimals(int column, bool footCandles)
{
    if (column == EvColumn && footCandles)
        return 2;
    if (column < 0 || column >= ReadingColumnCount)
        return 0;
    return Decimals[static_cast<std::size_t>(column)];
}

std::optional<double> ReadingValue(const ReadingRow& row, int column, bool footCandles)
{
    if (column < FirstValueColumn || column >= ReadingColumnCount)
        return std::nullopt;
    std::optional<double> value = row.reading.values[static_cast<std::size_t>(valueIndex(column))];
    if (value && column == EvColumn && footCandles)
        *value *= FootCandlesPerLux;
    return value;
}

QString ReadingIsoTime(const ReadingRow& row)
{
    // Milliseconds: the poll brings up to four readings a second.
    return row.date.toString(u"yyyy-MM-dd") + QLatin1Char('T') + row.time.toString(u"HH:mm:ss.zzz");
}

void WriteReadingTitles(files::CsvWriter& out, bool footCandles)
{
    for (int c = 0; c < ReadingColumnCount; ++c)
        out.text(ReadingColumnTitle(c, footCandles).toStdString());
    out.endRow();
}

void WriteReadingRow(files::CsvWriter& out, const ReadingRow& row, bool footCandles)
{
    out.text(ReadingIsoTime(row).toStdString());
    out.text(ModeText(row.reading.mode).toStdString());
    for (int c = FirstValueColumn; c < ReadingColumnCount; ++c)
        out.number(ReadingValue(row, c, footCandles), ReadingDecimals(c, footCandles));
    out.endRow();
}

QString ModeText(int mode)
{
    QString text = QString::number(mode);
    if (const meterlink::DisplayMode* shown = meterlink::FindDisplayMode(mode))
        for (const char* legend : shown->legends)
            if (*legend != '\0')
                text += QLatin1Char(' ') + QString::fromUtf8(legend);
    return text;
}

void WindowStatistics::Sum::add(double x)
{
    const double t = sum + x;
    carry += std::abs(sum) >= std::abs(x) ? (sum - t) + x : (x - t) + sum;
    sum = t;
}

void WindowStatistics::reset(double shift)
{
    *this = WindowStatistics();
    m_shift = shift;
}

void WindowStatistics::push(std::optional<double> value)
{
    const long long row = m_pushed++;
    if (!value || !std::isfinite(*value))
        return;
    const double x = *value;
    ++m_count;
    const double d = x - m_shift;
    m_sum.add(d);
    m_squares.add(d * d);
    // A value older than one it does not undercut can never be the minimum again.
    while (!m_lowest.empty() && m_lowest.back().value >= x)
        m_lowest.pop_back();
    m_lowest.push_back({row, x});
    while (!m_highest.empty() && m_highest.back().value <= x)
        m_highest.pop_back();
    m_highest.push_back({row, x});
}

void WindowStatistics::popOldest(std::optional<double> value)
{
    const long long row = m_popped++;
    if (!value || !std::isfinite(*value))
        return;
    if (--m_count == 0) {
        m_sum = {};
        m_squares = {};
    } else {
        const double d = *value - m_shift;
        m_sum.add(-d);
        m_squares.add(-(d * d));
    }
    if (!m_lowest.empty() && m_lowest.front().row == row)
        m_lowest.pop_front();
    if (!m_highest.empty() && m_highest.front().row == row)
        m_highest.pop_front();
}

std::optional<double> WindowStatistics::minimum() const
{
    return m_count > 0 ? std::optional(m_lowest.front().value) : std::nullopt;
}

std::optional<double> WindowStatistics::maximum() const
{
    return m_count > 0 ? std::optional(m_highest.front().value) : std::nullopt;
}

std::optional<double> WindowStatistics::mean() const
{
    if (m_count == 0)
        return std::nullopt;
    return m_shift + m_sum.value() / static_cast<double>(m_count);
}

std::optional<double> WindowStatistics::standardDeviation() const
{
    if (m_count < 2)
        return std::nullopt;
    const double n = static_cast<double>(m_count);
    const double sum = m_sum.value();
    const double squares = std::max(0.0, m_squares.value() - sum * sum / n);
    return std::sqrt(squares / (n - 1));
}

ReadingsModel::ReadingsModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_ring.reserve(Capacity);
}

int ReadingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int ReadingsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ReadingColumnCount;
}

QVariant ReadingsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() >= FirstValueColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ReadingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnTitle(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

const ReadingRow& ReadingsModel::row(int index) const
{
    return m_ring[static_cast<std::size_t>((m_first + index) % Capacity)];
}

void ReadingsModel::append(const meterlink::FrameFields& f, const QDateTime& time)
{
    if (m_count == Capacity) {
        beginRemoveRows(QModelIndex(), 0, 0);
        for (int c = FirstValueColumn; c < ReadingColumnCount; ++c)
            m_statistics[static_cast<std::size_t>(valueIndex(c))].popOldest(cellValue(0, c));
        m_first = (m_first + 1) % Capacity;
        --m_count;
        ++m_droppedSinceSum;
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), m_count, m_count);
    const auto slot = static_cast<std::size_t>((m_first + m_count) % Capacity);
    ReadingRow added{time.date(), time.time(), meterlink::ListedReadingFromFrame(f)};
    if (slot == m_ring.size())
        m_ring.push_back(std::move(added));
    else
        m_ring[slot] = std::move(added);
    ++m_count;
    endInsertRows();

    const bool unitChanged = f.unitFc != m_footCandles;
    m_footCandles = f.unitFc;
    if (unitChanged) {
        Q_EMIT headerDataChanged(Qt::Horizontal, EvColumn, EvColumn);
        if (m_count > 1)
            Q_EMIT dataChanged(index(0, EvColumn), index(m_count - 1, EvColumn));
    }
    // Every Ev value the statistics hold changed with the unit.
    if (unitChanged || m_droppedSinceSum >= Capacity) {
        sumUp();
    } else {
        for (int c = FirstValueColumn; c < ReadingColumnCount; ++c)
            m_statistics[static_cast<std::size_t>(valueIndex(c))].push(cellValue(m_count - 1, c));
    }
    Q_EMIT statisticsChanged();
}

void ReadingsModel::clear()
{
    beginResetModel();
    m_ring.clear();
    m_first = 0;
    m_count = 0;
    endResetModel();
    sumUp();
    Q_EMIT statisticsChanged();
}

void ReadingsModel::sumUp()
{
    for (int c = FirstValueColumn; c < ReadingColumnCount; ++c) {
        WindowStatistics& s = m_statistics[static_cast<std::size_t>(valueIndex(c))];
        // About the oldest value: equal values then sum up to exactly nothing.
        double shift = 0;
        for (int r = 0; r < m_count; ++r) {
            if (const std::optional<double> v = cellValue(r, c); v && std::isfinite(*v)) {
                shift = *v;
                break;
            }
        }
        s.reset(shift);
        for (int r = 0; r < m_count; ++r)
            s.push(cellValue(r, c));
    }
    m_droppedSinceSum = 0;
}

QString ReadingsModel::columnTitle(int column) const
{
    return ReadingColumnTitle(column, m_footCandles);
}

int ReadingsModel::decimals(int column) const
{
    return ReadingDecimals(column, m_footCandles);
}

std::optional<double> ReadingsModel::cellValue(int rowIndex, int column) const
{
    if (rowIndex < 0 || rowIndex >= m_count)
        return std::nullopt;
    return ReadingValue(row(rowIndex), column, m_footCandles);
}

QString ReadingsModel::cellText(int rowIndex, int column) const
{
    if (rowIndex < 0 || rowIndex >= m_count)
        return QString();
    const ReadingRow& r = row(rowIndex);
    if (column == TimeColumn)
        return ReadingIsoTime(r);
    if (column == ModeColumn)
        return ModeText(r.reading.mode);
    if (const std::optional<double> value = cellValue(rowIndex, column))
        return fixedText(*value, decimals(column), m_separator);
    if (column < FirstValueColumn || column >= ReadingColumnCount)
        return QString();
    // The meter's own marks: overload, or a colour temperature out of its range.
    return r.reading.overload ? QStringLiteral("OL") : QStringLiteral("----");
}

QString ReadingsModel::statisticsText(int statisticsRow, int column) const
{
    if (column < FirstValueColumn || column >= ReadingColumnCount)
        return QString();
    const WindowStatistics& s = m_statistics[static_cast<std::size_t>(valueIndex(column))];
    std::optional<double> value;
    int places = decimals(column);
    switch (statisticsRow) {
    case MinimumRow:
        value = s.minimum();
        break;
    case MaximumRow:
        value = s.maximum();
        break;
    case MeanRow:
        value = s.mean();
        ++places;
        break;
    case DeviationRow:
        value = s.standardDeviation();
        ++places;
        break;
    default:
        break;
    }
    return value ? fixedText(*value, places, m_separator) : QString();
}

QString ReadingsModel::tsv(const QModelIndexList& selected) const
{
    std::set<int> rows;
    std::set<int> columns;
    std::set<std::pair<int, int>> cells;
    for (const QModelIndex& index : selected) {
        if (index.model() != this || index.row() >= m_count)
            continue;
        rows.insert(index.row());
        columns.insert(index.column());
        cells.emplace(index.row(), index.column());
    }
    if (cells.empty())
        return QString();
    QStringList line;
    for (const int c : columns)
        line << columnTitle(c);
    QString text = line.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const int r : rows) {
        line.clear();
        for (const int c : columns)
            line << (cells.count({r, c}) ? cellText(r, c) : QString());
        text += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

bool ReadingsModel::writeCsv(files::CsvWriter& out) const
{
    WriteReadingTitles(out, m_footCandles);
    for (int r = 0; r < m_count; ++r)
        WriteReadingRow(out, row(r), m_footCandles);
    return out.finish();
}

ReadingStatisticsModel::ReadingStatisticsModel(const ReadingsModel& readings, QObject* parent)
    : QAbstractTableModel(parent), m_readings(readings)
{
    // The statistics are kept up to date by every append; only the cells on screen are asked for.
    connect(&readings, &ReadingsModel::statisticsChanged, this, [this] {
        Q_EMIT dataChanged(index(0, 0), index(StatisticsRowCount - 1, ReadingColumnCount - 1));
    });
}

int ReadingStatisticsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : StatisticsRowCount;
}

int ReadingStatisticsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ReadingColumnCount;
}

QVariant ReadingStatisticsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() >= FirstValueColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == TimeColumn) {
        static const std::array<QString, StatisticsRowCount> names = {
            QStringLiteral("Minimum"), QStringLiteral("Maximum"), QStringLiteral("Mean"),
            QStringLiteral("Standard deviation")};
        return names[static_cast<std::size_t>(index.row())];
    }
    return m_readings.statisticsText(index.row(), index.column());
}

} // namespace panel

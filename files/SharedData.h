#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <limits>
#include <string_view>
#include <vector>

namespace files {

// The values of a record line besides x and y that the plot's statistics take: single precision
// is plenty for them and keeps a million records small. NaN where the line holds no number.
struct RecordExtras
{
    float Ev = std::numeric_limits<float>::quiet_NaN();
    float Tcp = std::numeric_limits<float>::quiet_NaN();
    float duv = std::numeric_limits<float>::quiet_NaN();

    // Bit for bit, so that a missing value equals a missing value.
    bool operator==(const RecordExtras& other) const;
};

// The x and y fields of records 1..count() as the record lines hold them: at most seven
// characters each, kept inline (a length and the characters) rather than as one string per
// field. The records lie in blocks of fixed size, so a growing recording is never moved, and
// a limit set before reading keeps the last block no larger than the records it can receive.
class RecordTable
{
public:
    static constexpr std::size_t FieldLength = 7;

    std::size_t count() const { return m_count; }
    // Fields longer than seven characters keep their first seven.
    void append(std::string_view x, std::string_view y, const RecordExtras& extras = {});
    // Record n, 1 <= n <= count().
    std::string_view x(std::size_t n) const;
    std::string_view y(std::size_t n) const;
    RecordExtras extras(std::size_t n) const;
    // No more than `records` records will be appended.
    void expectAtMost(std::size_t records) { m_expected = records; }

    bool operator==(const RecordTable& other) const;

    // The most memory one record takes.
    static constexpr std::size_t bytesPerRecord() { return sizeof(Record) + sizeof(RecordExtras); }

private:
    using Field = std::array<char, FieldLength + 1>;
    struct Record
    {
        Field x;
        Field y;
        bool operator==(const Record&) const = default;
    };
    static constexpr std::size_t BlockRecords = 4096;

    const Record& at(std::size_t n) const;

    std::vector<std::vector<Record>> m_blocks;
    // Beside each block; empty while none of its records has an extra value, so that lines of
    // bare x and y take no more room than those two fields.
    std::vector<std::vector<RecordExtras>> m_extras;
    std::size_t m_count = 0;
    std::size_t m_expected = static_cast<std::size_t>(-1);
};

// The opened recording, as the plot window draws it. Records are numbered 1..RecordCount.
struct PlotData
{
    int RecordCount = 0;
    RecordTable Records;
    double PlotFrom = 1;
    double PlotTo = 0;
    double PlotCount = 0;
    double DefaultAxisMin = 0;
    double DefaultAxisMax = 1;
    // The file the records were read from, for exporting it.
    QString SourcePath;

    // The fields of record n, 1 <= n <= Records.count().
    std::string_view RecordX(std::size_t n) const { return Records.x(n); }
    std::string_view RecordY(std::size_t n) const { return Records.y(n); }
};

// The current data file: its name as the plot caption shows it, and the outcome of the last
// save dialog.
struct FileState
{
    QString CurrentFileName;
    bool FileChosen = false;
};

} // namespace files

#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
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

// The x and y fields of records 1..count() as the record lines hold them, at most seven
// characters each, stored by their real length: a byte of both lengths per record and the
// characters back to back, so that empty fields take no room. The records lie in blocks of
// fixed size, so a growing recording is never copied, and a limit set before reading keeps the
// last block no larger than the records it can receive.
class RecordTable
{
public:
    static constexpr std::size_t FieldLength = 7;

    std::size_t count() const { return m_count; }
    // Fields longer than seven characters keep their first seven.
    void append(std::string_view x, std::string_view y, const RecordExtras& extras = {});
    // Record n, 1 <= n <= count(); valid until the next append.
    std::string_view x(std::size_t n) const;
    std::string_view y(std::size_t n) const;
    RecordExtras extras(std::size_t n) const;
    // No more than `records` records will be appended.
    void expectAtMost(std::size_t records) { m_expected = records; }

    bool operator==(const RecordTable& other) const;

    // The most memory one record takes.
    static constexpr std::size_t bytesPerRecord()
    {
        return 1 + 2 * FieldLength + sizeof(RecordExtras) + 1;
    }

private:
    static constexpr std::size_t BlockRecords = 4096;
    // Where the characters of every sixteenth record start: no record is more than fifteen
    // lengths away from a known start.
    static constexpr std::size_t StartEvery = 16;
    struct Block
    {
        std::vector<std::uint8_t> lengths; // x's in the low four bits, y's in the high four
        std::vector<std::uint16_t> starts;
        std::string chars; // x then y of each record
        // Empty while none of its records has an extra value.
        std::vector<RecordExtras> extras;
        bool operator==(const Block&) const = default;
    };

    // Record n: its block, its length byte and where its characters start.
    struct Place
    {
        const Block& block;
        std::uint8_t lengths;
        std::size_t start;
    };
    Place locate(std::size_t n) const;

    std::vector<Block> m_blocks;
    std::size_t m_count = 0;
    std::size_t m_expected = static_cast<std::size_t>(-1);
};

} // namespace files

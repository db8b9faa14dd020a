#pragma once

#include <QString>
#include <array>
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

// Bytes in one allocation of the C library that grows at its end. A large one grows and shrinks
// by remapping its pages rather than copying them, and is backed by huge pages where the
// system allows: a fresh megabyte then costs one page fault instead of 256.
class ByteRun
{
public:
    ByteRun() = default;
    ByteRun(const ByteRun& other);
    ByteRun(ByteRun&& other) noexcept;
    ByteRun& operator=(const ByteRun& other);
    ByteRun& operator=(ByteRun&& other) noexcept;
    ~ByteRun();

    std::size_t size() const { return m_size; }
    std::uint8_t* data() { return m_data; }
    const std::uint8_t* data() const { return m_data; }
    // `bytes` more at the end, not yet written; valid until the next grow().
    std::uint8_t* grow(std::size_t bytes)
    {
        if (m_capacity - m_size < bytes)
            makeRoom(bytes);
        m_size += bytes;
        return m_data + m_size - bytes;
    }
    // Makes room for `capacity` bytes in all when it first needs room: an estimate that may
    // never be needed takes no memory.
    void expect(std::size_t capacity) { m_expected = capacity; }
    void shrinkToFit();

private:
    void makeRoom(std::size_t bytes);
    void reallocate(std::size_t capacity);

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_expected = 0;
};

// The x and y fields of records 1..count() as the record lines hold them, at most seven
// characters each, stored by their real length: a byte of both lengths per record and the
// characters back to back, so that empty fields take no room (and a block of records that have
// neither field no lengths either). Each kind of data of all records lies in one allocation
// (ByteRun): sized for the whole file once the reader has seen part of it, and cut to what the
// records took at the end.
//
// Ev, Tcp and delta-uv are kept as the texts of their fields, four bits a character (a digit,
// a blank, a point, a sign or another character), in the room their three numbers take. They
// are taken apart a block of 4096 records at a time, when extras() first asks for a record of
// the block: a read that nobody asks them of never pays for it. That call changes the table's
// storage, not what it holds; a table is read from one thread at a time.
class RecordTable
{
public:
    static constexpr std::size_t FieldLength = 7;
    // The texts of a record line's Ev, Tcp and delta-uv fields as far as the line reaches (at
    // most 9, 7 and 8 characters; more are cut).
    struct ExtraTexts
    {
        std::string_view Ev;
        std::string_view Tcp;
        std::string_view duv;
    };
    // The two fields of a record; valid until the next append.
    struct Fields
    {
        std::string_view x;
        std::string_view y;
    };

    std::size_t count() const { return m_count; }
    // Fields longer than seven characters keep their first seven.
    void append(std::string_view x, std::string_view y, const ExtraTexts& extras = {});
    // Record n, 1 <= n <= count(); valid until the next append.
    std::string_view x(std::size_t n) const { return fields(n).x; }
    std::string_view y(std::size_t n) const { return fields(n).y; }
    Fields fields(std::size_t n) const;
    // Ev, Tcp and delta-uv of record n, as ParseRecordValue takes them from its line.
    RecordExtras extras(std::size_t n) const;
    // Room for `factor` times the records it holds, made when the next ones come: a reader that
    // has read part of a file sizes the table for all of it once instead of growing it step by
    // step. Only a hint; records beyond it make their room as they come.
    void expectTimes(double factor);
    // Gives back the room that the records did not take.
    void shrinkToFit();

    // The same records: fields and extras.
    bool operator==(const RecordTable& other) const;

    // The most memory one record takes.
    static constexpr std::size_t bytesPerRecord()
    {
        return 1 + 2 * FieldLength + sizeof(RecordExtras) + 1;
    }

private:
    static constexpr std::size_t BlockRecords = 4096;
    // Where the characters of every fourth record start: no record is more than three lengths
    // away from a known start, for half a byte per record.
    static constexpr std::size_t StartEvery = 4;
    static constexpr std::size_t CellBytes = sizeof(RecordExtras);
    static constexpr std::size_t None = static_cast<std::size_t>(-1);
    // Where the data of a block's first record lie in the runs below. A block whose records
    // have neither x nor y (the shortest lines) keeps no lengths; one without extra texts no
    // cells.
    struct Block
    {
        std::size_t lengths = None;
        std::size_t starts = 0;      // in 16-bit entries
        std::size_t chars = 0;       // where its first record's characters start
        std::size_t cells = None;    // in cells
        mutable bool parsed = false; // its cells hold numbers, no longer texts
    };

    void appendFields(Block& block, std::size_t index, std::string_view x, std::string_view y);
    void appendExtras(Block& block, std::size_t index, const ExtraTexts& extras, bool anyText);
    void parseBlock(const Block& block) const;

    std::vector<Block> m_blocks;
    std::size_t m_count = 0;
    ByteRun m_lengths; // per record: x's length in the low four bits, y's in the high four
    ByteRun m_starts;  // per four records: 16 bits, from their block's `chars` on
    ByteRun m_chars;   // x then y of each record
    // CellBytes per record: 24 codes of four bits, or the three numbers once parsed.
    mutable ByteRun m_cells;
};

} // namespace files

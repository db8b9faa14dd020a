#include "files/SharedData.h"

#include "files/RecordFields.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace files {

namespace {

static_assert(sizeof(RecordExtras) == 3 * sizeof(float));

// 24 codes of four bits, or the three numbers once parsed.
using ExtrasCell = std::array<std::uint8_t, sizeof(RecordExtras)>;
static_assert(sizeof(ExtrasCell) * 2 == 9 + 7 + 8);

std::size_t lengthX(std::uint8_t lengths)
{
    return lengths & 0x0Fu;
}

std::size_t lengthY(std::uint8_t lengths)
{
    return lengths >> 4u;
}

// The four-bit codes of the characters of Ev, Tcp and delta-uv: digits are their value. A
// number holds nothing but digits, a point, a sign and blanks around it, so every other
// character makes its field no number and one code stands for them all. A field that ends
// before its place does reads as ending in blanks, which changes nothing of its number.
constexpr std::uint8_t Blank = 10;
constexpr std::uint8_t Point = 11;
constexpr std::uint8_t Minus = 12;
constexpr std::uint8_t Plus = 13;
constexpr std::uint8_t Other = 14;
// The character each code gives back; any that is not part of a number stands for Other.
constexpr char CodeCharacters[] = "0123456789 .-+?";
// The places of Ev, Tcp and delta-uv in a cell, one code each.
constexpr std::size_t EvCodes = 9;
constexpr std::size_t TcpCodes = 7;
constexpr std::size_t DuvCodes = 8;

std::uint8_t codeOf(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(c - '0');
    switch (c) {
    case ' ':
        return Blank;
    case '.':
        return Point;
    case '-':
        return Minus;
    case '+':
        return Plus;
    default:
        return Other;
    }
}

void putCodes(ExtrasCell& cell, std::size_t first, std::size_t count, std::string_view text)
{
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t code = k < text.size() ? codeOf(text[k]) : Blank;
        const std::size_t at = first + k;
        cell[at / 2] = static_cast<std::uint8_t>(at % 2 == 0 ? (cell[at / 2] & 0xF0u) | code
                                                             : (cell[at / 2] & 0x0Fu) | code << 4u);
    }
}

#if defined(__SSE2__)
// The codes of sixteen characters, one a byte.
__m128i codesOf(__m128i c)
{
    const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)),
                                        _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
    const auto below = [c](char character, std::uint8_t code) {
        return _mm_and_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(character)),
                             _mm_set1_epi8(static_cast<char>(Other - code)));
    };
    const __m128i other = _mm_sub_epi8(
        _mm_set1_epi8(Other), _mm_or_si128(_mm_or_si128(below(' ', Blank), below('.', Point)),
                                           _mm_or_si128(below('-', Minus), below('+', Plus))));
    return _mm_or_si128(_mm_and_si128(digit, _mm_sub_epi8(c, _mm_set1_epi8('0'))),
                        _mm_andnot_si128(digit, other));
}

// Codes two to a byte, the first in the low four bits: sixteen give the low eight bytes.
__m128i pairs(__m128i codes)
{
    const __m128i joined =
        _mm_or_si128(_mm_and_si128(codes, _mm_set1_epi16(0x00FF)), _mm_srli_epi16(codes, 4));
    return _mm_packus_epi16(joined, _mm_setzero_si128());
}
#endif

} // namespace

bool RecordExtras::operator==(const RecordExtras& other) const
{
    return std::memcmp(this, &other, sizeof other) == 0;
}

namespace {

// The cell of a record whose line holds none of the three fields.
constexpr ExtrasCell BlankCell = [] {
    ExtrasCell cell{};
    cell.fill(Blank | Blank << 4u);
    return cell;
}();

ExtrasCell packed(const RecordTable::ExtraTexts& texts)
{
    ExtrasCell cell{};
#if defined(__SSE2__)
    // The line as this program and the meter write it: Ev and Tcp side by side, sixteen
    // characters at once.
    if (texts.Ev.size() == EvCodes && texts.Tcp.size() == TcpCodes &&
        texts.Tcp.data() == texts.Ev.data() + EvCodes && texts.duv.size() == DuvCodes) {
        const __m128i evTcp = pairs(codesOf(_mm_loadu_si128(
            reinterpret_cast<const __m128i*>(static_cast<const void*>(texts.Ev.data())))));
        const __m128i duv = pairs(codesOf(_mm_loadl_epi64(
            reinterpret_cast<const __m128i*>(static_cast<const void*>(texts.duv.data())))));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(static_cast<void*>(cell.data())), evTcp);
        const auto last = _mm_cvtsi128_si32(duv);
        std::memcpy(cell.data() + 8, &last, 4);
        return cell;
    }
#endif
    putCodes(cell, 0, EvCodes, texts.Ev);
    putCodes(cell, EvCodes, TcpCodes, texts.Tcp);
    putCodes(cell, EvCodes + TcpCodes, DuvCodes, texts.duv);
    return cell;
}

float valueOf(const char* text, std::size_t length)
{
    const std::optional<RecordNumber> number = ParseRecordNumber({text, length});
    return number ? static_cast<float>(number->value) : std::numeric_limits<float>::quiet_NaN();
}

// The numbers of a cell of codes, into the same cell.
void parseCell(ExtrasCell& cell)
{
    char text[2 * sizeof(RecordExtras)];
    for (std::size_t k = 0; k < sizeof text; ++k)
        text[k] = CodeCharacters[(cell[k / 2] >> (k % 2 * 4)) & 0x0Fu];
    const RecordExtras values{valueOf(text, EvCodes), valueOf(text + EvCodes, TcpCodes),
                              valueOf(text + EvCodes + TcpCodes, DuvCodes)};
    std::memcpy(cell.data(), &values, sizeof values);
}

} // namespace

ByteRun::ByteRun(const ByteRun& other)
{
    if (other.m_size > 0) {
        reallocate(other.m_size);
        std::memcpy(m_data, other.m_data, other.m_size);
        m_size = other.m_size;
    }
}

ByteRun::ByteRun(ByteRun&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0))
{
}

ByteRun& ByteRun::operator=(const ByteRun& other)
{
    if (this != &other)
        *this = ByteRun(other);
    return *this;
}

ByteRun& ByteRun::operator=(ByteRun&& other) noexcept
{
    if (this != &other) {
        std::free(m_data);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

ByteRun::~ByteRun()
{
    std::free(m_data);
}

void ByteRun::reallocate(std::size_t capacity)
{
    if (capacity == 0) {
        std::free(std::exchange(m_data, nullptr));
        m_capacity = 0;
        return;
    }
    void* moved = std::realloc(m_data, capacity);
    if (moved == nullptr)
        throw std::bad_alloc();
    m_data = static_cast<std::uint8_t*>(moved);
    m_capacity = capacity;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // The whole huge pages inside; the system may not have them on offer, which changes nothing.
    constexpr std::uintptr_t HugePage = 2 << 20;
    if (capacity >= 2 * HugePage) {
        const auto address = reinterpret_cast<std::uintptr_t>(m_data);
        const std::uintptr_t begin = (address + HugePage - 1) & ~(HugePage - 1);
        const std::uintptr_t end = (address + capacity) & ~(HugePage - 1);
        if (end > begin)
            ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
#endif
}

void ByteRun::makeRoom(std::size_t bytes)
{
    const std::size_t needed = std::max({2 * m_capacity, m_size + bytes, std::size_t{4096}});
    if (const std::size_t expected = std::exchange(m_expected, 0); expected > needed) {
        try {
            reallocate(expected);
            return;
        } catch (const std::bad_alloc&) {
        }
    }
    reallocate(needed);
}

void ByteRun::shrinkToFit()
{
    if (m_size < m_capacity)
        reallocate(m_size);
}

void RecordTable::expectTimes(double factor)
{
    for (ByteRun* run : {&m_lengths, &m_starts, &m_chars, &m_cells})
        run->expect(static_cast<std::size_t>(static_cast<double>(run->size()) * factor));
    m_blocks.reserve(static_cast<std::size_t>(static_cast<double>(m_blocks.size()) * factor) + 1);
}

void RecordTable::shrinkToFit()
{
    m_blocks.shrink_to_fit();
    m_lengths.shrinkToFit();
    m_starts.shrinkToFit();
    m_chars.shrinkToFit();
    m_cells.shrinkToFit();
}

void RecordTable::append(std::string_view x, std::string_view y, const ExtraTexts& extras)
{
    const std::size_t index = m_count % BlockRecords;
    if (index == 0)
        m_blocks.emplace_back();
    Block& block = m_blocks.back();
    x = x.substr(0, FieldLength);
    y = y.substr(0, FieldLength);
    if (block.lengths != None || !x.empty() || !y.empty())
        appendFields(block, index, x, y);
    const bool anyText = !extras.Ev.empty() || !extras.Tcp.empty() || !extras.duv.empty();
    if (anyText || block.cells != None)
        appendExtras(block, index, extras, anyText);
    ++m_count;
}

void RecordTable::appendFields(Block& block, std::size_t index, std::string_view x,
                               std::string_view y)
{
    if (block.lengths == None) {
        // The records before it had neither field.
        block.lengths = m_lengths.size();
        block.starts = m_starts.size() / sizeof(std::uint16_t);
        block.chars = m_chars.size();
        // An empty arena has no memory to point at, and memset must not be handed none.
        if (index > 0)
            std::memset(m_lengths.grow(index), 0, index);
        if (const std::size_t begun = (index + StartEvery - 1) / StartEvery; begun > 0)
            std::memset(m_starts.grow(begun * sizeof(std::uint16_t)), 0,
                        begun * sizeof(std::uint16_t));
    }
    if (index % StartEvery == 0) {
        const auto start = static_cast<std::uint16_t>(m_chars.size() - block.chars);
        std::memcpy(m_starts.grow(sizeof start), &start, sizeof start);
    }
    *m_lengths.grow(1) = static_cast<std::uint8_t>(x.size() | y.size() << 4u);
    // Most fields are either all there or missing: no copy for a missing one.
    if (const std::size_t size = x.size() + y.size(); size > 0) {
        std::uint8_t* at = m_chars.grow(size);
        if (!x.empty())
            std::memcpy(at, x.data(), x.size());
        if (!y.empty())
            std::memcpy(at + x.size(), y.data(), y.size());
    }
}

void RecordTable::appendExtras(Block& block, std::size_t index, const ExtraTexts& extras,
                               bool anyText)
{
    if (block.cells == None) {
        // The records before it had none.
        block.cells = m_cells.size() / CellBytes;
        for (std::size_t i = 0; i < index; ++i)
            std::memcpy(m_cells.grow(CellBytes), BlankCell.data(), CellBytes);
    }
    ExtrasCell cell = anyText ? packed(extras) : BlankCell;
    if (block.parsed)
        parseCell(cell);
    std::memcpy(m_cells.grow(CellBytes), cell.data(), CellBytes);
}

RecordTable::Fields RecordTable::fields(std::size_t n) const
{
    const std::size_t i = (n - 1) % BlockRecords;
    const Block& block = m_blocks[(n - 1) / BlockRecords];
    if (block.lengths == None)
        return {};
    std::uint16_t start = 0;
    std::memcpy(&start, m_starts.data() + (block.starts + i / StartEvery) * sizeof start,
                sizeof start);
    std::size_t at = block.chars + start;
    const std::uint8_t* lengths = m_lengths.data() + block.lengths;
    for (std::size_t k = i - i % StartEvery; k < i; ++k)
        at += lengthX(lengths[k]) + lengthY(lengths[k]);
    const char* chars = reinterpret_cast<const char*>(m_chars.data()) + at;
    return {{chars, lengthX(lengths[i])}, {chars + lengthX(lengths[i]), lengthY(lengths[i])}};
}

void RecordTable::parseBlock(const Block& block) const
{
    const auto index = static_cast<std::size_t>(&block - m_blocks.data());
    const std::size_t records = std::min(BlockRecords, m_count - index * BlockRecords);
    std::uint8_t* cells = m_cells.data() + block.cells * CellBytes;
    for (std::size_t i = 0; i < records; ++i) {
        ExtrasCell cell;
        std::memcpy(cell.data(), cells + i * CellBytes, CellBytes);
        parseCell(cell);
        std::memcpy(cells + i * CellBytes, cell.data(), CellBytes);
    }
    block.parsed = true;
}

RecordExtras RecordTable::extras(std::size_t n) const
{
    const Block& block = m_blocks[(n - 1) / BlockRecords];
    if (block.cells == None)
        return {};
    if (!block.parsed)
        parseBlock(block);
    RecordExtras values;
    std::memcpy(&values, m_cells.data() + (block.cells + (n - 1) % BlockRecords) * CellBytes,
                CellBytes);
    return values;
}

bool RecordTable::operator==(const RecordTable& other) const
{
    if (m_count != other.m_count)
        return false;
    for (std::size_t n = 1; n <= m_count; ++n) {
        const Fields mine = fields(n);
        const Fields theirs = other.fields(n);
        if (mine.x != theirs.x || mine.y != theirs.y || !(extras(n) == other.extras(n)))
            return false;
    }
    return true;
}

} // namespace files

#include "files/CsvWriter.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ostream>

namespace files {

namespace {

constexpr std::size_t BlockSize = 1 << 20;

constexpr std::array<double, 18> PowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,
                                                1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                                1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

// The fixed text of `value` with `decimals` digits, the same as to_chars gives, from integer
// arithmetic (to_chars with a precision costs several times more, which a million records
// feel). Only where the result is certain: the scaled value small enough and not so near a half
// that the rounding of the product could decide the last digit. Returns the end of the text,
// or nullptr to leave the value to to_chars.
char* fastFixed(char* out, double value, int decimals)
{
    const double scaled = value * PowersOfTen[static_cast<std::size_t>(decimals)];
    // Below 1e12 the product is off by less than 1e-4, well inside the margin kept from a half.
    if (!(std::abs(scaled) < 1e12))
        return nullptr;
    const double rounded = std::nearbyint(scaled);
    if (std::abs(std::abs(scaled - rounded) - 0.5) < 1e-3)
        return nullptr;
    auto digits = static_cast<unsigned long long>(std::abs(rounded));
    char reversed[24];
    int length = 0;
    for (int i = 0; i <= decimals || digits > 0; ++i) {
        if (i == decimals && decimals > 0)
            reversed[length++] = '.';
        reversed[length++] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    if (std::signbit(value))
        *out++ = '-';
    while (length > 0)
        *out++ = reversed[--length];
    return out;
}

} // namespace

CsvWriter::CsvWriter(QIODevice& device)
    : CsvWriter([&device](std::string_view block) {
          // A short write is retried, so that a full disk ends in an error with its reason.
          while (!block.empty()) {
              const qint64 written = device.write(block.data(), static_cast<qint64>(block.size()));
              if (written <= 0)
                  return false;
              block.remove_prefix(static_cast<std::size_t>(written));
          }
          return true;
      })
{
}

CsvWriter::CsvWriter(std::ostream& stream)
    : CsvWriter([&stream](std::string_view block) {
          stream.write(block.data(), static_cast<std::streamsize>(block.size()));
          return static_cast<bool>(stream);
      })
{
}

CsvWriter::CsvWriter(std::function<bool(std::string_view)> sink)
    : m_sink(std::move(sink)), m_block(BlockSize + 4096, '\0')
{
}

char* CsvWriter::room(std::size_t bytes)
{
    if (m_used + bytes > m_block.size()) {
        writeBlock();
        if (bytes > m_block.size())
            m_block.resize(bytes);
    }
    char* at = m_block.data() + m_used;
    m_used += bytes;
    return at;
}

char* CsvWriter::startField(std::size_t bytes)
{
    char* at = room(bytes + (m_rowStarted ? 1 : 0));
    if (m_rowStarted)
        *at++ = ',';
    m_rowStarted = true;
    return at;
}

void CsvWriter::text(std::string_view field)
{
    // A plain loop: find_first_of runs a search of the four characters for each of the field's.
    const bool special = std::any_of(field.begin(), field.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (!special) {
        // An empty view may carry no pointer at all, which memcpy must not be given.
        std::copy(field.begin(), field.end(), startField(field.size()));
        return;
    }
    const auto quotes = static_cast<std::size_t>(std::count(field.begin(), field.end(), '"'));
    char* at = startField(field.size() + quotes + 2);
    *at++ = '"';
    for (const char c : field) {
        if (c == '"')
            *at++ = '"';
        *at++ = c;
    }
    *at = '"';
}

void CsvWriter::number(std::optional<double> value, int decimals)
{
    if (!value || !std::isfinite(*value)) {
        startField(0);
        return;
    }
    decimals = std::clamp(decimals, 0, 17);
    // The widest fixed text of a double: 309 digits before the point, 17 after, sign, point.
    char digits[330];
    char* end = fastFixed(digits, *value, decimals);
    if (end == nullptr)
        end = std::to_chars(digits, digits + sizeof digits, *value, std::chars_format::fixed,
                            decimals)
                  .ptr;
    const auto size = static_cast<std::size_t>(end - digits);
    std::memcpy(startField(size), digits, size);
}

void CsvWriter::endRow()
{
    std::memcpy(room(2), "\r\n", 2);
    m_rowStarted = false;
    if (m_used >= BlockSize)
        writeBlock();
}

char* CsvWriter::rowRoom(std::size_t bytes)
{
    if (m_used + bytes > m_block.size()) {
        writeBlock();
        if (bytes > m_block.size())
            m_block.resize(bytes);
    }
    return m_block.data() + m_used;
}

void CsvWriter::finishRow(const char* end)
{
    m_used = static_cast<std::size_t>(end - m_block.data());
    endRow();
}

void CsvWriter::writeBlock()
{
    if (!m_failed && m_used > 0)
        m_failed = !m_sink({m_block.data(), m_used});
    m_used = 0;
}

bool CsvWriter::finish()
{
    writeBlock();
    return !m_failed;
}

} // namespace files

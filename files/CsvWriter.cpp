#include "files/CsvWriter.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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
          return device.write(block.data(), static_cast<qint64>(block.size())) ==
                 static_cast<qint64>(block.size());
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

CsvWriter::CsvWriter(std::function<bool(std::string_view)> sink) : m_sink(std::move(sink))
{
    m_block.reserve(BlockSize + 4096);
}

void CsvWriter::startField()
{
    if (m_rowStarted)
        m_block += ',';
    m_rowStarted = true;
}

void CsvWriter::text(std::string_view field)
{
    startField();
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        m_block += field;
        return;
    }
    m_block += '"';
    for (const char c : field) {
        if (c == '"')
            m_block += '"';
        m_block += c;
    }
    m_block += '"';
}

void CsvWriter::number(std::optional<double> value, int decimals)
{
    startField();
    if (!value || !std::isfinite(*value))
        return;
    decimals = std::clamp(decimals, 0, 17);
    // The widest fixed text of a double: 309 digits before the point, 17 after, sign, point.
    char digits[330];
    char* end = fastFixed(digits, *value, decimals);
    if (end == nullptr)
        end = std::to_chars(digits, digits + sizeof digits, *value, std::chars_format::fixed,
                            decimals)
                  .ptr;
    m_block.append(digits, end);
}

void CsvWriter::endRow()
{
    m_block += "\r\n";
    m_rowStarted = false;
    if (m_block.size() >= BlockSize)
        writeBlock();
}

void CsvWriter::writeBlock()
{
    if (!m_failed && !m_block.empty())
        m_failed = !m_sink(m_block);
    m_block.clear();
}

bool CsvWriter::finish()
{
    writeBlock();
    return !m_failed;
}

} // namespace files

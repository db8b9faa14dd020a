#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace fuzzinput {

// A property that must hold for every input; a failure is a finding.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Reads the fuzzer's bytes from the front, giving zeros once they run out.
class Reader
{
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : std::uint8_t{0}; }

    double number()
    {
        double value = 0;
        std::uint8_t raw[sizeof value] = {};
        for (auto& b : raw)
            b = byte();
        std::memcpy(&value, raw, sizeof value);
        return value;
    }

    // What is left, as Latin-1 text (every byte a character, NULs included).
    QString restAsLatin1()
    {
        const auto n = m_size - m_pos;
        const QString text = QString::fromLatin1(reinterpret_cast<const char*>(m_data + m_pos),
                                                 static_cast<qsizetype>(n));
        m_pos = m_size;
        return text;
    }

    // What is left, as UTF-8 text (invalid sequences become replacement characters).
    QString restAsUtf8()
    {
        const auto n = m_size - m_pos;
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(m_data + m_pos),
                                               static_cast<qsizetype>(n));
        m_pos = m_size;
        return text;
    }

    std::size_t remaining() const { return m_size - m_pos; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace fuzzinput

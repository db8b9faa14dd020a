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

    // Every byte of a report (or any byte array) from the front.
    template <typename Bytes> Bytes bytes()
    {
        Bytes out{};
        for (auto& b : out)
            b = byte();
        return out;
    }

    // What is left, as Latin-1 text (every byte a character, NULs included).
    QString restAsLatin1() { return rest(&QString::fromLatin1); }
    // What is left, as UTF-8 text (invalid sequences become replacement characters).
    QString restAsUtf8() { return rest(&QString::fromUtf8); }

    std::size_t remaining() const { return m_size - m_pos; }

private:
    QString rest(QString (*decode)(const char*, qsizetype))
    {
        const QString text = decode(reinterpret_cast<const char*>(m_data + m_pos),
                                    static_cast<qsizetype>(m_size - m_pos));
        m_pos = m_size;
        return text;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace fuzzinput

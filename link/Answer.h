#pragma once

#include "link/Command.h"

#include <cstdint>
#include <span>

namespace meterlink {

// Reads the fields of a run of bytes numbered from 1, as the meter's tables count them. Numbers
// wider than a byte are big-endian. A byte outside the run reads as 0, so a field that runs
// past the end is cut short, never read beyond it.
class ByteReader
{
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint8_t byte(int n) const;
    std::uint16_t u16(int n) const;
    std::uint32_t u32(int n) const;
    std::uint64_t u40(int n) const; // the memory sizes
    int s16(int n) const;           // two's complement
    int sm16(int n) const;          // sign and magnitude: the top bit is the sign
    // Bytes `first` to first + count - 1, as far as they exist.
    std::span<const std::uint8_t> bytes(int first, int count) const;

private:
    std::span<const std::uint8_t> m_bytes;
};

// One report the meter sent, read through typed fields: byte 1 is its first data byte.
class Answer
{
public:
    static constexpr int DataBytes = 64;

    explicit Answer(const Report& report) : m_report(report) {}

    std::uint8_t byte(int n) const { return reader().byte(n); }
    std::uint16_t u16(int n) const { return reader().u16(n); }
    std::uint32_t u32(int n) const { return reader().u32(n); }
    std::uint64_t u40(int n) const { return reader().u40(n); }
    int s16(int n) const { return reader().s16(n); }
    int sm16(int n) const { return reader().sm16(n); }
    std::span<const std::uint8_t> bytes(int first, int count) const
    {
        return reader().bytes(first, count);
    }

private:
    ByteReader reader() const { return ByteReader(std::span(m_report).subspan(1)); }

    Report m_report;
};

} // namespace meterlink

#include "link/Answer.h"

#include <algorithm>

namespace meterlink {

std::uint8_t ByteReader::byte(int n) const
{
    if (n < 1 || static_cast<std::size_t>(n) > m_bytes.size())
        return 0;
    return m_bytes[static_cast<std::size_t>(n - 1)];
}

std::uint16_t ByteReader::u16(int n) const
{
    return static_cast<std::uint16_t>(byte(n) << 8 | byte(n + 1));
}

std::uint32_t ByteReader::u32(int n) const
{
    return static_cast<std::uint32_t>(u16(n)) << 16 | u16(n + 2);
}

std::uint64_t ByteReader::u40(int n) const
{
    return static_cast<std::uint64_t>(byte(n)) << 32 | u32(n + 1);
}

int ByteReader::s16(int n) const
{
    const int value = u16(n);
    return value > 32767 ? value - 65536 : value;
}

int ByteReader::sm16(int n) const
{
    const int value = u16(n);
    return value > 32767 ? -(value - 32768) : value;
}

std::span<const std::uint8_t> ByteReader::bytes(int first, int count) const
{
    const auto size = static_cast<long long>(m_bytes.size());
    const long long from = std::clamp<long long>(first - 1LL, 0, size);
    const long long to = std::clamp<long long>(first - 1LL + std::max(count, 0), from, size);
    return m_bytes.subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

} // namespace meterlink

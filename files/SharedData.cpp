#include "files/SharedData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace files {

namespace {

bool anyValue(const RecordExtras& extras)
{
    return !std::isnan(extras.Ev) || !std::isnan(extras.Tcp) || !std::isnan(extras.duv);
}

std::size_t lengthX(std::uint8_t lengths)
{
    return lengths & 0x0Fu;
}

std::size_t lengthY(std::uint8_t lengths)
{
    return lengths >> 4u;
}

} // namespace

bool RecordExtras::operator==(const RecordExtras& other) const
{
    return std::memcmp(this, &other, sizeof other) == 0;
}

void RecordTable::append(std::string_view x, std::string_view y, const RecordExtras& extras)
{
    if (m_blocks.empty() || m_blocks.back().lengths.size() == BlockRecords) {
        if (!m_blocks.empty())
            m_blocks.back().chars.shrink_to_fit();
        const std::size_t left = m_expected > m_count ? m_expected - m_count : 1;
        const std::size_t records = std::min(BlockRecords, left);
        Block& block = m_blocks.emplace_back();
        block.lengths.reserve(records);
        block.starts.reserve((records + StartEvery - 1) / StartEvery);
        block.chars.reserve(records * 2 * FieldLength);
    }
    Block& block = m_blocks.back();
    const std::size_t index = block.lengths.size();
    if (index % StartEvery == 0)
        block.starts.push_back(static_cast<std::uint16_t>(block.chars.size()));
    x = x.substr(0, FieldLength);
    y = y.substr(0, FieldLength);
    block.lengths.push_back(static_cast<std::uint8_t>(x.size() | y.size() << 4u));
    // Most fields are either all there or missing: no call for a missing one.
    if (!x.empty())
        block.chars.append(x);
    if (!y.empty())
        block.chars.append(y);
    if (block.extras.empty() && anyValue(extras)) {
        block.extras.reserve(block.lengths.capacity());
        block.extras.resize(index);
        block.extras.push_back(extras);
    } else if (!block.extras.empty()) {
        block.extras.push_back(extras);
    }
    ++m_count;
}

RecordTable::Place RecordTable::locate(std::size_t n) const
{
    const std::size_t index = (n - 1) % BlockRecords;
    const Block& block = m_blocks[(n - 1) / BlockRecords];
    const std::size_t first = index - index % StartEvery;
    std::size_t start = block.starts[first / StartEvery];
    for (std::size_t i = first; i < index; ++i)
        start += lengthX(block.lengths[i]) + lengthY(block.lengths[i]);
    return {block, block.lengths[index], start};
}

std::string_view RecordTable::x(std::size_t n) const
{
    const Place place = locate(n);
    return {place.block.chars.data() + place.start, lengthX(place.lengths)};
}

std::string_view RecordTable::y(std::size_t n) const
{
    const Place place = locate(n);
    return {place.block.chars.data() + place.start + lengthX(place.lengths),
            lengthY(place.lengths)};
}

RecordExtras RecordTable::extras(std::size_t n) const
{
    const Block& block = m_blocks[(n - 1) / BlockRecords];
    return block.extras.empty() ? RecordExtras{} : block.extras[(n - 1) % BlockRecords];
}

bool RecordTable::operator==(const RecordTable& other) const
{
    return m_count == other.m_count && m_blocks == other.m_blocks;
}

} // namespace files

#include "files/SharedData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace files {

namespace {

template <typename Field> void setField(Field& field, std::string_view text)
{
    // At most seven characters: a plain loop, which the compiler unrolls, rather than a call.
    const std::size_t length = std::min(text.size(), field.size() - 1);
    field[0] = static_cast<char>(length);
    for (std::size_t i = 0; i < length; ++i)
        field[i + 1] = text[i];
}

template <typename Field> std::string_view fieldText(const Field& field)
{
    return {field.data() + 1, static_cast<std::size_t>(field[0])};
}

bool anyValue(const RecordExtras& extras)
{
    return !std::isnan(extras.Ev) || !std::isnan(extras.Tcp) || !std::isnan(extras.duv);
}

} // namespace

bool RecordExtras::operator==(const RecordExtras& other) const
{
    return std::memcmp(this, &other, sizeof other) == 0;
}

void RecordTable::append(std::string_view x, std::string_view y, const RecordExtras& extras)
{
    if (m_blocks.empty() || m_blocks.back().size() == BlockRecords) {
        const std::size_t left = m_expected > m_count ? m_expected - m_count : 1;
        m_blocks.emplace_back().reserve(std::min(BlockRecords, left));
        m_extras.emplace_back();
    }
    std::vector<Record>& block = m_blocks.back();
    Record& record = block.emplace_back();
    setField(record.x, x);
    setField(record.y, y);
    std::vector<RecordExtras>& blockExtras = m_extras.back();
    if (blockExtras.empty() && anyValue(extras)) {
        blockExtras.reserve(block.capacity());
        blockExtras.resize(block.size() - 1);
        blockExtras.push_back(extras);
    } else if (!blockExtras.empty()) {
        blockExtras.push_back(extras);
    }
    ++m_count;
}

const RecordTable::Record& RecordTable::at(std::size_t n) const
{
    const std::size_t index = n - 1;
    return m_blocks[index / BlockRecords][index % BlockRecords];
}

std::string_view RecordTable::x(std::size_t n) const
{
    return fieldText(at(n).x);
}

std::string_view RecordTable::y(std::size_t n) const
{
    return fieldText(at(n).y);
}

RecordExtras RecordTable::extras(std::size_t n) const
{
    const std::size_t index = n - 1;
    const std::vector<RecordExtras>& block = m_extras[index / BlockRecords];
    return block.empty() ? RecordExtras{} : block[index % BlockRecords];
}

bool RecordTable::operator==(const RecordTable& other) const
{
    return m_count == other.m_count && m_blocks == other.m_blocks && m_extras == other.m_extras;
}

} // namespace files

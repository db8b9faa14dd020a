#include "files/ItemReader.h"

#include <algorithm>
#include <cstring>

namespace files {

namespace {

const char* find(const char* from, const char* end, char c)
{
    const auto* hit =
        static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
    return hit != nullptr ? hit : end;
}

// Steps over the separator at pos (comma, CR LF, LF or CR).
const char* skipSeparator(const char* pos, const char* end)
{
    if (pos == end)
        return pos;
    if (*pos == '\r' && pos + 1 != end && pos[1] == '\n')
        return pos + 2;
    return pos + 1;
}

} // namespace

const char* ItemScanner::itemEnd(const char* from)
{
    // Record lines are long and hold no separator before their end, so the searches run on
    // memchr rather than byte by byte.
    if (m_nextLf == nullptr || m_nextLf < from)
        m_nextLf = find(from, m_end, '\n');
    if (m_nextCr == nullptr || m_nextCr < from)
        m_nextCr = find(from, m_end, '\r');
    const char* lineEnd = std::min(m_nextLf, m_nextCr);
    return find(from, lineEnd, ',');
}

std::string_view ItemScanner::next()
{
    while (m_pos != m_end && *m_pos == ' ')
        ++m_pos;
    if (m_pos != m_end && *m_pos == '"') {
        const char* start = m_pos + 1;
        const char* close = start;
        while (close != m_end && *close != '"' && *close != '\r' && *close != '\n')
            ++close;
        const std::string_view item(start, static_cast<std::size_t>(close - start));
        const char* rest = close != m_end && *close == '"' ? close + 1 : close;
        m_pos = skipSeparator(itemEnd(rest), m_end);
        return item;
    }
    const char* start = m_pos;
    const char* stop = itemEnd(start);
    m_pos = skipSeparator(stop, m_end);
    return {start, static_cast<std::size_t>(stop - start)};
}

} // namespace files

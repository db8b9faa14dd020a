#include "files/ItemReader.h"

#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace files {

namespace {

bool isSeparator(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

// The first comma, CR or LF from `from` on, or `end`: one pass over the text, sixteen bytes at
// a time where the processor allows, as record lines are long and hold no separator before
// their end. Each item is searched only up to its own end, so a text is searched once.
const char* separatorFrom(const char* from, const char* end)
{
#if defined(__SSE2__)
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, comma), _mm_cmpeq_epi8(bytes, cr)),
                         _mm_cmpeq_epi8(bytes, lf));
        if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0)
            return from + std::countr_zero(mask);
    }
#endif
    while (from != end && !isSeparator(*from))
        ++from;
    return from;
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
        m_pos = skipSeparator(separatorFrom(rest, m_end), m_end);
        return item;
    }
    const char* start = m_pos;
    const char* stop = separatorFrom(start, m_end);
    m_pos = skipSeparator(stop, m_end);
    return {start, static_cast<std::size_t>(stop - start)};
}

} // namespace files

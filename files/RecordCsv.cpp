#include "files/RecordCsv.h"

#include "files/DataFileReader.h"
#include "files/ItemReader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace files {

namespace {

constexpr int HeaderItems = 5;

// The item names foot-candles after "Unit :".
bool namesFootCandles(std::string_view item)
{
    constexpr std::string_view Label = "Unit :";
    const std::size_t at = item.find(Label);
    if (at == std::string_view::npos)
        return false;
    std::string_view unit = item.substr(at + Label.size());
    while (!unit.empty() && unit.front() == ' ')
        unit.remove_prefix(1);
    while (!unit.empty() && unit.back() == ' ')
        unit.remove_suffix(1);
    return unit == "fc";
}

// A field text that the CSV shows as it stands: an optional minus, a whole part without
// leading zeros, and an optional point with digits after it. Reading such a text and writing its
// value with its decimals gives the same characters again, so it is copied instead.
bool isPlainDecimal(std::string_view text)
{
    std::size_t i = !text.empty() && text.front() == '-' ? 1 : 0;
    const std::size_t whole = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i == whole || (i - whole > 1 && text[whole] == '0'))
        return false;
    if (i == text.size())
        return true;
    if (text[i] != '.' || i + 1 == text.size())
        return false;
    for (++i; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::string_view withoutBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The ISO 8601 date and time of a record item, written at `iso` (19 characters); nothing
// when its time is not valid. A valid time holds its digits where IsoDateTime would put them.
std::string_view isoTime(std::string_view item, char* iso)
{
    if (!ParseRecordTime(item))
        return {};
    std::memcpy(iso, "YYYY-MM-DDThh:mm:ss", 19);
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
        iso[i] = item[i < 11 ? i : i + 1];
    return {iso, 19};
}

// The first characters of a record item, blanks after its end: a field cut by the end of the
// item, or beyond it, reads as it does with its blanks trimmed. An item that holds every field
// is read where it stands, with what follows it.
constexpr std::size_t LineBytes = PlainLineLayouts::LineBytes;
// Where the last field ends.
constexpr std::size_t FieldsEnd =
    RecordFieldPlaces.back().first - 1 + RecordFieldPlaces.back().length;
// Sixteen bytes are copied from where a field's text starts; no field straddles two words of a
// mask.
constexpr std::size_t Copied = 16;
static_assert(std::ranges::all_of(RecordFieldPlaces, [](RecordFieldPlace p) {
    return (p.first - 1) / 64 == (p.first + p.length - 2) / 64 &&
           p.first - 1 + p.length <= LineBytes;
}));
using Layout = PlainLineLayouts::Layout;

// The kinds of the characters of a line, bit i of a mask for character i.
struct LineKinds
{
    std::array<std::uint64_t, 2> digit{};
    std::array<std::uint64_t, 2> blank{};
    std::array<std::uint64_t, 2> point{};
    std::array<std::uint64_t, 2> minus{};
};

LineKinds kindsOf(const char* line)
{
    LineKinds kinds;
    for (std::size_t i = 0; i < LineBytes; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << (i % 64);
        kinds.digit[i / 64] |= line[i] >= '0' && line[i] <= '9' ? bit : 0;
        kinds.blank[i / 64] |= line[i] == ' ' ? bit : 0;
        kinds.point[i / 64] |= line[i] == '.' ? bit : 0;
        kinds.minus[i / 64] |= line[i] == '-' ? bit : 0;
    }
    return kinds;
}

// Field `index` of a line from the kinds of its characters, when it is blank or a plain decimal
// (isPlainDecimal): where its text lies in the layout, and where a digit must not be 0 (the
// first of a whole part of two or more). False for any other field.
bool plainField(const LineKinds& kinds, const char* line, std::size_t index, Layout& layout)
{
    const RecordFieldPlace place = RecordFieldPlaces[index];
    const std::size_t first = place.first - 1;
    const std::size_t word = first / 64;
    const std::size_t shift = first % 64;
    const std::uint64_t all = (std::uint64_t{1} << place.length) - 1;
    const std::uint64_t digit = kinds.digit[word] >> shift & all;
    const std::uint64_t blank = kinds.blank[word] >> shift & all;
    const std::uint64_t point = kinds.point[word] >> shift & all;
    const std::uint64_t minus = kinds.minus[word] >> shift & all;
    if ((digit | blank | point | minus) != all)
        return false;
    const std::uint64_t text = all & ~blank;
    layout.lead[index] = 0;
    layout.length[index] = 0;
    if (text == 0)
        return true;
    const int lead = std::countr_zero(text);
    const int end = 64 - std::countl_zero(text);
    // No blank inside, a minus only in front, at most one point.
    const std::uint64_t sign = minus & (std::uint64_t{1} << lead);
    if (((text >> lead) & ((text >> lead) + 1)) != 0 || minus != sign || (point & (point - 1)) != 0)
        return false;
    const int whole = lead + (sign != 0 ? 1 : 0);
    const int wholeEnd = point != 0 ? std::countr_zero(point) : end;
    // A whole part, without a leading zero; digits after a point.
    if (wholeEnd <= whole || (wholeEnd - whole > 1 && line[first + whole] == '0') ||
        (point != 0 && wholeEnd + 1 == end))
        return false;
    layout.lead[index] = static_cast<std::uint8_t>(lead);
    layout.length[index] = static_cast<std::uint8_t>(end - lead);
    if (wholeEnd - whole > 1)
        layout.nonZero[first + static_cast<std::size_t>(whole)] = -1;
    return true;
}

// The layout of a line whose fields are all blank or plain decimals; false for any other.
bool layoutOf(const char* line, Layout& layout)
{
    const LineKinds kinds = kindsOf(line);
    layout.nonZero.fill(0);
    for (std::size_t i = 0; i < RecordValueCount; ++i) {
        if (!plainField(kinds, line, i, layout))
            return false;
    }
    for (std::size_t i = 0; i < LineBytes; ++i)
        layout.pattern[i] = line[i] >= '0' && line[i] <= '9' ? '0' : line[i];
    // YYYY/MM/DD  hh:mm:ss
    const std::string_view pattern(layout.pattern.data(), LineBytes);
    layout.timeInPlace = pattern.starts_with("0000/00/00") && pattern.substr(12, 8) == "00:00:00";
    layout.known = true;
    return true;
}

// Which of the two layouts the line is laid out as: every character but a digit the same, and
// no 0 where a digit must not be one. -1 for neither.
bool sameLayout(const Layout& layout, const char* line)
{
    if (!layout.known)
        return false;
#if defined(__SSE2__)
    const auto load = [](const char* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(static_cast<const void*>(at)));
    };
    __m128i same = _mm_set1_epi8(-1);
#pragma GCC unroll 8
    for (std::size_t at = 0; at < LineBytes; at += 16) {
        const __m128i c = load(line + at);
        const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)),
                                            _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
        const __m128i pattern =
            _mm_or_si128(_mm_and_si128(digit, _mm_set1_epi8('0')), _mm_andnot_si128(digit, c));
        const __m128i zero =
            _mm_and_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8('0')), load(&layout.nonZero[at]));
        same = _mm_and_si128(
            same, _mm_andnot_si128(zero, _mm_cmpeq_epi8(pattern, load(&layout.pattern[at]))));
    }
    return _mm_movemask_epi8(same) == 0xFFFF;
#else
    for (std::size_t i = 0; i < LineBytes; ++i) {
        const bool digit = line[i] >= '0' && line[i] <= '9';
        if ((digit ? '0' : line[i]) != layout.pattern[i] ||
            (line[i] == '0' && layout.nonZero[i] != 0))
            return false;
    }
    return true;
#endif
}

// Which of the two layouts the line is laid out as, the newest tried first: every character
// but a digit the same, and no 0 where a digit must not be one. -1 for neither.
int matchingLayout(const PlainLineLayouts& layouts, const char* line)
{
    const std::size_t newest = layouts.newest;
    if (sameLayout(layouts.layouts[newest], line))
        return static_cast<int>(newest);
    if (sameLayout(layouts.layouts[1 - newest], line))
        return static_cast<int>(1 - newest);
    return -1;
}

// The ISO 8601 date and time of a line whose digits and separators stand where a record time
// has them, as isoTime writes it; nothing when it is no valid time.
std::string_view isoTimeOfDigits(const char* line, char* iso)
{
    const auto two = [line](int i) { return (line[i] - '0') * 10 + (line[i + 1] - '0'); };
    if (two(5) < 1 || two(5) > 12 || two(8) < 1 || two(8) > 31 || two(12) > 23 || two(15) > 59 ||
        two(18) > 59)
        return {};
    std::memcpy(iso, line, 10);
    iso[4] = '-';
    iso[7] = '-';
    iso[10] = 'T';
    std::memcpy(iso + 11, line + 12, 8);
    return {iso, 19};
}

// The row of a record item whose fields are all blank or plain decimals (the lines this
// program and the meter write), gathered and handed to the writer in one go; false, with
// nothing written, for any other.
bool writePlainRecordItem(CsvWriter& out, std::string_view item, std::size_t readable,
                          PlainLineLayouts& layouts)
{
    // The item itself where it holds every field and enough text follows it; sixteen bytes are
    // copied for each field, which cost less than a copy of its length.
    char copy[LineBytes + Copied];
    const char* line = item.data();
    if (item.size() < FieldsEnd || readable < sizeof copy) {
        std::memset(copy, ' ', sizeof copy);
        std::memcpy(copy, item.data(), std::min(item.size(), LineBytes));
        line = copy;
    }
    int match = matchingLayout(layouts, line);
    if (match < 0) {
        Layout& oldest = layouts.layouts[1 - layouts.newest];
        if (!layoutOf(line, oldest)) {
            oldest.known = false;
            return false;
        }
        match = static_cast<int>(1 - layouts.newest);
    }
    layouts.newest = static_cast<std::size_t>(match);
    const Layout& layout = layouts.layouts[static_cast<std::size_t>(match)];

    // The date and time, then each field with its comma.
    char* row = out.rowRoom(19 + RecordValueCount * 10 + Copied);
    char* at = row + (layout.timeInPlace ? isoTimeOfDigits(line, row) : isoTime(item, row)).size();
#pragma GCC unroll 10
    for (const RecordValue field : RecordCsvOrder) {
        const auto i = static_cast<std::size_t>(field);
        *at++ = ',';
        std::memcpy(at, line + RecordFieldPlaces[i].first - 1 + layout.lead[i], Copied);
        at += layout.length[i];
    }
    out.finishRow(at);
    return true;
}

// The row WriteRecordRow writes for ParseRecordFields(item), without taking apart the fields
// that can be copied: a million records are exported in a fraction of the time.
void writeRecordItem(CsvWriter& out, std::string_view item, std::size_t readable,
                     PlainLineLayouts& layouts)
{
    if (writePlainRecordItem(out, item, readable, layouts))
        return;
    char iso[19];
    out.text(isoTime(item, iso));
    for (const RecordValue field : RecordCsvOrder) {
        const std::string_view text = withoutBlanks(RecordFieldText(item, field));
        if (isPlainDecimal(text)) {
            out.text(text);
        } else if (const std::optional<RecordNumber> n = ParseRecordValue(item, field)) {
            out.number(n->value, n->decimals);
        } else {
            out.text({});
        }
    }
    out.endRow();
}

} // namespace

Quantity QuantityOf(RecordValue field)
{
    static constexpr std::array<Quantity, RecordValueCount> Quantities = {
        Quantity::X, Quantity::Y, Quantity::Z, Quantity::Ev, Quantity::Tcp,
        Quantity::x, Quantity::y, Quantity::u, Quantity::v,  Quantity::Duv};
    return Quantities[static_cast<std::size_t>(field)];
}

std::array<std::string, 1 + RecordValueCount> RecordColumnTitles(bool footCandles)
{
    std::array<std::string, 1 + RecordValueCount> titles;
    titles[0] = TimeTitle;
    for (std::size_t i = 0; i < RecordValueCount; ++i)
        titles[i + 1] = QuantityTitle(QuantityOf(RecordCsvOrder[i]), footCandles);
    return titles;
}

void WriteRecordRow(CsvWriter& out, const RecordFields& fields)
{
    out.text(fields.time ? IsoDateTime(*fields.time) : std::string());
    for (const RecordValue field : RecordCsvOrder) {
        if (const std::optional<RecordNumber>& n = fields[field])
            out.number(n->value, n->decimals);
        else
            out.text({});
    }
    out.endRow();
}

void RecordsCsv::writeTitles()
{
    for (const std::string& title : RecordColumnTitles(m_footCandles))
        m_out.text(title);
    m_out.endRow();
    m_titled = true;
}

bool RecordsCsv::add(std::string_view item)
{
    return add(item, item.size());
}

bool RecordsCsv::add(std::string_view item, std::size_t readable)
{
    if (m_done)
        return false;
    if (m_headerItems < HeaderItems) {
        // Five items, of which only the third may be empty.
        if (item.empty() && m_headerItems != 2) {
            writeTitles();
            m_done = true;
        } else {
            m_footCandles = m_footCandles || namesFootCandles(item);
            if (++m_headerItems == HeaderItems)
                writeTitles();
        }
    } else if (IsRecordItem(item)) {
        writeRecordItem(m_out, item, readable, m_layouts);
        ++m_records;
    } else if (m_records > 0 || item.empty() ||
               ++m_extraItems > RecordCollector::MaxExtraHeaderItems) {
        // A few lines may stand between the header and the records (the column lines of a
        // recording); the records end at the first item that is not one.
        m_done = true;
    }
    return !m_done;
}

bool RecordsCsv::addItems(std::string_view text)
{
    for (ItemScanner items(text); !items.atEnd();) {
        const std::string_view item = items.next();
        if (!add(item, static_cast<std::size_t>(text.data() + text.size() - item.data())))
            return false;
    }
    return true;
}

long long RecordsCsv::finish()
{
    if (!m_titled)
        writeTitles();
    m_done = true;
    return m_records;
}

long long WriteRecordsCsv(std::string_view fileText, CsvWriter& out)
{
    RecordsCsv csv(out);
    csv.addItems(fileText);
    return csv.finish();
}

} // namespace files

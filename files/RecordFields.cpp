#include "files/RecordFields.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace files {

namespace {

// number() counts on fields of at most nine characters.
static_assert(std::ranges::all_of(RecordFieldPlaces,
                                  [](RecordFieldPlace p) { return p.length <= 9; }));

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr std::array<double, 10> PowersOfTen = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// A field of at most nine characters as a plain decimal number: blanks around it, a sign, digits
// with at most one point. Its digits and the power of ten are exact doubles, so the one division
// rounds as a full decimal conversion would.
std::optional<RecordNumber> number(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    std::uint32_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (const char c : text) {
        if (isDigit(c)) {
            digits = digits * 10 + static_cast<std::uint32_t>(c - '0');
            ++count;
            decimals += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    const double value = digits / PowersOfTen[static_cast<std::size_t>(decimals)];
    return RecordNumber{negative ? -value : value, decimals};
}

// The decimal digits at positions first..first+length-1 of an item long enough to hold them, or
// -1 when another character stands there.
int digitsAt(std::string_view item, std::size_t first, std::size_t length)
{
    int value = 0;
    for (const char c : item.substr(first - 1, length)) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<RecordTime> time(std::string_view item)
{
    if (item.size() < 20 || item[4] != '/' || item[7] != '/' || item[14] != ':' || item[17] != ':')
        return std::nullopt;
    const RecordTime t{digitsAt(item, 1, 4),  digitsAt(item, 6, 2),  digitsAt(item, 9, 2),
                       digitsAt(item, 13, 2), digitsAt(item, 16, 2), digitsAt(item, 19, 2)};
    if (t.year < 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 ||
        t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
        return std::nullopt;
    return t;
}

} // namespace

RecordFields ParseRecordFields(std::string_view item)
{
    RecordFields fields;
    fields.time = time(item);
    for (std::size_t i = 0; i < RecordFieldPlaces.size(); ++i)
        fields.values[i] = number(RecordFieldText(item, static_cast<RecordValue>(i)));
    return fields;
}

std::optional<RecordTime> ParseRecordTime(std::string_view item)
{
    return time(item);
}

std::optional<RecordNumber> ParseRecordValue(std::string_view item, RecordValue field)
{
    return number(RecordFieldText(item, field));
}

std::optional<RecordNumber> ParseRecordNumber(std::string_view text)
{
    return number(text.substr(0, 9));
}

std::string IsoDateTime(const RecordTime& t)
{
    std::string text = "0000-00-00T00:00:00";
    // Digits right to left into a place of `width` characters ending before `end`; a value too
    // wide keeps its last digits.
    const auto put = [&text](std::size_t end, std::size_t width, int value) {
        for (std::size_t k = 1; k <= width; ++k, value /= 10)
            text[end - k] = static_cast<char>('0' + std::abs(value % 10));
    };
    put(4, 4, t.year);
    put(7, 2, t.month);
    put(10, 2, t.day);
    put(13, 2, t.hour);
    put(16, 2, t.minute);
    put(19, 2, t.second);
    return text;
}

} // namespace files

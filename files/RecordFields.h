#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace files {

// The numeric fields of a record line, in line order (RecordLine.h has their positions).
enum class RecordValue
{
    X,
    Y,
    Z,
    Ev,
    Tcp,
    x,
    y,
    u, // u'
    v, // v'
    duv
};
inline constexpr int RecordValueCount = 10;

// A number as a record line holds it: its value and its digits after the decimal point, so
// that it can be written again exactly as it stood.
struct RecordNumber
{
    double value = 0;
    int decimals = 0;
};

struct RecordTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Every field of one record line.
struct RecordFields
{
    // Nothing when positions 1-20 hold no valid "YYYY/MM/DD  hh:mm:ss".
    std::optional<RecordTime> time;
    // Nothing for a field that is missing (blank, or beyond the end of the line) or that is not
    // a plain decimal number (blanks around it allowed, "." as decimal point, no exponent).
    std::array<std::optional<RecordNumber>, RecordValueCount> values;

    const std::optional<RecordNumber>& operator[](RecordValue field) const
    {
        return values[static_cast<std::size_t>(field)];
    }
};

// Where a field lies in a record line: its first position, counting from 1, and its length.
struct RecordFieldPlace
{
    std::size_t first;
    std::size_t length;
};
// In RecordValue order, as files/RecordLine.h lays them out.
inline constexpr std::array<RecordFieldPlace, RecordValueCount> RecordFieldPlaces = {{
    {21, 9},  // X
    {30, 9},  // Y
    {39, 9},  // Z
    {48, 9},  // Ev
    {57, 7},  // Tcp
    {68, 7},  // x
    {79, 7},  // y
    {90, 7},  // u'
    {101, 7}, // v'
    {112, 8}, // delta-uv
}};

// Splits a record item (a record line as the item reading returns it) into its fields.
RecordFields ParseRecordFields(std::string_view item);

// Parts of a record item, as ParseRecordFields takes them: the date and time, one numeric field,
// and the characters at a field's positions (as far as the item reaches), blanks included.
std::optional<RecordTime> ParseRecordTime(std::string_view item);
std::optional<RecordNumber> ParseRecordValue(std::string_view item, RecordValue field);
inline std::string_view RecordFieldText(std::string_view item, RecordValue field)
{
    const RecordFieldPlace& place = RecordFieldPlaces[static_cast<std::size_t>(field)];
    return item.size() < place.first ? std::string_view()
                                     : item.substr(place.first - 1, place.length);
}
// The text of a numeric field (at most nine characters) as ParseRecordValue takes it.
std::optional<RecordNumber> ParseRecordNumber(std::string_view text);

// ISO 8601 "YYYY-MM-DDThh:mm:ss".
std::string IsoDateTime(const RecordTime& time);

} // namespace files

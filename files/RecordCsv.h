#pragma once

#include "files/CsvWriter.h"
#include "files/QuantityTitles.h"
#include "files/RecordFields.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace files {

// The fields of a record line in the order a record CSV writes them, the quantities' order (a
// line holds Tcp before x), and the quantity each is.
inline constexpr std::array<RecordValue, RecordValueCount> RecordCsvOrder = {
    RecordValue::X, RecordValue::Y, RecordValue::Z, RecordValue::Ev,  RecordValue::x,
    RecordValue::y, RecordValue::u, RecordValue::v, RecordValue::Tcp, RecordValue::duv};
Quantity QuantityOf(RecordValue field);

// The column titles of a record CSV with their units, named as every table of readings names
// them: "Time", "X", "Y", "Z", "Ev (lx)" (or "Ev (fc)"), "x", "y", "u'", "v'", "Tcp (K)",
// "delta-uv".
std::array<std::string, 1 + RecordValueCount> RecordColumnTitles(bool footCandles);

// One record as a CSV row: its ISO 8601 date and time, then each value in RecordCsvOrder with the
// decimals it had in the record line; an empty field where the line holds nothing valid.
void WriteRecordRow(CsvWriter& out, const RecordFields& fields);

// The last two layouts of record lines whose fields were all blank or plain decimals, so that a
// line laid out as one of them (as a recording's lines mostly are) is written at once.
struct PlainLineLayouts
{
    // The first characters of a line, all its fields among them.
    static constexpr std::size_t LineBytes = 128;
    struct Layout
    {
        bool known = false;
        bool timeInPlace = false;              // its date and time: digits where they belong
        std::array<char, LineBytes> pattern{}; // the line with every digit a 0
        std::array<char, LineBytes> nonZero{}; // -1 where a digit must not be 0
        std::array<std::uint8_t, RecordValueCount> lead{};   // where each text starts
        std::array<std::uint8_t, RecordValueCount> length{}; // and its length
    };
    std::array<Layout, 2> layouts;
    std::size_t newest = 0;
};

// The CSV of a recording or of a downloaded set, from the file's items as they come: the title
// row, Ev in the unit the header names ("Unit : fc" gives fc, anything else lx), then one row
// for each record the data-file reader takes.
class RecordsCsv
{
public:
    explicit RecordsCsv(CsvWriter& out) : m_out(out) {}
    // Takes the next item; false once the records have ended and no further item matters.
    bool add(std::string_view item);
    // Takes the items of `text` in turn, as add() does.
    bool addItems(std::string_view text);
    // Call at the end of the items; the number of records written.
    long long finish();

private:
    // The item, and `readable` bytes from its start that may be looked at (the item and what
    // follows it).
    bool add(std::string_view item, std::size_t readable);
    void writeTitles();

    CsvWriter& m_out;
    int m_headerItems = 0;
    bool m_footCandles = false;
    bool m_titled = false;
    int m_extraItems = 0;
    long long m_records = 0;
    bool m_done = false;
    PlainLineLayouts m_layouts;
};

// The same for the whole text of a file. Returns the number of records written.
long long WriteRecordsCsv(std::string_view fileText, CsvWriter& out);

} // namespace files

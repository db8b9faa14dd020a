#pragma once

#include "files/SharedData.h"

#include <QString>
#include <string_view>
#include <vector>

namespace files {

// The time-stamp test of a record item: "/" at positions 5 and 8 and ":" at 15 and 18
// (counting from 1); a position beyond the end of the item does not match.
bool IsRecordItem(std::string_view item);

// Positions 68-74 (x) and 79-85 (y) of a record item, as far as the item reaches.
QString RecordFieldX(std::string_view item);
QString RecordFieldY(std::string_view item);

// Decides, item by item, what a data file holds. Items 1 to 5 are the header (any text, only
// item 3 may be empty). After it, a few lines that are not records may follow (the asterisk
// line and the column line of a recording); records start at the first item that passes the
// time-stamp test and end at the first item after them that is empty or fails it. A file whose
// item 6 is a record therefore reads as a run of records from item 6.
class RecordCollector
{
public:
    // Lines after the header that may stand before the first record.
    static constexpr int MaxExtraHeaderItems = 4;

    // Takes the next item; false once the records have ended and no further item matters.
    bool add(std::string_view item);
    // The header had its five items: the file is a data file (with 0 or more records).
    bool headerComplete() const { return m_headerItems == 5; }
    int recordCount() const { return static_cast<int>(m_x.size()) - 1; }
    std::vector<QString>& recordX() { return m_x; }
    std::vector<QString>& recordY() { return m_y; }

private:
    enum class Stage
    {
        Header,
        BeforeRecords,
        Records,
        Done
    };
    void store(std::string_view item);

    Stage m_stage = Stage::Header;
    int m_headerItems = 0;
    int m_extraItems = 0;
    // Index 0 holds nothing, as in PlotData.
    std::vector<QString> m_x{QString()};
    std::vector<QString> m_y{QString()};
};

enum class ReadOutcome
{
    Ok,
    CannotOpen,    // missing or not readable
    ReadFailed,    // the read broke off
    Empty,         // the first read found the end of the file
    HeaderTooShort // fewer than five header items
};

// Reads a data file in one pass. On success fills RecordCount, RecordX, RecordY and sets
// PlotFrom 1, PlotTo and PlotCount RecordCount, DefaultAxisMin 0 and DefaultAxisMax 1. On any
// failure `plot` is left exactly as it was.
ReadOutcome ReadDataFile(const QString& path, PlotData& plot);

} // namespace files

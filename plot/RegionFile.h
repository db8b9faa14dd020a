#pragma once

#include <QPointF>
#include <QString>
#include <array>
#include <optional>

class QIODevice;

namespace plot {

// One row of the regions panel: its check box and the texts of its eight boxes, x1..x4 then
// y1..y4, stored as typed.
struct RegionRow
{
    bool checked = false;
    std::array<QString, 8> texts;

    bool operator==(const RegionRow&) const = default;
};

inline constexpr int RegionRowCount = 5;
using RegionRows = std::array<RegionRow, RegionRowCount>;

// The corners (x, y) of a row in chromaticity units, a decimal comma read as the point; nothing
// when one of its boxes holds no number: such a row is neither drawn nor counted, never taken
// as 0.
std::optional<std::array<QPointF, 4>> RegionCorners(const RegionRow& row);

// "Region 2: Y of corner 3 holds no number, try again!" for the first box of a checked row that
// holds none; nothing when every checked row can be drawn.
std::optional<QString> RegionRowsRefusal(const RegionRows& rows);

// The region file: one line per checked row, in row order; each of the eight fields is followed
// by a TAB, each line by CR LF.
QByteArray RegionFileText(const RegionRows& rows);

// Reads a region file into empty rows. Every text item (up to a comma or line end, blanks before
// it skipped) checks the next row and fills its fields from the TAB-terminated texts; an item
// with fewer than eight TABs keeps what it has and ends the load; at most five items are read.
RegionRows ReadRegionText(const QByteArray& text);
// The same from a file or buffer; only its beginning is read, which holds the five items.
RegionRows ReadRegionFile(QIODevice& device);

// A field text that would not come back from the region file as typed: the reader splits items
// at commas and takes quoted items apart, and a TAB or line break would shift the fields.
// Returns the row (0-based) of the first such field among the checked rows.
std::optional<int> UnsafeRegionRow(const RegionRows& rows);

} // namespace plot

#pragma once

#include <string_view>

namespace files {

// The quantities a table of readings or records can hold, in the order every table, CSV and
// listing of this program writes them, so that a column means the same wherever it appears.
enum class Quantity
{
    X,
    Y,
    Z,
    Ev,
    x,
    y,
    u, // u'
    v, // v'
    Tcp,
    Duv,
    Wavelength,
    Pe,
    Pc
};
inline constexpr int QuantityCount = 13;

// The titles of the columns in front of the quantities: the PC's or the record's date and time
// (ISO 8601), and the display mode (only readings have one).
inline constexpr std::string_view TimeTitle = "Time";
inline constexpr std::string_view ModeTitle = "Mode";

// A quantity's column title with its unit: "X", "Ev (lx)" ("Ev (fc)" with `footCandles`), "u'",
// "Tcp (K)", "delta-uv", "Wavelength (nm)".
std::string_view QuantityTitle(Quantity quantity, bool footCandles);

} // namespace files

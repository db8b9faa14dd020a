#include "files/RecordLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace files {

namespace {

// Keeps a value inside what its field can show, so that no field ever widens the line. The
// minus sign takes a character of the field, so negative values stop one digit earlier.
double fit(double value, double lowest, double highest)
{
    if (!std::isfinite(value))
        return 0.0;
    return std::clamp(value, lowest, highest);
}

// Appends a whole number with leading zeros to `width` digits.
void appendDigits(std::string& line, int value, int width)
{
    char text[16];
    const char* end = std::to_chars(text, text + sizeof text, value).ptr;
    line.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, width - (end - text))), '0');
    line.append(text, static_cast<std::size_t>(end - text));
}

// Appends a value with `decimals` decimals, right-aligned in `width` characters. Not the C
// library's printf: its decimal point follows the user's locale, and the file needs the point.
void appendFixed(std::string& line, double value, int width, int decimals)
{
    char text[32];
    const char* end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    line.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, width - (end - text))), ' ');
    line.append(text, static_cast<std::size_t>(end - text));
}

} // namespace

std::string RecordLine(const Reading& r)
{
    std::string line;
    line.reserve(120);
    appendDigits(line, std::clamp(r.year, 0, 9999), 4);
    line += '/';
    appendDigits(line, std::clamp(r.month, 0, 99), 2);
    line += '/';
    appendDigits(line, std::clamp(r.day, 0, 99), 2);
    line += "  ";
    appendDigits(line, std::clamp(r.hour, 0, 99), 2);
    line += ':';
    appendDigits(line, std::clamp(r.minute, 0, 99), 2);
    line += ':';
    appendDigits(line, std::clamp(r.second, 0, 99), 2);
    for (const double value : {r.X, r.Y, r.Z, r.Ev})
        appendFixed(line, fit(value, -999999.9, 9999999.9), 9, 1);
    if (r.tcpOutOfRange)
        line.append(7, ' ');
    else
        appendFixed(line, fit(r.Tcp, -999999, 9999999), 7, 0);
    for (const double value : {r.x, r.y, r.u, r.v}) {
        line += "    ";
        appendFixed(line, fit(value, -9.9999, 99.9999), 7, 4);
    }
    line += "    ";
    if (r.tcpOutOfRange)
        line.append(8, ' ');
    else
        appendFixed(line, fit(r.duv, -99.9999, 999.9999), 8, 4);
    return line;
}

std::string RecordColumnLine()
{
    return "Date        Time            X        Y        Z       Ev    Tcp          x          y"
           "         u'         v'       duv";
}

} // namespace files

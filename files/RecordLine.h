#pragma once

#include <string>

namespace files {

// One reading as a record line of a recording or of a stored set. Positions count from 1:
//   1-20   date and time "YYYY/MM/DD  hh:mm:ss" ("/" at 5 and 8, ":" at 15 and 18)
//  21-29   X        30-38  Y        39-47  Z        48-56  Ev (9 characters each, 1 decimal)
//  57-63   Tcp in K (7 characters, whole kelvin)
//  68-74   x        79-85  y        90-96  u'       101-107 v'  (7 characters, 4 decimals)
// 112-119  delta-uv (8 characters, 4 decimals)
// Blanks fill the gaps; the line holds no comma, so it reads back as one item.
struct Reading
{
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    double X = 0, Y = 0, Z = 0, Ev = 0;
    double Tcp = 0;
    double x = 0, y = 0, u = 0, v = 0;
    double duv = 0;
    // The meter flags the colour temperature out of range: Tcp and delta-uv are left blank.
    bool tcpOutOfRange = false;
};

std::string RecordLine(const Reading& reading);

// The column line that names the fields above, aligned with them.
std::string RecordColumnLine();

} // namespace files

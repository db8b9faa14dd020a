#include "files/RecordLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

} // namespace

std::string RecordLine(const Reading& r)
{
    char line[160];
    std::snprintf(line, sizeof line,
                  "%04d/%02d/%02d  %02d:%02d:%02d%9.1f%9.1f%9.1f%9.1f%7.0f    %7.4f    %7.4f    "
                  "%7.4f    %7.4f    %8.4f",
                  std::clamp(r.year, 0, 9999), std::clamp(r.month, 0, 99),
                  std::clamp(r.day, 0, 99), std::clamp(r.hour, 0, 99), std::clamp(r.minute, 0, 99),
                  std::clamp(r.second, 0, 99), fit(r.X, -999999.9, 9999999.9),
                  fit(r.Y, -999999.9, 9999999.9), fit(r.Z, -999999.9, 9999999.9),
                  fit(r.Ev, -999999.9, 9999999.9), fit(r.Tcp, -999999, 9999999),
                  fit(r.x, -9.9999, 99.9999), fit(r.y, -9.9999, 99.9999),
                  fit(r.u, -9.9999, 99.9999), fit(r.v, -9.9999, 99.9999),
                  fit(r.duv, -99.9999, 999.9999));
    return line;
}

std::string RecordColumnLine()
{
    return "Date        Time            X        Y        Z       Ev    Tcp          x          y"
           "         u'         v'       duv";
}

} // namespace files

// A record line for any reading at all keeps its fixed layout, so the data-file reader finds
// the time stamp and the x, y fields where they belong.
#include "files/DataFileReader.h"
#include "files/RecordLine.h"
#include "fuzz/FuzzInput.h"

#include <cstdlib>
#include <string>

namespace {

int anyInt(fuzzinput::Reader& in)
{
    unsigned value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | in.byte();
    return static_cast<int>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzinput::Reader in(data, size);
    files::Reading r;
    r.year = anyInt(in);
    r.month = anyInt(in);
    r.day = anyInt(in);
    r.hour = anyInt(in);
    r.minute = anyInt(in);
    r.second = anyInt(in);
    for (double* field : {&r.X, &r.Y, &r.Z, &r.Ev, &r.Tcp, &r.x, &r.y, &r.u, &r.v, &r.duv})
        *field = in.number();

    const std::string line = files::RecordLine(r);
    fuzzinput::check(line.size() == 119);
    fuzzinput::check(files::IsRecordItem(line));
    fuzzinput::check(line.find(',') == std::string::npos);
    // Every field ends where the next begins: the blanks between them stay blanks.
    for (std::size_t gap : {63u, 64u, 65u, 66u, 74u, 75u, 76u, 77u, 85u, 86u, 87u, 88u})
        fuzzinput::check(line[gap] == ' ');
    return 0;
}

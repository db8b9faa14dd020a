// The two poll answer reports, whatever the meter (or a broken cable) sends: frame decoding,
// every display decision and the record line a recording would write.
#include "files/DataFileReader.h"
#include "files/RecordLine.h"
#include "fuzz/FuzzInput.h"
#include "link/FrameReadings.h"
#include "panel/DisplayState.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzinput::Reader in(data, size);
    const QChar sep = (in.byte() & 1) != 0 ? QLatin1Char(',') : QLatin1Char('.');
    const auto first = in.bytes<meterlink::Report>();
    const auto second = in.bytes<meterlink::Report>();

    const meterlink::Frame frame =
        meterlink::AssembleFrame(meterlink::Answer(first), meterlink::Answer(second));
    const meterlink::ByteReader reader(frame);
    for (int pos = -3; pos <= 131; ++pos) {
        const int s = reader.s16(pos);
        const int sm = reader.sm16(pos);
        fuzzinput::check(s >= -32768 && s <= 32767);
        fuzzinput::check(sm >= -32767 && sm <= 32767);
        if (pos < 1 || pos > 128)
            fuzzinput::check(reader.byte(pos) == 0);
        fuzzinput::check(reader.bytes(pos, 7).size() <= 7);
    }

    const meterlink::FrameFields fields = meterlink::DecodeFrame(frame);
    const panel::DisplayState display = panel::ComputeDisplay(fields, sep);
    for (const QString& line : display.lines)
        fuzzinput::check(line.size() < 64);
    (void)panel::ComputeReferenceTexts(fields, sep);
    (void)panel::ClockText(fields);

    // A recorded reading must read back from the data file as a record with its x and y; the
    // set-up menu and an overload give none.
    const auto reading = meterlink::RecordReadingFromFrame(fields);
    fuzzinput::check(reading.has_value() == !(fields.setUp || fields.overload));
    if (!reading)
        return 0;
    const std::string line = files::RecordLine(*reading);
    fuzzinput::check(line.size() == 119);
    fuzzinput::check(files::IsRecordItem(line));
    fuzzinput::check(line.find(',') == std::string::npos);
    fuzzinput::check(files::RecordFieldX(line).find_first_not_of(' ') != std::string_view::npos);
    fuzzinput::check(files::RecordFieldY(line).find_first_not_of(' ') != std::string_view::npos);
    return 0;
}

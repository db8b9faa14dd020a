// The meter's answers to the set-up and clock reads: schedules and the meter's clock, from any
// report at all; and the clock fields taken back from any clock text.
#include "clock/ClockTexts.h"
#include "fuzz/FuzzInput.h"
#include "panel/Schedules.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzinput::Reader in(data, size);
    const meterlink::Answer answer(in.bytes<meterlink::Report>());

    for (const auto kind : {panel::ScheduleKind::Reservation, panel::ScheduleKind::Cycling}) {
        const panel::ScheduleTexts texts = panel::ScheduleFromAnswer(kind, answer);
        fuzzinput::check(texts.fields.size() == panel::ScheduleFieldCount(kind));
        for (const QString& field : texts.fields)
            fuzzinput::check(field.size() <= 2);
        // What the picture shows is either written back or refused with a message (a meter
        // that was never set answers a date of 0, which the picture refuses to send).
        const auto command = panel::ScheduleCommand(kind, texts);
        if (const QString* refusal = std::get_if<QString>(&command))
            fuzzinput::check(!refusal->isEmpty());
    }

    (void)meterclock::MeterTimeText(answer);
    (void)meterclock::ClockFields(in.restAsUtf8());
    return 0;
}

#pragma once

#include "link/Answer.h"
#include "link/MeterSequence.h"
#include "ui/DateTimeSeparators.h"

#include <QChar>
#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// Named meterclock, not clock: the C library's clock() lives in the global namespace.
namespace meterclock {

// The PC's clock is shown with the system's separators, as the recording header is.
using Separators = ui::DateTimeSeparators;
inline Separators SystemSeparators()
{
    return ui::SystemDateTimeSeparators();
}

// The meter's clock from a read-clock answer: bytes 1 to 6 are year (two digits), month, day,
// hour, minute and second as plain numbers; each is shown as its last two decimal digits,
// "26/12/05 16:39:05" (17 characters).
QString MeterTimeText(const meterlink::Answer& answer);

// The PC's clock, 17 characters, "26/12/05 16:39:05" with the given separators. Date and time
// come from the one reading passed in, so midnight cannot pair the old date with the new time.
QString PCTimeText(const QDateTime& now, const Separators& separators = {});

// The six set-clock numbers taken from a PC time text: the two characters at positions 1, 4,
// 7, 10, 13 and 16 (counted from 1); a pair that is no number gives 0.
std::array<std::uint8_t, 6> ClockFields(const QString& pcTimeText);

// The meter's clock, read as one meter sequence; nothing when the meter does not answer or
// another sequence runs.
std::optional<QString> ReadMeterTime(meterlink::SequenceRunner& runner);
// Sets the meter's clock to the six fields (see ClockFields). No answer is read.
void SetMeterClock(meterlink::SequenceRunner& runner, const std::array<std::uint8_t, 6>& fields);
// Where the clock window goes: centred over the main window's frame and 25/36 inch (about
// 18 mm) below its top, at the screen's logical dots per inch.
QPoint RtcPosition(const QRect& mainFrame, int ownFrameWidth, int logicalDpiY);

} // namespace meterclock

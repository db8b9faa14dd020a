#pragma once

#include "link/MeterSequence.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace ui {
class Dialogs;
} // namespace ui

namespace panel {

// The meter's two recording schedules: a reservation (start and stop date and time) and a daily
// cycling window (start and stop time of day). Both end with an interval and an enable flag.
enum class ScheduleKind
{
    Reservation,
    Cycling
};

// A schedule as its picture shows it: the date and time fields, then the interval's minutes and
// seconds, all as texts; and whether "Enable" is selected.
struct ScheduleTexts
{
    QStringList fields;
    bool enabled = false;
};

// Date and time fields before the interval: 12 for a reservation, 6 for cycling.
int ScheduleByteFields(ScheduleKind kind);
// Fields in a picture: the byte fields and the interval's minutes and seconds.
int ScheduleFieldCount(ScheduleKind kind);
meterlink::Command ScheduleReadCommand(ScheduleKind kind);
// "Start Year" ... "Interval Second": how messages name the fields.
QStringList ScheduleFieldNames(ScheduleKind kind);
// The two-digit items of every field's list ("00" to "99", "01" to "12" ...).
std::vector<QStringList> ScheduleItems(ScheduleKind kind);
// "00" to "99" style list from `from` to `to`.
QStringList TwoDigitItems(int from, int to);

// The picture's texts from the meter's answer to the read command: two-digit texts, the
// interval split into minutes and seconds, enabled only when the flag byte is exactly 1.
ScheduleTexts ScheduleFromAnswer(ScheduleKind kind, const meterlink::Answer& answer);

// The write command for the texts; or, when a date or time field lies outside the range its list
// offers (a day 1 to 31, an hour 0 to 23 ...) or the interval outside 0 to 65535, the message for
// the user.
std::variant<meterlink::Command, QString> ScheduleCommand(ScheduleKind kind,
                                                          const ScheduleTexts& texts);

// --- sampling time --------------------------------------------------------------------------
inline constexpr int PcIntervalMax = 86400;
inline constexpr int MeterIntervalMax = 3600;

QString SamplingTitle();
QString SamplingPrompt(int maximum);
// The sampling time typed into the input box: rounded to whole seconds (halves to even) and
// clamped to 1..maximum without a message. Nothing when the answer is empty or not a number.
std::optional<int> SamplingTimeFromAnswer(const QString& answer, int maximum);

// --- the exchanges --------------------------------------------------------------------------
// What the set-up sequences talk through. Each runs as one meter sequence: the poll paused,
// what the meter may still send drained, its commands, and the poll resumed on every way out.
// While another sequence runs, they send nothing.
struct MeterAccess
{
    meterlink::SequenceRunner& runner;
    ui::Dialogs& dialogs;
};

enum class SetupChoice
{
    Reservation = 0,
    Cycling = 1,
    Reference = 2
};

struct SetupResult
{
    // The memory-busy question was not answered OK, or another sequence was running.
    bool cancelled = false;
    // The schedule read for Reservation or Cycling; nothing when the meter did not answer.
    std::optional<ScheduleTexts> schedule;
};

QString MemoryBusyQuestion();

// The set-up menu's OK: asks first while the meter records into its memory (and tells the meter
// to go on, code 35), then reads the chosen schedule. Reference sends nothing.
SetupResult RunSetupChoice(const MeterAccess& access, SetupChoice choice, bool memoryBusy);

// Asks for the PC sampling time with `current` as the default; nothing when the user gives none.
std::optional<int> AskPcInterval(ui::Dialogs& dialogs, int current);

// Reads the meter's sampling time, offers it as the default and writes the answer back.
// `meterInterval` is the time last read from the meter: an answered read replaces it, and it is
// what the prompt offers. Returns the time sent, or nothing when the user gave none.
std::optional<int> SetMeterInterval(const MeterAccess& access, int& meterInterval);

// Writes a schedule. A field out of range is refused with a message, nothing is sent and the
// poll is left alone. Returns whether the meter took the schedule; when another sequence runs,
// no meter is found or the link is lost, a message says so and it returns false.
bool WriteSchedule(const MeterAccess& access, ScheduleKind kind, const ScheduleTexts& texts);

} // namespace panel

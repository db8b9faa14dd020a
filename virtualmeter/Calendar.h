#pragma once

#include <chrono>

namespace virtualmeter {

// A date and time of the meter's clock, field by field.
struct CalendarTime
{
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;

    bool operator==(const CalendarTime&) const = default;
};

using TimePoint = std::chrono::system_clock::time_point;

// The meter keeps no time zone: its fields are those of the time point read as UTC, and the
// offset it adds to the driving clock decides what they show.
CalendarTime toCalendar(TimePoint time);
TimePoint toTimePoint(const CalendarTime& time);

// A date that exists and a time of day within 00:00:00..23:59:59.
bool isValid(const CalendarTime& time);

// How far the local time of the running system is ahead of UTC at that moment.
std::chrono::seconds localUtcOffset(TimePoint time);

} // namespace virtualmeter

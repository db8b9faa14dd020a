#include "virtualmeter/Calendar.h"

#include <ctime>

namespace virtualmeter {

using namespace std::chrono;

CalendarTime toCalendar(TimePoint time)
{
    const auto seconds = floor<std::chrono::seconds>(time);
    const auto day = floor<days>(seconds);
    const year_month_day date{day};
    const hh_mm_ss clock{seconds - day};
    return CalendarTime{static_cast<int>(date.year()),
                        static_cast<int>(static_cast<unsigned>(date.month())),
                        static_cast<int>(static_cast<unsigned>(date.day())),
                        static_cast<int>(clock.hours().count()),
                        static_cast<int>(clock.minutes().count()),
                        static_cast<int>(clock.seconds().count())};
}

TimePoint toTimePoint(const CalendarTime& t)
{
    const sys_days day{year{t.year} / month{static_cast<unsigned>(t.month)} /
                       std::chrono::day{static_cast<unsigned>(t.day)}};
    return TimePoint{day + hours{t.hour} + minutes{t.minute} + seconds{t.second}};
}

bool isValid(const CalendarTime& t)
{
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31)
        return false;
    const year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)},
                              day{static_cast<unsigned>(t.day)}};
    return date.ok() && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
           t.second >= 0 && t.second <= 59;
}

seconds localUtcOffset(TimePoint time)
{
    const std::time_t now = system_clock::to_time_t(time);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return seconds{0};
    return seconds{timegm(&local) - now};
}

} // namespace virtualmeter

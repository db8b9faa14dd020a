#include "virtualmeter/MeterModel.h"

#include "link/MeterCommands.h"

#include <algorithm>

namespace virtualmeter {

namespace cmd = meterlink::meter;

namespace {

// The meter's keys and what they do here. The display modes fall into four groups: absolute
// 0-5, difference 6-11, reference 12-14 and colour temperature 15-17 (absolute, difference,
// reference).
//
//   Mode   next group: 0-11 -> 12, 12-14 -> 15, 15-17 -> 0
//   H      hold on/off: the readings, maximum and minimum freeze; "H" shows it
//   Delta  absolute <-> difference of the same quantity: 0-5 <-> 6-11, 15 <-> 16;
//          from a reference mode to its difference: 12 -> 6, 13 -> 7, 14 -> 11, 17 -> 16
//   TCP    into the temperature group (15); inside it 15 -> 16 -> 17 -> 15
//   Time   clock page 0 -> 1 -> 2 -> 0
//   CF     "CF" on/off
//   MEM    keeps a reading: memory count + 1 up to 99, then "FU"
//   Read   absolute modes 0-5, 15: lx <-> fc; modes 6-14: the chromaticity and tristimulus
//          references take the present reading; 16, 17: the temperature reference does
//   Up     next mode within the group, wrapping (5 -> 0, 11 -> 6, 14 -> 12, 17 -> 15)
//   Down   previous mode within the group, wrapping
//   Off    switches the meter off: it answers nothing until any key switches it on again
//          (that key does only that)
struct Group
{
    int first;
    int last;
};

Group groupOf(int mode)
{
    if (mode <= 5)
        return {0, 5};
    if (mode <= 11)
        return {6, 11};
    if (mode <= 14)
        return {12, 14};
    return {15, 17};
}

int step(int mode, int by)
{
    const Group g = groupOf(mode);
    const int size = g.last - g.first + 1;
    return g.first + ((mode - g.first + by) % size + size) % size;
}

int deltaOf(int mode)
{
    if (mode <= 5)
        return mode + 6;
    if (mode <= 11)
        return mode - 6;
    switch (mode) {
    case 12:
        return 6;
    case 13:
        return 7;
    case 14:
        return 11;
    case 15:
        return 16;
    case 16:
        return 15;
    default:
        return 16;
    }
}

Report ack(const Report& command)
{
    // The meter echoes the command it took; nothing in the program reads this.
    Report report{};
    report[1] = command[1];
    report[2] = command[2];
    return report;
}

std::uint8_t timeByte(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

int secondsOfDay(int h, int m, int s)
{
    return h * 3600 + m * 60 + s;
}

} // namespace

MeterModel::MeterModel()
{
    // Until Read sets them the references describe a 5000 K lamp of 500 lx on the locus.
    m_reference = measure(Light{5000.0, 0.0, 500.0});
    m_temperatureReference = TemperatureReference{500.0, 5000.0, 0.0};
    // Schedules come disabled: working days 08:00-18:00, and a reservation for one day.
    m_reservation = {26, 12, 7, 8, 0, 0, 26, 12, 7, 18, 0, 0, 0, 60, 0};
    m_cycling = {8, 0, 0, 17, 0, 0, 1, 44, 0};
}

CalendarTime MeterModel::meterTime(TimePoint now) const
{
    return toCalendar(now + m_clockOffset.value_or(localUtcOffset(now)));
}

void MeterModel::setMeterTime(const CalendarTime& time, TimePoint now)
{
    m_clockOffset = std::chrono::duration_cast<std::chrono::seconds>(toTimePoint(time) - now);
}

Measurement MeterModel::reading(TimePoint now) const
{
    if (m_hold)
        return m_held;
    if (m_light)
        return measure(*m_light);
    const double seconds = std::chrono::duration<double>(now.time_since_epoch()).count();
    return measure(driftingLight(seconds));
}

bool MeterModel::scheduleRunning(TimePoint now) const
{
    const CalendarTime t = meterTime(now);
    if (m_reservation[14] == 1) {
        const CalendarTime start{2000 + m_reservation[0], m_reservation[1], m_reservation[2],
                                 m_reservation[3],        m_reservation[4], m_reservation[5]};
        const CalendarTime stop{2000 + m_reservation[6], m_reservation[7],  m_reservation[8],
                                m_reservation[9],        m_reservation[10], m_reservation[11]};
        if (isValid(start) && isValid(stop) && toTimePoint(start) <= toTimePoint(t) &&
            toTimePoint(t) < toTimePoint(stop))
            return true;
    }
    if (m_cycling[8] == 1) {
        const int start = secondsOfDay(m_cycling[0], m_cycling[1], m_cycling[2]);
        const int stop = secondsOfDay(m_cycling[3], m_cycling[4], m_cycling[5]);
        const int at = secondsOfDay(t.hour, t.minute, t.second);
        // A window whose stop lies before its start runs over midnight.
        if (start <= stop ? (start <= at && at < stop) : (at >= start || at < stop))
            return true;
    }
    return false;
}

bool MeterModel::memoryRecording(TimePoint now) const
{
    if (m_forcedRecording)
        return *m_forcedRecording;
    return !m_recordingStopped && scheduleRunning(now);
}

Frame MeterModel::frame(TimePoint now)
{
    const Measurement live = reading(now);
    if (!m_hold) {
        m_evMax = std::max(m_evMax.value_or(live.Ev), live.Ev);
        m_evMin = std::min(m_evMin.value_or(live.Ev), live.Ev);
    }
    FrameContent c;
    c.live = live;
    c.evMax = m_evMax.value_or(live.Ev);
    c.evMin = m_evMin.value_or(live.Ev);
    c.reference = m_reference;
    c.temperatureReference = m_temperatureReference;
    c.clock = meterTime(now);
    c.clockPage = static_cast<std::uint8_t>(m_clockPage);
    c.memoryCount = static_cast<std::uint8_t>(m_memoryCount);
    c.mode = static_cast<std::uint8_t>(m_mode);
    c.setup = m_inSetup ? 1 : 0;
    c.unit = m_footCandles ? 1 : 0;
    c.battery = static_cast<std::uint8_t>(std::clamp(m_battery, 0, 255));

    std::uint8_t a = 0;
    if (m_cf)
        a |= flagA::CF;
    if (live.Ev > OverloadLux)
        a |= flagA::Overload;
    if (c.evMax > OverloadLux)
        a |= flagA::MaxOverload;
    if (live.Tcp < 1000.0 || live.Tcp > 20000.0 || live.duv < -0.05 || live.duv > 0.05)
        a |= flagA::TcpOutOfRange;
    if (m_hold)
        a |= flagA::Hold;
    c.flagsA = a;

    std::uint8_t b = 0;
    if (m_memoryCount > 0)
        b |= flagB::M;
    if (m_memoryCount >= MemoryCountLimit)
        b |= flagB::MemoryFull;
    if (m_reservation[14] == 1 || m_cycling[8] == 1)
        b |= flagB::A;
    if (m_recordFlag)
        b |= flagB::R;
    const bool recording = memoryRecording(now);
    if (recording)
        b |= flagB::MemoryRecording;
    c.flagsB = b;
    c.interval = recording ? 1 : 0;
    return encodeFrame(c);
}

void MeterModel::pressKey(int key, TimePoint now)
{
    switch (key) {
    case cmd::key::Mode:
        m_mode = m_mode <= 11 ? 12 : (m_mode <= 14 ? 15 : 0);
        break;
    case cmd::key::Hold:
        if (!m_hold)
            m_held = reading(now);
        m_hold = !m_hold;
        break;
    case cmd::key::Delta:
        m_mode = deltaOf(m_mode);
        break;
    case cmd::key::Tcp:
        m_mode = m_mode < 15 ? 15 : step(m_mode, 1);
        break;
    case cmd::key::Time:
        m_clockPage = (m_clockPage + 1) % 3;
        break;
    case cmd::key::CF:
        m_cf = !m_cf;
        break;
    case cmd::key::Mem:
        m_memoryCount = std::min(m_memoryCount + 1, MemoryCountLimit);
        break;
    case cmd::key::Read:
        if (m_mode <= 5 || m_mode == 15) {
            m_footCandles = !m_footCandles;
        } else if (m_mode <= 14) {
            m_reference = reading(now);
        } else {
            const Measurement m = reading(now);
            m_temperatureReference = TemperatureReference{m.Ev, m.Tcp, m.duv};
        }
        break;
    case cmd::key::Up:
        m_mode = step(m_mode, 1);
        break;
    case cmd::key::Down:
        m_mode = step(m_mode, -1);
        break;
    case cmd::key::PowerOff:
        m_poweredOn = false;
        break;
    default:
        break;
    }
}

void MeterModel::ensureMemory(TimePoint now)
{
    if (!m_memory.filled())
        m_memory.fillWithSamples(meterTime(now));
}

std::vector<Report> MeterModel::answer(const Report& command, TimePoint now)
{
    const std::uint8_t code = command[1];
    const std::uint8_t sub = command[2];
    const bool isKey = code == cmd::Command && sub >= cmd::key::Mode && sub <= cmd::key::PowerOff;

    if (!m_poweredOn) {
        if (!isKey)
            return {};
        // Any key switches it on; maximum and minimum start afresh.
        m_poweredOn = true;
        m_evMax.reset();
        m_evMin.reset();
        return {ack(command)};
    }

    if (code == cmd::Poll) {
        if (sub == cmd::UnitOption) {
            ensureMemory(now);
            m_memory.toggleUnit(std::span<const std::uint8_t>(command.data() + 3, 7));
            return {ack(command)};
        }
        const auto [first, second] = splitFrame(frame(now));
        return {first, second};
    }
    if (code != cmd::Command)
        return {ack(command)}; // unknown commands are acknowledged and otherwise ignored

    if (isKey) {
        pressKey(sub, now);
        return {ack(command)};
    }

    Report answer{};
    switch (sub) {
    case cmd::ReadSamplingTime:
        answer[1] = static_cast<std::uint8_t>(m_samplingTime >> 8);
        answer[2] = static_cast<std::uint8_t>(m_samplingTime & 0xFF);
        return {answer};
    case cmd::WriteSamplingTime: {
        // Sent with SendOnly: the acknowledgement stays pending for the next drain.
        const int t = command[3] * 256 + command[4];
        m_samplingTime = static_cast<std::uint16_t>(std::clamp(t, 1, int{MaxSamplingTime}));
        return {ack(command)};
    }
    case cmd::ReadCycling:
        std::copy(m_cycling.begin(), m_cycling.end(), answer.begin() + 1);
        return {answer};
    case cmd::ReadReservation:
        std::copy(m_reservation.begin(), m_reservation.end(), answer.begin() + 1);
        return {answer};
    case cmd::WriteCycling:
        std::copy_n(command.begin() + 3, m_cycling.size(), m_cycling.begin());
        m_recordingStopped = false;
        return {ack(command)};
    case cmd::WriteReservation:
        std::copy_n(command.begin() + 3, m_reservation.size(), m_reservation.begin());
        m_recordingStopped = false;
        return {ack(command)};
    case cmd::SetClock: {
        // Sent with SendOnly: the acknowledgement stays pending for the next drain. A date
        // that does not exist leaves the clock as it was.
        const CalendarTime t{2000 + command[3], command[4], command[5],
                             command[6],        command[7], command[8]};
        if (isValid(t))
            setMeterTime(t, now);
        return {ack(command)};
    }
    case cmd::ReadClock: {
        const CalendarTime t = meterTime(now);
        answer[1] = timeByte(t.year % 100);
        answer[2] = timeByte(t.month);
        answer[3] = timeByte(t.day);
        answer[4] = timeByte(t.hour);
        answer[5] = timeByte(t.minute);
        answer[6] = timeByte(t.second);
        return {answer};
    }
    case cmd::Directory:
        ensureMemory(now);
        return m_memory.directoryReports();
    case cmd::SetData: {
        // The text, then an empty end report: the program reads one report more than the text.
        ensureMemory(now);
        auto reports = MeterMemory::dataReports(
            m_memory.find(std::span<const std::uint8_t>(command.data() + 3, 14)));
        reports.push_back(Report{});
        return reports;
    }
    case cmd::EraseMemory:
        ensureMemory(now);
        m_memory.erase();
        m_memoryCount = 0;
        return {ack(command)};
    case cmd::MemoryStatus:
        ensureMemory(now);
        return {m_memory.statusReport()};
    case cmd::SetSize:
        ensureMemory(now);
        return {MeterMemory::sizeReport(
            m_memory.find(std::span<const std::uint8_t>(command.data() + 3, 14)))};
    case cmd::ContinueRecording:
        // The user goes on into the set-up: the meter stops recording into its memory.
        m_recordingStopped = true;
        return {ack(command)};
    default:
        return {ack(command)};
    }
}

} // namespace virtualmeter

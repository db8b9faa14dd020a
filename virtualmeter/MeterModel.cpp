#include "virtualmeter/MeterModel.h"

#include "link/DisplayModes.h"
#include "link/MeterCommands.h"

#include <algorithm>
#include <map>

namespace virtualmeter {

namespace cmd = meterlink::meter;

namespace {

using meterlink::Basis;
using meterlink::DisplayMode;
using meterlink::ModeGroup;

// The meter's keys and what they do here, by the groups of the display modes (see
// meterlink::DisplayModes):
//
//   Mode   next group: measured and difference -> reference, reference -> temperature,
//          temperature -> measured
//   H      hold on/off: the readings, maximum and minimum freeze; "H" shows it
//   Delta  to the difference of the quantities shown, from the measured values or from a
//          reference (0 -> 6, 12 -> 6, 15 -> 16, 17 -> 16 ...), and back to the measured
//          values from a difference; where there is none (the maximum and minimum, delta-u'v')
//          the mode stays
//   TCP    into the temperature group; inside it to the next mode
//   Time   clock page 0 -> 1 -> 2 -> 0
//   CF     "CF" on/off
//   MEM    keeps a reading: memory count + 1 up to 99, then "FU"
//   Read   with measured values shown: lx <-> fc; with a difference or a reference: the
//          reference of that group takes the present reading
//   Up     next mode within the group, wrapping
//   Down   previous mode within the group, wrapping
//   Off    switches the meter off: it answers nothing until any key switches it on again
//          (that key does only that)
const DisplayMode& shown(int mode)
{
    return meterlink::DisplayModes[static_cast<std::size_t>(mode)];
}

int step(int mode, int by)
{
    const meterlink::ModeRange g = meterlink::ModesOf(shown(mode).group);
    const int size = g.last - g.first + 1;
    return g.first + ((mode - g.first + by) % size + size) % size;
}

int nextGroup(int mode)
{
    switch (shown(mode).group) {
    case ModeGroup::Measured:
    case ModeGroup::Difference:
        return meterlink::ModesOf(ModeGroup::Reference).first;
    case ModeGroup::Reference:
        return meterlink::ModesOf(ModeGroup::Temperature).first;
    case ModeGroup::Temperature:
        break;
    }
    return meterlink::ModesOf(ModeGroup::Measured).first;
}

int deltaOf(int mode)
{
    const DisplayMode& from = shown(mode);
    const Basis wanted =
        from.lines[0].basis == Basis::Difference ? Basis::Measured : Basis::Difference;
    for (int to = 0; to < meterlink::DisplayModeCount; ++to) {
        const DisplayMode& candidate = shown(to);
        bool same = candidate.lines[0].basis == wanted;
        for (std::size_t i = 0; i < 3; ++i)
            same = same && candidate.lines[i].quantity == from.lines[i].quantity;
        if (same)
            return to;
    }
    return mode;
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
        m_mode = nextGroup(m_mode);
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
        m_mode = shown(m_mode).group == ModeGroup::Temperature
                     ? step(m_mode, 1)
                     : meterlink::ModesOf(ModeGroup::Temperature).first;
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
        if (shown(m_mode).lines[0].basis == Basis::Measured) {
            m_footCandles = !m_footCandles;
        } else if (shown(m_mode).group == ModeGroup::Temperature) {
            const Measurement m = reading(now);
            m_temperatureReference = TemperatureReference{m.Ev, m.Tcp, m.duv};
        } else {
            m_reference = reading(now);
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
    if (!m_poweredOn)
        return isKey ? wake(command) : Answers{};
    if (code == cmd::Poll)
        return sub == cmd::UnitOption ? toggleSetUnit(command, now) : poll(now);
    if (code != cmd::Command)
        return {ack(command)}; // unknown commands are acknowledged and otherwise ignored
    if (isKey) {
        pressKey(sub, now);
        return {ack(command)};
    }
    using Handler = Answers (MeterModel::*)(const Report&, TimePoint);
    static const std::map<std::uint8_t, Handler> handlers = {
        {cmd::ReadSamplingTime, &MeterModel::readSamplingTime},
        {cmd::WriteSamplingTime, &MeterModel::writeSamplingTime},
        {cmd::ReadCycling, &MeterModel::readCycling},
        {cmd::ReadReservation, &MeterModel::readReservation},
        {cmd::WriteCycling, &MeterModel::writeCycling},
        {cmd::WriteReservation, &MeterModel::writeReservation},
        {cmd::SetClock, &MeterModel::setClock},
        {cmd::ReadClock, &MeterModel::readClock},
        {cmd::Directory, &MeterModel::directory},
        {cmd::SetData, &MeterModel::setData},
        {cmd::EraseMemory, &MeterModel::eraseMemory},
        {cmd::MemoryStatus, &MeterModel::memoryStatus},
        {cmd::SetSize, &MeterModel::setSize},
        {cmd::ContinueRecording, &MeterModel::continueRecording},
    };
    const auto handler = handlers.find(sub);
    if (handler == handlers.end())
        return {ack(command)};
    return (this->*handler->second)(command, now);
}

MeterModel::Answers MeterModel::wake(const Report& command)
{
    // Any key switches it on; maximum and minimum start afresh.
    m_poweredOn = true;
    m_evMax.reset();
    m_evMin.reset();
    return {ack(command)};
}

MeterModel::Answers MeterModel::poll(TimePoint now)
{
    const auto [first, second] = splitFrame(frame(now));
    return {first, second};
}

MeterModel::Answers MeterModel::toggleSetUnit(const Report& command, TimePoint now)
{
    ensureMemory(now);
    m_memory.toggleUnit(std::span<const std::uint8_t>(command.data() + 3, 7));
    return {ack(command)};
}

MeterModel::Answers MeterModel::readSamplingTime(const Report&, TimePoint)
{
    Report answer{};
    answer[1] = static_cast<std::uint8_t>(m_samplingTime >> 8);
    answer[2] = static_cast<std::uint8_t>(m_samplingTime & 0xFF);
    return {answer};
}

MeterModel::Answers MeterModel::writeSamplingTime(const Report& command, TimePoint)
{
    // Sent with SendOnly: the acknowledgement stays pending for the next drain.
    const int t = command[3] * 256 + command[4];
    m_samplingTime = static_cast<std::uint16_t>(std::clamp(t, 1, int{MaxSamplingTime}));
    return {ack(command)};
}

MeterModel::Answers MeterModel::readCycling(const Report&, TimePoint)
{
    Report answer{};
    std::copy(m_cycling.begin(), m_cycling.end(), answer.begin() + 1);
    return {answer};
}

MeterModel::Answers MeterModel::readReservation(const Report&, TimePoint)
{
    Report answer{};
    std::copy(m_reservation.begin(), m_reservation.end(), answer.begin() + 1);
    return {answer};
}

MeterModel::Answers MeterModel::writeCycling(const Report& command, TimePoint)
{
    std::copy_n(command.begin() + 3, m_cycling.size(), m_cycling.begin());
    m_recordingStopped = false;
    return {ack(command)};
}

MeterModel::Answers MeterModel::writeReservation(const Report& command, TimePoint)
{
    std::copy_n(command.begin() + 3, m_reservation.size(), m_reservation.begin());
    m_recordingStopped = false;
    return {ack(command)};
}

MeterModel::Answers MeterModel::setClock(const Report& command, TimePoint now)
{
    // Sent with SendOnly: the acknowledgement stays pending for the next drain. A date that does
    // not exist leaves the clock as it was.
    const CalendarTime t{2000 + command[3], command[4], command[5],
                         command[6],        command[7], command[8]};
    if (isValid(t))
        setMeterTime(t, now);
    return {ack(command)};
}

MeterModel::Answers MeterModel::readClock(const Report&, TimePoint now)
{
    const CalendarTime t = meterTime(now);
    Report answer{};
    answer[1] = timeByte(t.year % 100);
    answer[2] = timeByte(t.month);
    answer[3] = timeByte(t.day);
    answer[4] = timeByte(t.hour);
    answer[5] = timeByte(t.minute);
    answer[6] = timeByte(t.second);
    return {answer};
}

MeterModel::Answers MeterModel::directory(const Report&, TimePoint now)
{
    ensureMemory(now);
    return m_memory.directoryReports();
}

MeterModel::Answers MeterModel::setData(const Report& command, TimePoint now)
{
    // The text, then an empty end report: the program reads one report more than the text.
    ensureMemory(now);
    auto reports = MeterMemory::dataReports(
        m_memory.find(std::span<const std::uint8_t>(command.data() + 3, 14)));
    reports.push_back(Report{});
    return reports;
}

MeterModel::Answers MeterModel::eraseMemory(const Report& command, TimePoint now)
{
    ensureMemory(now);
    m_memory.erase();
    m_memoryCount = 0;
    return {ack(command)};
}

MeterModel::Answers MeterModel::memoryStatus(const Report&, TimePoint now)
{
    ensureMemory(now);
    return {m_memory.statusReport()};
}

MeterModel::Answers MeterModel::setSize(const Report& command, TimePoint now)
{
    ensureMemory(now);
    return {MeterMemory::sizeReport(
        m_memory.find(std::span<const std::uint8_t>(command.data() + 3, 14)))};
}

MeterModel::Answers MeterModel::continueRecording(const Report& command, TimePoint)
{
    // The user goes on into the set-up: the meter stops recording into its memory.
    m_recordingStopped = true;
    return {ack(command)};
}

void MeterModel::setMode(int mode)
{
    m_mode = (mode % meterlink::DisplayModeCount + meterlink::DisplayModeCount) %
             meterlink::DisplayModeCount;
}

} // namespace virtualmeter

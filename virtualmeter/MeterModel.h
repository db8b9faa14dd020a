#pragma once

#include "virtualmeter/Calendar.h"
#include "virtualmeter/FrameEncoder.h"
#include "virtualmeter/LightSource.h"
#include "virtualmeter/MeterMemory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace virtualmeter {

// The meter behind the USB socket: its display state, keys, settings, clock and memory. It
// answers one command report with the reports the meter sends back, in order.
class MeterModel
{
public:
    static constexpr int MemoryCountLimit = 99;
    static constexpr std::uint16_t DefaultSamplingTime = 60;
    static constexpr std::uint16_t MaxSamplingTime = 3600;
    static constexpr double OverloadLux = 200000.0;

    MeterModel();

    // The reports the meter sends after this command; empty while it is switched off.
    std::vector<Report> answer(const Report& command, TimePoint now);

    // The frame the poll would send now (also moves maximum and minimum).
    Frame frame(TimePoint now);

    // --- state for tests and the demo ------------------------------------------------------
    int mode() const { return m_mode; }
    void setMode(int mode);
    bool poweredOn() const { return m_poweredOn; }
    bool hold() const { return m_hold; }
    bool footCandles() const { return m_footCandles; }
    int clockPage() const { return m_clockPage; }
    int memoryCount() const { return m_memoryCount; }
    std::uint16_t samplingTime() const { return m_samplingTime; }
    CalendarTime meterTime(TimePoint now) const;
    void setMeterTime(const CalendarTime& time, TimePoint now);

    // Fixes the lamp; without it the lamp drifts with the clock.
    void setLight(std::optional<Light> light) { m_light = light; }
    // Byte 91: the meter's own set-up menu, reached only from its keypad, never from ours.
    void setInSetup(bool inSetup) { m_inSetup = inSetup; }
    // Flags B bit 6, "R": the program then ignores its toolbar, so it is off unless asked for.
    void setRecordFlag(bool on) { m_recordFlag = on; }
    // Forces the memory-recording state; without it the schedules decide.
    void setMemoryRecording(std::optional<bool> recording) { m_forcedRecording = recording; }
    bool memoryRecording(TimePoint now) const;
    void setBatterySegmentsHidden(int segments) { m_battery = segments; }
    void setReference(const Measurement& reference) { m_reference = reference; }
    void setTemperatureReference(const TemperatureReference& r) { m_temperatureReference = r; }

    MeterMemory& memory() { return m_memory; }

private:
    using Answers = std::vector<Report>;

    // One handler for each command.
    Answers wake(const Report& command);
    Answers poll(TimePoint now);
    Answers toggleSetUnit(const Report& command, TimePoint now);
    Answers readSamplingTime(const Report& command, TimePoint now);
    Answers writeSamplingTime(const Report& command, TimePoint now);
    Answers readCycling(const Report& command, TimePoint now);
    Answers readReservation(const Report& command, TimePoint now);
    Answers writeCycling(const Report& command, TimePoint now);
    Answers writeReservation(const Report& command, TimePoint now);
    Answers setClock(const Report& command, TimePoint now);
    Answers readClock(const Report& command, TimePoint now);
    Answers directory(const Report& command, TimePoint now);
    Answers setData(const Report& command, TimePoint now);
    Answers eraseMemory(const Report& command, TimePoint now);
    Answers memoryStatus(const Report& command, TimePoint now);
    Answers setSize(const Report& command, TimePoint now);
    Answers continueRecording(const Report& command, TimePoint now);

    Measurement reading(TimePoint now) const;
    void pressKey(int key, TimePoint now);
    void ensureMemory(TimePoint now);
    bool scheduleRunning(TimePoint now) const;

    int m_mode = 0;
    int m_clockPage = 0;
    bool m_poweredOn = true;
    bool m_hold = false;
    Measurement m_held;
    bool m_footCandles = false;
    bool m_cf = false;
    int m_memoryCount = 0;
    bool m_inSetup = false;
    bool m_recordFlag = false;
    int m_battery = 0;
    std::optional<bool> m_forcedRecording;
    bool m_recordingStopped = false; // by code 35, until a schedule is written again
    std::optional<double> m_evMax;
    std::optional<double> m_evMin;
    Measurement m_reference;
    TemperatureReference m_temperatureReference;
    std::optional<Light> m_light;
    std::uint16_t m_samplingTime = DefaultSamplingTime;
    std::array<std::uint8_t, 15> m_reservation{};
    std::array<std::uint8_t, 9> m_cycling{};
    std::optional<std::chrono::seconds> m_clockOffset; // set on first use: local time
    MeterMemory m_memory;
};

} // namespace virtualmeter

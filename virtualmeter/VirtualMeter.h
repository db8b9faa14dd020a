#pragma once

#include "link/platform/HidPlatform.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace virtualmeter {

using Report = std::array<std::uint8_t, 65>;

// A stand-in for the meter: an in-process HID device with the meter's identifiers and 65-byte
// reports that answers the meter's commands from its own state. It can be told to fail.
class VirtualMeter : public meterlink::platform::HidPlatform
{
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    VirtualMeter();
    ~VirtualMeter() override;

    // --- failures -------------------------------------------------------------------------
    // Unplugged: not listed, and open handles fail with an error.
    void setPlugged(bool plugged);
    bool plugged() const { return m_plugged; }
    // Silent: commands are taken but no report is ever sent; reads time out at once (no real
    // waiting, so tests stay fast).
    void setSilent(bool silent) { m_silent = silent; }
    // Slow: every report handed out costs this much real time first.
    void setReportDelay(std::chrono::microseconds delay) { m_reportDelay = delay; }
    // Garbage: every report handed out is filled with random bytes.
    void setGarbage(bool garbage) { m_garbage = garbage; }

    // --- what tests look at ----------------------------------------------------------------
    // Every output report the meter received, in order (as written, report ID first).
    const std::vector<std::vector<std::uint8_t>>& writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }
    // Reports waiting to be read.
    std::size_t pendingReports() const { return m_pending.size(); }
    // Queues a report as if the meter had sent it unasked.
    void queueReport(const Report& report) { m_pending.push_back(report); }
    int readCount() const { return m_reads; }

    // The wall clock the meter's own clock and drift are derived from.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // --- HidPlatform ------------------------------------------------------------------------
    std::vector<meterlink::platform::HidInterface> interfaces() override;
    std::unique_ptr<meterlink::platform::HidHandle> openForWriting(const std::string& path) override;
    std::unique_ptr<meterlink::platform::HidHandle> openForReading(const std::string& path) override;

    static constexpr const char* DevicePath = "virtual:meter-582";

    // Called by the handles.
    int handleWrite(std::span<const std::uint8_t> report, std::uint64_t generation);
    meterlink::platform::ReadResult handleRead(std::span<std::uint8_t> buffer,
                                          std::uint64_t generation);
    std::uint64_t generation() const { return m_generation; }

protected:
    // Answers one command; the answers go to the pending queue.
    virtual void process(const Report& command);
    void send(const Report& answer) { m_pending.push_back(answer); }
    std::chrono::system_clock::time_point now() const { return m_clock(); }

private:
    void buildFrame(Report& first, Report& second);

    bool m_plugged = true;
    bool m_silent = false;
    bool m_garbage = false;
    std::chrono::microseconds m_reportDelay{0};
    std::uint64_t m_generation = 1; // bumped on unplug so that old handles go stale
    std::deque<Report> m_pending;
    std::vector<std::vector<std::uint8_t>> m_writes;
    int m_reads = 0;
    Clock m_clock;
    std::mt19937 m_random{582};
};

} // namespace virtualmeter

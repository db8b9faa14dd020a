#pragma once

#include "link/platform/HidPlatform.h"
#include "virtualmeter/MeterModel.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace virtualmeter {

// A stand-in for the meter: an in-process HID device with the meter's identifiers and 65-byte
// reports that answers the meter's commands from its own state (MeterModel). Tests can give it
// other answers and tell it to fail. Nothing here waits for real except the per-report delay.
class VirtualMeter : public meterlink::platform::HidPlatform
{
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    // The reports sent back for one command.
    using Answer = std::function<std::vector<Report>(const Report& command)>;

    VirtualMeter();
    ~VirtualMeter() override;

    // --- failures -------------------------------------------------------------------------
    // Unplugged: not listed, and open handles fail with an error from then on, also after
    // the meter is plugged back in (that is a new device).
    void setPlugged(bool plugged);
    bool plugged() const { return m_plugged; }
    // Silent: commands are taken but nothing is answered; reads time out at once.
    void setSilent(bool silent) { m_silent = silent; }
    // Slow: every report handed out costs this much real time first.
    void setReportDelay(std::chrono::microseconds delay) { m_reportDelay = delay; }
    // Garbage: every report handed out is filled with random bytes after the report ID.
    void setGarbage(bool garbage) { m_garbage = garbage; }
    // Short reports: each read delivers only this many bytes (report ID included); 0 is off.
    void setShortReports(int bytes) { m_shortReports = bytes; }
    // The report lengths the device declares; nullopt declares none (unreadable).
    void setDeclaredLengths(std::optional<meterlink::platform::ReportLengths> lengths)
    {
        m_declaredLengths = lengths;
    }

    // --- answers chosen by the test ---------------------------------------------------------
    // Commands with this byte 1 and byte 2 (the poll's byte 2 is 0) get `answer` instead of the
    // meter's own; an empty answer restores the meter's.
    void setAnswer(std::uint8_t kind, std::uint8_t code, Answer answer);
    // The same reports every time.
    void setAnswer(std::uint8_t kind, std::uint8_t code, std::vector<Report> reports);
    // Runs for every command the meter takes, before it is answered (a fault in mid-sequence).
    void setOnCommand(std::function<void(const Report&)> onCommand)
    {
        m_onCommand = std::move(onCommand);
    }
    // Refuses to open, as a device node without permission for this user does.
    void setOpenDenied(bool denied) { m_openDenied = denied; }
    // The path and serial number it is listed under (several meters on one platform).
    void setIdentity(std::string path, std::string serial);

    // --- what tests look at ----------------------------------------------------------------
    // Every output report the meter received, in order (as written, report ID first).
    const std::vector<std::vector<std::uint8_t>>& writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }
    // Reports waiting to be read.
    std::size_t pendingReports() const { return m_pending.size(); }
    // Queues a report as if the meter had sent it unasked.
    void queueReport(const Report& report) { m_pending.push_back(report); }
    int readCount() const { return m_reads; }
    // How many handles were opened on the meter since it was made.
    int openCount() const { return m_opens; }
    // Handles open on the meter now; the longest time-out a read was asked to wait.
    int openHandles() const { return m_openHandles; }
    int longestReadWaitMs() const { return m_longestReadWait; }

    // The wall clock the meter's own clock and the lamp's drift are derived from.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // The meter itself: keys, settings, memory and the test switches of its state.
    MeterModel& model() { return m_model; }

    // --- HidPlatform ------------------------------------------------------------------------
    std::vector<meterlink::platform::HidInterface> interfaces() override;
    std::unique_ptr<meterlink::platform::HidHandle>
    openForWriting(const std::string& path) override;
    std::unique_ptr<meterlink::platform::HidHandle>
    openForReading(const std::string& path) override;
    bool lastOpenDenied() const override { return m_lastOpenDenied; }

    static constexpr const char* DevicePath = "virtual:meter-582";

    // Called by the handles.
    int handleWrite(std::span<const std::uint8_t> report, std::uint64_t generation);
    meterlink::platform::ReadResult handleRead(std::span<std::uint8_t> buffer,
                                               std::uint64_t generation, int timeoutMs = 0);
    void countHandle(int change) { m_openHandles += change; }
    std::optional<meterlink::platform::ReportLengths> declaredLengths() const
    {
        return m_declaredLengths;
    }
    std::uint64_t generation() const { return m_generation; }

private:
    // Answers one command; the answers go to the pending queue.
    void process(const Report& command);

    bool m_plugged = true;
    bool m_openDenied = false;
    bool m_lastOpenDenied = false;
    std::string m_path = DevicePath;
    std::string m_serial;
    bool m_silent = false;
    bool m_garbage = false;
    int m_shortReports = 0;
    std::optional<meterlink::platform::ReportLengths> m_declaredLengths{
        meterlink::platform::ReportLengths{65, 65}};
    std::chrono::microseconds m_reportDelay{0};
    std::uint64_t m_generation = 1; // bumped on unplug so that old handles go stale
    std::deque<Report> m_pending;
    std::vector<std::vector<std::uint8_t>> m_writes;
    int m_reads = 0;
    int m_opens = 0;
    int m_openHandles = 0;
    int m_longestReadWait = 0;
    std::map<std::pair<std::uint8_t, std::uint8_t>, Answer> m_answers;
    std::function<void(const Report&)> m_onCommand;
    Clock m_clock;
    std::mt19937 m_random{582};
    MeterModel m_model;
};

} // namespace virtualmeter

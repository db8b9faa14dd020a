#pragma once

#include "link/Answer.h"
#include "link/Command.h"
#include "link/platform/HidPlatform.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace meterlink {

// Told about what the link finds, so that a window can show it; the link knows no widget.
class LinkObserver
{
public:
    virtual ~LinkObserver() = default;
    // After every discovery: true when the meter was found and opened.
    virtual void meterSearched(bool found) = 0;
    // A read failed and the link went down; reason is "Readfile timeout" or
    // "Readfile undefined error".
    virtual void readFailed(const std::string& reason) = 0;
    // Before meterSearched: true when no meter could be opened but one was there and refused
    // for want of permission.
    virtual void accessDenied(bool /*denied*/) {}
};

// What came of a request: the answers that arrived, in order, and why the rest did not.
struct Reply
{
    enum class Outcome
    {
        Answered, // written, and every answer asked for arrived
        NoMeter,  // the link was down: the meter was looked for and nothing was sent
        LinkLost, // a read failed and took the link down; `reason` says how
    };
    Outcome outcome = Outcome::NoMeter;
    std::string reason;
    std::vector<Answer> answers;

    bool answered() const { return outcome == Outcome::Answered; }
};

// The one link to the meter. Callers state a command and how many answers they expect; the
// report bytes and the link's steps stay in here. Single-threaded by design.
class MeterLink
{
public:
    static constexpr int ReadTimeOutMs = 1000;
    // How long a drain waits for a report the meter may still send; nothing arriving is normal.
    static constexpr int DrainWaitMs = 100;
    // The most reports one discard reads: as many as the operating system queues for a device,
    // and few enough that a device which never stops sending cannot hold the caller.
    static constexpr int MaxDiscard = 64;
    static constexpr int MaxReportLength = 65;

    explicit MeterLink(platform::HidPlatform& platform);
    ~MeterLink();
    MeterLink(const MeterLink&) = delete;
    MeterLink& operator=(const MeterLink&) = delete;

    void setObserver(LinkObserver* observer) { m_observer = observer; }

    bool connected() const { return m_connected; }

    // Sends `command` and reads `answers` reports. With answers >= 1 the meter is looked for
    // first when the link is down and used at once; the reads stop at the first that fails.
    // With answers = 0 the command is only written, and when the link is down it is lost: the
    // meter is only looked for, ready for the next command.
    Reply request(const Command& command, int answers);
    // Reads one further report; when the link is down this only looks for the meter.
    std::optional<Answer> receive();
    // Reads and discards up to two reports the meter may still have pending. A drain that finds
    // nothing pending ends at once and keeps the link; only a read error takes it down. When
    // the link is down this only looks for the meter.
    void drain();
    // Reads and drops up to `limit` reports, waiting at most waitMs for each (0: only what has
    // arrived already). Nothing arriving ends it and keeps the link; only a read error takes it
    // down. Does nothing while the link is down. Returns how many reports were dropped.
    int discard(int limit, int waitMs);

    // The meter's interfaces present now (the platform lists only the meter's), in the order
    // discovery tries them when none was chosen.
    std::vector<platform::HidInterface> meters() const;
    // Talk to the meter at `path` from the next exchange on: the link to another one is closed,
    // and discovery tries `path` first from then on (the first match when it is gone).
    void chooseMeter(const std::string& path);
    const std::string& chosenPath() const { return m_chosenPath; }

    std::uint16_t vendorId() const { return m_attributes.vendorId; }
    std::uint16_t productId() const { return m_attributes.productId; }
    const std::string& devicePath() const { return m_devicePath; }
    platform::ReportLengths reportLengths() const { return m_lengths; }
    bool handlesOpen() const { return m_writeHandle != nullptr || m_readHandle != nullptr; }

private:
    // Looks for the meter among the HID interfaces: the chosen one when it is there, otherwise
    // the first match wins.
    bool FindMeter();
    // Write the output report and read one answer into the input buffer; discovers the meter
    // first when needed. True when the answer arrived.
    bool Exchange();
    // Write only; when the link is down this only rediscovers and the command is lost. True
    // when the report was written.
    bool SendOnly();
    // Read one report into the input buffer; when the link is down this only rediscovers. True
    // when a report arrived.
    bool ReceiveOnly();
    void WriteOutputReport();
    // Returns the outcome; on a time-out or error the link is already down.
    platform::ReadOutcome ReadInputReport(int timeoutMs, bool timeOutIsFailure);
    void dropLink(const std::string& reason, bool cancelPending);

    platform::HidPlatform* m_platform;
    LinkObserver* m_observer = nullptr;
    bool m_connected = false;
    std::unique_ptr<platform::HidHandle> m_writeHandle;
    std::unique_ptr<platform::HidHandle> m_readHandle;
    platform::HidAttributes m_attributes;
    platform::ReportLengths m_lengths;
    std::string m_devicePath;
    std::string m_chosenPath;
    Report m_outputReport{};
    Report m_inputBuffer{};
    // Why the link went down during the current request; empty while it has not.
    std::string m_failure;
};

} // namespace meterlink

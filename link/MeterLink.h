#pragma once

#include "link/platform/HidPlatform.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

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
};

using Report = std::array<std::uint8_t, 65>;

// The one link to the meter. Every exchange goes through Exchange, SendOnly, ReceiveOnly, Drain
// and Discard over the shared OutputReport and ReceivedReport. Single-threaded by design.
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
    // Replaces the HID services (for example by the virtual meter); drops any open link.
    void setPlatform(platform::HidPlatform& platform);

    // Byte 0 report ID, byte 1 command, bytes 2.. sub-command and parameters. The link never
    // clears it: bytes a sender leaves alone travel with the next report.
    Report OutputReport{};
    // Copy of the last input report read successfully; kept when a read fails.
    Report ReceivedReport{};

    bool Connected() const { return m_connected; }

    // Looks for the meter among the HID interfaces; the first match wins.
    bool FindMeter();
    // Write the output report and read one answer; discovers the meter first when needed.
    void Exchange();
    // Write only; when the link is down this only rediscovers and the command is lost.
    void SendOnly();
    // Read one report; when the link is down this only rediscovers.
    void ReceiveOnly();
    // Reads and discards up to two reports the meter may still have pending. A drain that finds
    // nothing pending ends at once and keeps the link; only a read error takes it down.
    void Drain();
    // Reads and drops up to `limit` reports, waiting at most waitMs for each (0: only what has
    // arrived already). Nothing arriving ends it and keeps the link; only a read error takes it
    // down. Does nothing while the link is down. Returns how many reports were dropped.
    int Discard(int limit, int waitMs);

    std::uint16_t vendorId() const { return m_attributes.vendorId; }
    std::uint16_t productId() const { return m_attributes.productId; }
    const std::string& devicePath() const { return m_devicePath; }
    platform::ReportLengths reportLengths() const { return m_lengths; }
    bool handlesOpen() const { return m_writeHandle != nullptr || m_readHandle != nullptr; }

private:
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
    Report m_inputBuffer{};
};

} // namespace meterlink

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace meterlink::platform {

// One HID interface present on the machine, in enumeration order.
struct HidInterface
{
    std::string path;
    std::string serial = {}; // the serial number string; empty where the device has none
};

struct HidAttributes
{
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
};

// Report byte lengths as the device declares them, report ID byte included.
struct ReportLengths
{
    int input = 0;
    int output = 0;
};

// The three ways a waitable read can end.
enum class ReadOutcome
{
    Data,    // a whole input report was placed in the buffer
    TimeOut, // nothing arrived within the time-out
    Error,   // the device failed or went away
};

struct ReadResult
{
    ReadOutcome outcome = ReadOutcome::Error;
    int bytes = 0;
};

// An open handle on one HID interface. Closing is destruction.
class HidHandle
{
public:
    virtual ~HidHandle() = default;

    virtual std::optional<HidAttributes> attributes() = 0;
    virtual std::optional<ReportLengths> reportLengths() = 0;

    // Synchronous write of one output report; report[0] is the report ID.
    // Returns the number of bytes written, or -1.
    virtual int write(std::span<const std::uint8_t> report) = 0;

    // Waits at most timeoutMs for one input report. On Data, buffer[0] holds the report ID,
    // the data follows from buffer[1], and bytes tells how many bytes of buffer were filled.
    virtual ReadResult read(std::span<std::uint8_t> buffer, int timeoutMs) = 0;

    // Gives up a read that is still pending (after a time-out).
    virtual void cancel() {}
};

// The operating system's HID services that the meter link needs.
class HidPlatform
{
public:
    virtual ~HidPlatform() = default;

    // HID interfaces present now, in a stable order.
    virtual std::vector<HidInterface> interfaces() = 0;

    // Opens an interface for synchronous writes and queries; nullptr when it refuses.
    virtual std::unique_ptr<HidHandle> openForWriting(const std::string& path) = 0;

    // Opens an interface a second time for reads that can be waited on; nullptr on failure.
    virtual std::unique_ptr<HidHandle> openForReading(const std::string& path) = 0;

    // After an open that failed: whether the system refused it for want of permission (the
    // device is there, but this user may not use it).
    virtual bool lastOpenDenied() const { return false; }
};

} // namespace meterlink::platform

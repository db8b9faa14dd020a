#include "link/MeterLink.h"

#include "link/MeterCommands.h"

#include <algorithm>

namespace meterlink {

using platform::ReadOutcome;

MeterLink::MeterLink(platform::HidPlatform& platform) : m_platform(&platform) {}

MeterLink::~MeterLink() = default;

void MeterLink::setPlatform(platform::HidPlatform& platform)
{
    m_writeHandle.reset();
    m_readHandle.reset();
    m_connected = false;
    m_platform = &platform;
}

bool MeterLink::FindMeter()
{
    m_connected = false;
    m_writeHandle.reset();
    m_readHandle.reset();

    for (const auto& candidate : m_platform->interfaces()) {
        auto handle = m_platform->openForWriting(candidate.path);
        if (!handle)
            continue; // keyboards and mice refuse; they simply do not match
        const auto attributes = handle->attributes();
        if (!attributes || attributes->vendorId != meter::VendorId ||
            attributes->productId != meter::ProductId)
            continue;
        // A device whose reports do not fit our 65-byte buffers is not ours to drive.
        const auto lengths = handle->reportLengths().value_or(
            platform::ReportLengths{meter::ReportLength, meter::ReportLength});
        if (lengths.input > MaxReportLength || lengths.output > MaxReportLength ||
            lengths.input < 1 || lengths.output < 1)
            continue;
        m_writeHandle = std::move(handle);
        m_attributes = *attributes;
        m_lengths = lengths;
        m_devicePath = candidate.path;
        m_connected = true;
        break;
    }

    if (m_connected) {
        m_readHandle = m_platform->openForReading(m_devicePath);
        if (!m_readHandle) {
            // Nothing could ever be read; treat it as not found and try again next time.
            m_writeHandle.reset();
            m_connected = false;
        }
    }
    if (m_observer)
        m_observer->meterSearched(m_connected);
    return m_connected;
}

void MeterLink::Exchange()
{
    if (!m_connected)
        FindMeter();
    if (m_connected) {
        WriteOutputReport();
        ReadInputReport(ReadTimeOutMs, true);
    }
}

void MeterLink::SendOnly()
{
    if (m_connected)
        WriteOutputReport();
    else
        FindMeter();
}

void MeterLink::ReceiveOnly()
{
    if (m_connected)
        ReadInputReport(ReadTimeOutMs, true);
    else
        FindMeter();
}

void MeterLink::Drain()
{
    if (!m_connected)
        FindMeter();
    else
        Discard(2, DrainWaitMs);
}

int MeterLink::Discard(int limit, int waitMs)
{
    int dropped = 0;
    while (dropped < limit && m_connected && ReadInputReport(waitMs, false) == ReadOutcome::Data)
        ++dropped;
    return dropped;
}

void MeterLink::WriteOutputReport()
{
    // The result is not looked at: a failed write shows up as a failed read.
    m_writeHandle->write(std::span<const std::uint8_t>(OutputReport.data(),
                                                       static_cast<std::size_t>(m_lengths.output)));
}

ReadOutcome MeterLink::ReadInputReport(int timeoutMs, bool timeOutIsFailure)
{
    m_inputBuffer.fill(0);
    const auto result = m_readHandle->read(
        std::span<std::uint8_t>(m_inputBuffer.data(), static_cast<std::size_t>(m_lengths.input)),
        timeoutMs);
    switch (result.outcome) {
    case ReadOutcome::Data:
        ReceivedReport = m_inputBuffer;
        break;
    case ReadOutcome::TimeOut:
        if (timeOutIsFailure)
            dropLink("Readfile timeout", true);
        else
            m_readHandle->cancel();
        break;
    case ReadOutcome::Error:
        dropLink("Readfile undefined error", false);
        break;
    }
    return result.outcome;
}

void MeterLink::dropLink(const std::string& reason, bool cancelPending)
{
    m_connected = false;
    if (m_observer)
        m_observer->readFailed(reason);
    if (cancelPending && m_readHandle)
        m_readHandle->cancel();
    m_writeHandle.reset();
    m_readHandle.reset();
    m_attributes.vendorId = 0;
    m_attributes.productId = 0;
}

} // namespace meterlink

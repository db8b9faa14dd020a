#include "link/MeterLink.h"

#include "link/MeterCommands.h"

#include <algorithm>

namespace meterlink {

using platform::ReadOutcome;

MeterLink::MeterLink(platform::HidPlatform& platform) : m_platform(&platform) {}

MeterLink::~MeterLink() = default;

Reply MeterLink::request(const Command& command, int answers)
{
    m_outputReport = OutputReport(command);
    m_failure.clear();
    Reply reply;
    if (answers <= 0) {
        reply.outcome = SendOnly() ? Reply::Outcome::Answered : Reply::Outcome::NoMeter;
        return reply;
    }
    reply.answers.reserve(static_cast<std::size_t>(answers));
    for (int i = 0; i < answers; ++i) {
        if (!(i == 0 ? Exchange() : ReceiveOnly())) {
            reply.outcome = m_failure.empty() ? Reply::Outcome::NoMeter : Reply::Outcome::LinkLost;
            reply.reason = m_failure;
            return reply;
        }
        reply.answers.emplace_back(m_inputBuffer);
    }
    reply.outcome = Reply::Outcome::Answered;
    return reply;
}

std::optional<Answer> MeterLink::receive()
{
    if (!ReceiveOnly())
        return std::nullopt;
    return Answer(m_inputBuffer);
}

void MeterLink::drain()
{
    if (!m_connected)
        FindMeter();
    else
        discard(2, DrainWaitMs);
}

int MeterLink::discard(int limit, int waitMs)
{
    int dropped = 0;
    while (dropped < limit && m_connected && ReadInputReport(waitMs, false) == ReadOutcome::Data)
        ++dropped;
    return dropped;
}

std::vector<platform::HidInterface> MeterLink::meters() const
{
    return m_platform->interfaces();
}

void MeterLink::chooseMeter(const std::string& path)
{
    m_chosenPath = path;
    if (m_connected && m_devicePath != path) {
        m_connected = false;
        m_writeHandle.reset();
        m_readHandle.reset();
    }
}

bool MeterLink::FindMeter()
{
    m_connected = false;
    m_writeHandle.reset();
    m_readHandle.reset();

    auto candidates = m_platform->interfaces();
    const auto chosen = std::find_if(candidates.begin(), candidates.end(),
                                     [this](const auto& c) { return c.path == m_chosenPath; });
    if (chosen != candidates.end())
        std::rotate(candidates.begin(), chosen, chosen + 1);
    bool denied = false;
    for (const auto& candidate : candidates) {
        auto handle = m_platform->openForWriting(candidate.path);
        if (!handle) {
            // Keyboards and mice refuse; they simply do not match.
            denied = denied || m_platform->lastOpenDenied();
            continue;
        }
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
    if (m_observer) {
        m_observer->accessDenied(!m_connected && denied);
        m_observer->meterSearched(m_connected);
    }
    return m_connected;
}

bool MeterLink::Exchange()
{
    if (!m_connected)
        FindMeter();
    if (!m_connected)
        return false;
    WriteOutputReport();
    return ReadInputReport(ReadTimeOutMs, true) == ReadOutcome::Data;
}

bool MeterLink::SendOnly()
{
    if (!m_connected) {
        FindMeter();
        return false;
    }
    WriteOutputReport();
    return true;
}

bool MeterLink::ReceiveOnly()
{
    if (!m_connected) {
        FindMeter();
        return false;
    }
    return ReadInputReport(ReadTimeOutMs, true) == ReadOutcome::Data;
}

void MeterLink::WriteOutputReport()
{
    // The result is not looked at: a failed write shows up as a failed read.
    m_writeHandle->write(std::span<const std::uint8_t>(m_outputReport.data(),
                                                       static_cast<std::size_t>(m_lengths.output)));
}

ReadOutcome MeterLink::ReadInputReport(int timeoutMs, bool timeOutIsFailure)
{
    // A short report must not leave bytes of an earlier one behind it.
    m_inputBuffer.fill(0);
    const auto result = m_readHandle->read(
        std::span<std::uint8_t>(m_inputBuffer.data(), static_cast<std::size_t>(m_lengths.input)),
        timeoutMs);
    switch (result.outcome) {
    case ReadOutcome::Data:
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
    m_failure = reason;
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

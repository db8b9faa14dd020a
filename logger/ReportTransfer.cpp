#include "logger/ReportTransfer.h"

#include <algorithm>

namespace logger {

ProgressPacer::ProgressPacer(std::uint64_t total) : m_total(total)
{
    m_sinceEvents.start();
}

int ProgressPacer::percent(std::uint64_t done) const
{
    if (m_total == 0)
        return 100;
    return static_cast<int>(std::min<std::uint64_t>(done, m_total) * 100 / m_total);
}

bool ProgressPacer::due(std::uint64_t done)
{
    const int now = percent(done);
    if (now != m_lastPercent || m_sinceEvents.hasExpired(EventIntervalMs)) {
        m_lastPercent = now;
        m_sinceEvents.restart();
        return true;
    }
    return false;
}

ReportTransfer::ReportTransfer(meterlink::MeterSequence& sequence, int firstByte)
    : m_sequence(sequence), m_firstByte(firstByte)
{
}

ReportTransfer::Outcome ReportTransfer::collect(std::uint64_t reports, const Progress& progress)
{
    const int perReport = meterlink::Answer::DataBytes + 1 - m_firstByte;
    m_bytes.clear();
    m_received = 0;
    ProgressPacer pacer(reports);
    for (std::uint64_t page = 1; page <= reports; ++page) {
        // A report that does not arrive takes the link down, and the transfer ends there.
        if (!m_sequence.connected())
            return Outcome::LinkLost;
        const auto answer = m_sequence.receive();
        if (!answer)
            return Outcome::LinkLost;
        const auto data = answer->bytes(m_firstByte, perReport);
        m_bytes.append(reinterpret_cast<const char*>(data.data()),
                       static_cast<qsizetype>(data.size()));
        m_received = page;
        if (progress && pacer.due(page) && !progress(pacer.percent(page))) {
            m_bytes.clear();
            dropRest(reports - page, pacer, progress);
            return Outcome::Cancelled;
        }
    }
    return Outcome::Complete;
}

void ReportTransfer::dropRest(std::uint64_t rest, ProgressPacer& pacer, const Progress& progress)
{
    // The meter knows no stop: it goes on sending the rest of its answer, which must reach
    // neither the next command nor the live poll. A pause in the stream ends this early; window
    // events still run meanwhile.
    for (std::uint64_t page = 1; page <= rest; ++page) {
        if (m_sequence.discard(1, meterlink::MeterLink::DrainWaitMs) == 0)
            return;
        if (pacer.due(m_received + page))
            progress(pacer.percent(m_received + page));
    }
}

} // namespace logger

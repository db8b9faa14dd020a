#pragma once

#include "link/MeterSequence.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>

namespace logger {

// Decides when a long transfer shows its progress and lets window events run: whenever the
// whole percentage moves, and otherwise at least every few milliseconds. Doing it after
// every report would cost more than the reports themselves on a fast link.
class ProgressPacer
{
public:
    static constexpr int EventIntervalMs = 15;

    explicit ProgressPacer(std::uint64_t total);
    // The whole percentage after `done` of `total` reports.
    int percent(std::uint64_t done) const;
    // True when the caller should show the progress and let events run now.
    bool due(std::uint64_t done);

private:
    std::uint64_t m_total;
    int m_lastPercent = -1;
    QElapsedTimer m_sinceEvents;
};

// Collects the answer reports of a directory or data request, one at a time; when the link goes
// down the collection stops at once. The bytes grow as the reports arrive: a count the device
// claims reserves nothing.
class ReportTransfer
{
public:
    enum class Outcome
    {
        Complete,
        LinkLost,
        Cancelled
    };
    // Called after a report when the pacer says so; returning false cancels the transfer: what
    // was collected is dropped, and so is the rest the meter still sends.
    using Progress = std::function<bool(int percent)>;

    // `firstByte` is the first data byte taken from each report (1 for set text, 2 for the
    // directory, whose byte 1 carries no entry).
    ReportTransfer(meterlink::MeterSequence& sequence, int firstByte);

    Outcome collect(std::uint64_t reports, const Progress& progress);
    const QByteArray& bytes() const { return m_bytes; }
    std::uint64_t received() const { return m_received; }

private:
    void dropRest(std::uint64_t rest, ProgressPacer& pacer, const Progress& progress);

    meterlink::MeterSequence& m_sequence;
    int m_firstByte;
    QByteArray m_bytes;
    std::uint64_t m_received = 0;
};

} // namespace logger

#pragma once

#include "link/MeterSequence.h"
#include "logger/ReportTransfer.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace ui {
class Dialogs;
}

namespace logger {

class TransferProgress;

extern const QString LinkLostText;
extern const QString SetTooLargeText;

// What came of reading one set.
struct SetText
{
    enum class Outcome
    {
        Complete,
        LinkLost,
        TooLarge,
        Cancelled
    };
    Outcome outcome = Outcome::LinkLost;
    std::uint64_t size = 0; // as the meter reported it
    QByteArray text;        // its data reports, the last one whole
};

// Reads the set of start time `digits` in the running sequence: its size, then its data. A set
// of more than `limit` bytes is not read: reading a size the memory cannot hold would keep the
// program busy for hours.
SetText ReadSet(meterlink::MeterSequence& sequence, const QString& digits, std::uint64_t limit,
                const ReportTransfer::Progress& progress);

// Downloads the set of start time `digits` in a meter sequence of its own, nothing of what the
// meter sends left for the next command. Its text; none while another sequence runs, when the
// user cancelled, or when the meter failed (said through `dialogs`).
std::optional<QByteArray> DownloadSet(meterlink::SequenceRunner& runner, ui::Dialogs& dialogs,
                                      TransferProgress& progress, const QString& digits,
                                      std::uint64_t limit);

} // namespace logger

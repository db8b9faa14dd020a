#include "logger/SetDownload.h"

#include "logger/MemoryProtocol.h"
#include "logger/TransferProgress.h"
#include "ui/Dialogs.h"

namespace logger {

const QString LinkLostText = QStringLiteral("The meter does not answer! The transfer was stopped.");
const QString SetTooLargeText =
    QStringLiteral("The meter reported a set larger than its memory! Nothing was saved.");

SetText ReadSet(meterlink::MeterSequence& sequence, const QString& digits, std::uint64_t limit,
                const ReportTransfer::Progress& progress)
{
    SetText set;
    const auto start = RequestDigits(digits);
    const meterlink::Reply reply = sequence.request(meterlink::commands::SetSize(start));
    if (!reply.answered())
        return set;
    set.size = DecodeSetSize(reply.answers.front());
    if (set.size > limit) {
        set.outcome = SetText::Outcome::TooLarge;
        return set;
    }
    sequence.send(meterlink::commands::SetData(start));
    ReportTransfer transfer(sequence, 1);
    switch (transfer.collect(DataReports(set.size), progress)) {
    case ReportTransfer::Outcome::Cancelled:
        set.outcome = SetText::Outcome::Cancelled;
        break;
    case ReportTransfer::Outcome::LinkLost:
        break;
    case ReportTransfer::Outcome::Complete:
        set.outcome = SetText::Outcome::Complete;
        set.text = transfer.bytes();
        break;
    }
    return set;
}

std::optional<QByteArray> DownloadSet(meterlink::SequenceRunner& runner, ui::Dialogs& dialogs,
                                      TransferProgress& progress, const QString& digits,
                                      std::uint64_t limit)
{
    auto sequence = runner.begin();
    if (!sequence)
        return std::nullopt;
    SetText set;
    {
        const TransferScope scope(progress);
        set = ReadSet(*sequence, digits, limit,
                      [&progress](int percent) { return progress.advance(percent); });
    }
    if (set.outcome == SetText::Outcome::LinkLost || set.outcome == SetText::Outcome::TooLarge) {
        dialogs.message(set.outcome == SetText::Outcome::LinkLost ? LinkLostText : SetTooLargeText,
                        ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return std::nullopt;
    }
    // Whatever the meter sends after the set's last report must not reach the next command.
    sequence->drain();
    if (set.outcome == SetText::Outcome::Cancelled)
        return std::nullopt;
    return std::move(set.text);
}

} // namespace logger

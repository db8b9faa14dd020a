#include "clock/ClockTexts.h"

#include "link/MeterCommands.h"
#include "ui/TextValue.h"

namespace meterclock {

QString MeterTimeText(const meterlink::Answer& answer)
{
    const auto field = [&answer](int n) { return ui::TwoDigit(answer.byte(n)); };
    return field(1) + QLatin1Char('/') + field(2) + QLatin1Char('/') + field(3) + QLatin1Char(' ') +
           field(4) + QLatin1Char(':') + field(5) + QLatin1Char(':') + field(6);
}

QString PCTimeText(const QDateTime& now, const Separators& separators)
{
    const QDate date = now.date();
    const QTime time = now.time();
    const QString d = separators.date;
    const QString t = separators.time;
    const QString fullDate = QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) + d +
                             ui::TwoDigit(date.month()) + d + ui::TwoDigit(date.day());
    return fullDate.right(8) + QLatin1Char(' ') + ui::TwoDigit(time.hour()) + t +
           ui::TwoDigit(time.minute()) + t + ui::TwoDigit(time.second());
}

std::array<std::uint8_t, 6> ClockFields(const QString& pcTimeText)
{
    std::array<std::uint8_t, 6> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        bool ok = false;
        const int value = pcTimeText.mid(static_cast<qsizetype>(i) * 3, 2).toInt(&ok);
        fields[i] = ok && value >= 0 && value <= 255 ? static_cast<std::uint8_t>(value) : 0;
    }
    return fields;
}

std::optional<QString> ReadMeterTime(meterlink::SequenceRunner& runner)
{
    auto sequence = runner.begin();
    if (!sequence)
        return std::nullopt;
    const meterlink::Reply reply = sequence->request(meterlink::commands::ReadClock());
    if (!reply.answered())
        return std::nullopt;
    return MeterTimeText(reply.answers.front());
}

void SetMeterClock(meterlink::SequenceRunner& runner, const std::array<std::uint8_t, 6>& fields)
{
    auto sequence = runner.begin(meterlink::SequenceRunner::Drain::Skip);
    if (!sequence)
        return;
    const meterlink::Command setClock = meterlink::commands::SetClock(fields);
    // A link that is down is only found again by the first send, and the new time would be
    // lost; the second carries it.
    if (sequence->send(setClock).outcome == meterlink::Reply::Outcome::NoMeter)
        sequence->send(setClock);
}

QPoint RtcPosition(const QRect& mainFrame, int ownFrameWidth, int logicalDpiY)
{
    const int below = (25 * logicalDpiY + 18) / 36; // rounded to the nearest dot
    return {mainFrame.x() + (mainFrame.width() - ownFrameWidth) / 2, mainFrame.y() + below};
}

} // namespace meterclock

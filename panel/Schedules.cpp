#include "panel/Schedules.h"

#include "link/MeterCommands.h"
#include "ui/Dialogs.h"
#include "ui/TextValue.h"

#include <Qt>
#include <algorithm>

namespace panel {

namespace {

constexpr int IntervalMax = 65535;

struct FieldRange
{
    const char* name;
    int from;
    int to;
};

// One half of a reservation: the date and time of its start or stop.
constexpr FieldRange DateTimeFields[] = {
    {"Year", 0, 99}, {"Month", 1, 12},  {"Date", 1, 31},
    {"Hour", 0, 23}, {"Minute", 0, 59}, {"Second", 0, 59},
};
constexpr FieldRange TimeFields[] = {{"Hour", 0, 23}, {"Minute", 0, 59}, {"Second", 0, 59}};

std::vector<FieldRange> ByteFieldRanges(ScheduleKind kind)
{
    if (kind == ScheduleKind::Reservation)
        return {std::begin(DateTimeFields), std::end(DateTimeFields)};
    return {std::begin(TimeFields), std::end(TimeFields)};
}

const QString NothingSent = QStringLiteral("\r\nNothing was sent to the meter.");

QString FieldOutOfRange(const QString& field, const QString& typed, const FieldRange& range)
{
    return QStringLiteral("%1: \"%2\" is out of range (%3 to %4).")
               .arg(field, typed.trimmed(), QString::number(range.from),
                    QString::number(range.to)) +
           NothingSent;
}

QString IntervalOutOfRange(std::int64_t seconds)
{
    return QStringLiteral("Interval: %1 seconds is out of range (0 to %2 seconds).")
               .arg(QString::number(seconds), QString::number(IntervalMax)) +
           NothingSent;
}

// Why a schedule did not reach the meter, or nothing when the meter took it. The sequence ends
// (and the poll resumes) before anyone is told.
QString WriteFailure(meterlink::SequenceRunner& runner, const meterlink::Command& command)
{
    auto sequence = runner.begin();
    if (!sequence)
        return QStringLiteral("The schedule was not written: the meter is busy with another "
                              "command.") +
               NothingSent;
    // What the meter answers is not looked at; that it answers is.
    const meterlink::Reply reply = sequence->request(command);
    switch (reply.outcome) {
    case meterlink::Reply::Outcome::Answered:
        break;
    case meterlink::Reply::Outcome::NoMeter:
        return QStringLiteral("The schedule was not written: no meter was found.") + NothingSent;
    case meterlink::Reply::Outcome::LinkLost:
        return QStringLiteral("The meter did not answer the schedule (%1), so it may not have "
                              "been written.\r\nOpen the set-up menu again to read what the "
                              "meter holds.")
            .arg(QString::fromStdString(reply.reason));
    }
    return {};
}

} // namespace

int ScheduleByteFields(ScheduleKind kind)
{
    return kind == ScheduleKind::Reservation ? 12 : 6;
}

int ScheduleFieldCount(ScheduleKind kind)
{
    return ScheduleByteFields(kind) + 2;
}

meterlink::Command ScheduleReadCommand(ScheduleKind kind)
{
    return kind == ScheduleKind::Reservation ? meterlink::commands::ReadReservation()
                                             : meterlink::commands::ReadCycling();
}

QStringList ScheduleFieldNames(ScheduleKind kind)
{
    const auto ranges = ByteFieldRanges(kind);
    QStringList names;
    for (const char* half : {"Start", "Stop"})
        for (const auto& range : ranges)
            names << QStringLiteral("%1 %2").arg(QLatin1String(half), QLatin1String(range.name));
    names << QStringLiteral("Interval Minute") << QStringLiteral("Interval Second");
    return names;
}

QStringList TwoDigitItems(int from, int to)
{
    QStringList items;
    for (int n = from; n <= to; ++n)
        items << ui::TwoDigit(n);
    return items;
}

std::vector<QStringList> ScheduleItems(ScheduleKind kind)
{
    const auto ranges = ByteFieldRanges(kind);
    std::vector<QStringList> items;
    for (int half = 0; half < 2; ++half)
        for (const auto& range : ranges)
            items.push_back(TwoDigitItems(range.from, range.to));
    items.push_back(TwoDigitItems(0, 59));
    items.push_back(TwoDigitItems(0, 59));
    return items;
}

ScheduleTexts ScheduleFromAnswer(ScheduleKind kind, const meterlink::Answer& answer)
{
    const int n = ScheduleByteFields(kind);
    ScheduleTexts texts;
    for (int i = 1; i <= n; ++i)
        texts.fields << ui::TwoDigit(answer.byte(i));
    const int interval = answer.u16(n + 1);
    // Minutes above 99 keep only their last two digits, as every two-digit field does.
    texts.fields << ui::TwoDigit(interval / 60) << ui::TwoDigit(interval % 60);
    texts.enabled = answer.byte(n + 3) == 1;
    return texts;
}

std::variant<meterlink::Command, QString> ScheduleCommand(ScheduleKind kind,
                                                          const ScheduleTexts& texts)
{
    const int n = ScheduleByteFields(kind);
    const QStringList names = ScheduleFieldNames(kind);
    const auto ranges = ByteFieldRanges(kind);
    auto text = [&texts](int i) { return i < texts.fields.size() ? texts.fields[i] : QString(); };

    // A field outside what its list offers (a day 0, a month 13) would make a schedule the
    // meter can never run.
    std::array<std::uint8_t, 12> bytes{};
    for (int i = 0; i < n; ++i) {
        const FieldRange& range = ranges[static_cast<std::size_t>(i) % ranges.size()];
        const auto value = ui::RoundHalfEven(ui::NumericValue(text(i)));
        if (value < range.from || value > range.to)
            return FieldOutOfRange(names[i], text(i), range);
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    }
    const auto interval =
        ui::RoundHalfEven(ui::NumericValue(text(n + 1)) + 60.0 * ui::NumericValue(text(n)));
    if (interval < 0 || interval > IntervalMax)
        return IntervalOutOfRange(interval);
    const auto seconds = static_cast<std::uint16_t>(interval);
    if (kind == ScheduleKind::Reservation)
        return meterlink::commands::WriteReservation(bytes, seconds, texts.enabled);
    return meterlink::commands::WriteCycling(std::span(bytes).first<6>(), seconds, texts.enabled);
}

QString SamplingTitle()
{
    return QStringLiteral("Input Sampling Time");
}

QString SamplingPrompt(int maximum)
{
    return QStringLiteral("Enter the SAMPLING TIME in seconds") + QStringLiteral("\r\n") +
           QStringLiteral("(1 <= t <= %1 ) ").arg(maximum);
}

std::optional<int> SamplingTimeFromAnswer(const QString& answer, int maximum)
{
    const std::optional<double> number = ui::LeadingNumberValue(answer);
    if (!number)
        return std::nullopt;
    const auto t = ui::RoundHalfEven(*number);
    return static_cast<int>(std::clamp<std::int64_t>(t, 1, maximum));
}

QString MemoryBusyQuestion()
{
    return QStringLiteral("Error! Memory in procceeding, continue?");
}

SetupResult RunSetupChoice(const MeterAccess& access, SetupChoice choice, bool memoryBusy)
{
    SetupResult result;
    auto sequence = access.runner.begin();
    if (!sequence) {
        result.cancelled = true;
        return result;
    }
    if (memoryBusy) {
        // A plain question, as the meter's own software asks it.
        const auto answer = access.dialogs.message(MemoryBusyQuestion(), ui::MsgButtons::OkCancel,
                                                   ui::MsgIcon::None);
        if (answer != ui::MsgAnswer::Ok) {
            result.cancelled = true;
            return result;
        }
        sequence->request(meterlink::commands::ContinueRecording());
    }

    if (choice != SetupChoice::Reference) {
        const auto kind =
            choice == SetupChoice::Reservation ? ScheduleKind::Reservation : ScheduleKind::Cycling;
        const meterlink::Reply reply = sequence->request(ScheduleReadCommand(kind));
        if (reply.answered())
            result.schedule = ScheduleFromAnswer(kind, reply.answers.front());
    }
    return result;
}

std::optional<int> AskPcInterval(ui::Dialogs& dialogs, int current)
{
    const QString answer =
        dialogs.inputBox(SamplingPrompt(PcIntervalMax), SamplingTitle(), QString::number(current));
    return SamplingTimeFromAnswer(answer, PcIntervalMax);
}

std::optional<int> SetMeterInterval(const MeterAccess& access, int& meterInterval)
{
    auto sequence = access.runner.begin();
    if (!sequence)
        return std::nullopt;
    const meterlink::Reply reply = sequence->request(meterlink::commands::ReadSamplingTime());
    if (reply.answered())
        meterInterval = reply.answers.front().u16(1);

    const QString answer = access.dialogs.inputBox(SamplingPrompt(MeterIntervalMax),
                                                   SamplingTitle(), QString::number(meterInterval));
    const auto t = SamplingTimeFromAnswer(answer, MeterIntervalMax);
    if (!t)
        return std::nullopt;
    sequence->send(meterlink::commands::WriteSamplingTime(static_cast<std::uint16_t>(*t)));
    sequence->drain();
    return t;
}

bool WriteSchedule(const MeterAccess& access, ScheduleKind kind, const ScheduleTexts& texts)
{
    // Checked before any traffic, so that a refused schedule leaves the meter and poll alone.
    const auto command = ScheduleCommand(kind, texts);
    if (const auto* problem = std::get_if<QString>(&command)) {
        access.dialogs.message(*problem, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return false;
    }
    const QString failure = WriteFailure(access.runner, std::get<meterlink::Command>(command));
    if (failure.isEmpty())
        return true;
    access.dialogs.message(failure, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
    return false;
}

} // namespace panel

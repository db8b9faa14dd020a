#include "panel/Schedules.h"

#include "link/MeterCommands.h"
#include "ui/Dialogs.h"
#include "ui/PollControl.h"
#include "ui/TextValue.h"

#include <Qt>
#include <algorithm>

namespace panel {

namespace {

namespace meter = meterlink::meter;

constexpr int FirstParameter = 3; // byte 3 of a command holds its first parameter
constexpr int ByteMax = 255;
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

std::vector<FieldRange> byteFieldRanges(ScheduleKind kind)
{
    if (kind == ScheduleKind::Reservation)
        return {std::begin(DateTimeFields), std::end(DateTimeFields)};
    return {std::begin(TimeFields), std::end(TimeFields)};
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

const QString NothingSent = QStringLiteral("\r\nNothing was sent to the meter.");

QString byteOutOfRange(const QString& field, const QString& typed)
{
    return QStringLiteral("%1: \"%2\" is out of range (0 to %3).")
               .arg(field, typed.trimmed(), QString::number(ByteMax)) +
           NothingSent;
}

QString intervalOutOfRange(std::int64_t seconds)
{
    return QStringLiteral("Interval: %1 seconds is out of range (0 to %2 seconds).")
               .arg(QString::number(seconds), QString::number(IntervalMax)) +
           NothingSent;
}

void putCommand(meterlink::Report& report, std::uint8_t code)
{
    report[0] = 0;
    report[1] = meter::Command;
    report[2] = code;
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

std::uint8_t ScheduleReadCode(ScheduleKind kind)
{
    return kind == ScheduleKind::Reservation ? meter::ReadReservation : meter::ReadCycling;
}

std::uint8_t ScheduleWriteCode(ScheduleKind kind)
{
    return kind == ScheduleKind::Reservation ? meter::WriteReservation : meter::WriteCycling;
}

QStringList ScheduleFieldNames(ScheduleKind kind)
{
    const auto ranges = byteFieldRanges(kind);
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
    const auto ranges = byteFieldRanges(kind);
    std::vector<QStringList> items;
    for (int half = 0; half < 2; ++half)
        for (const auto& range : ranges)
            items.push_back(TwoDigitItems(range.from, range.to));
    items.push_back(TwoDigitItems(0, 59));
    items.push_back(TwoDigitItems(0, 59));
    return items;
}

ScheduleTexts ScheduleFromAnswer(ScheduleKind kind, const meterlink::Report& answer)
{
    const int n = ScheduleByteFields(kind);
    ScheduleTexts texts;
    for (int i = 0; i < n; ++i)
        texts.fields << ui::TwoDigit(answer[static_cast<std::size_t>(i + 1)]);
    const int interval =
        answer[static_cast<std::size_t>(n + 1)] * 256 + answer[static_cast<std::size_t>(n + 2)];
    // Minutes above 99 keep only their last two digits, as every two-digit field does.
    texts.fields << ui::TwoDigit(interval / 60) << ui::TwoDigit(interval % 60);
    texts.enabled = answer[static_cast<std::size_t>(n + 3)] == 1;
    return texts;
}

std::optional<QString> ScheduleCommand(ScheduleKind kind, const ScheduleTexts& texts,
                                       meterlink::Report& report)
{
    const int n = ScheduleByteFields(kind);
    const QStringList names = ScheduleFieldNames(kind);
    auto text = [&texts](int i) { return i < texts.fields.size() ? texts.fields[i] : QString(); };

    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < n; ++i) {
        const auto value = ui::RoundHalfEven(ui::NumericValue(text(i)));
        if (value < 0 || value > ByteMax)
            return byteOutOfRange(names[i], text(i));
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    const auto interval =
        ui::RoundHalfEven(ui::NumericValue(text(n + 1)) + 60.0 * ui::NumericValue(text(n)));
    if (interval < 0 || interval > IntervalMax)
        return intervalOutOfRange(interval);
    bytes.push_back(static_cast<std::uint8_t>(interval / 256));
    bytes.push_back(static_cast<std::uint8_t>(interval % 256));
    bytes.push_back(texts.enabled ? 1 : 0);

    putCommand(report, ScheduleWriteCode(kind));
    std::copy(bytes.begin(), bytes.end(), report.begin() + FirstParameter);
    return std::nullopt;
}

bool ResKeyAccepted(int key, const QString& text)
{
    // Tab and Delete carry a control character but type nothing into the box.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return true;
    if (text.isEmpty())
        return true;
    return text.size() == 1 && isDigit(text[0]);
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

bool HasLeadingNumber(const QString& text)
{
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    if (i < n && isDigit(text[i]))
        return true;
    return i + 1 < n && text[i] == QLatin1Char('.') && isDigit(text[i + 1]);
}

std::optional<int> SamplingTimeFromAnswer(const QString& answer, int maximum)
{
    if (!HasLeadingNumber(answer))
        return std::nullopt;
    const auto t = ui::RoundHalfEven(ui::NumericValue(answer));
    return static_cast<int>(std::clamp<std::int64_t>(t, 1, maximum));
}

QString MemoryBusyQuestion()
{
    return QStringLiteral("Error! Memory in procceeding, continue?");
}

SetupResult RunSetupChoice(const MeterAccess& access, SetupChoice choice, bool memoryBusy)
{
    auto& link = access.link;
    access.poll.setPolling(false);
    link.Drain();

    SetupResult result;
    if (memoryBusy) {
        // A plain question, as the meter's own software asks it.
        const auto answer = access.dialogs.message(MemoryBusyQuestion(), ui::MsgButtons::OkCancel,
                                                   ui::MsgIcon::None);
        if (answer != ui::MsgAnswer::Ok) {
            access.poll.setPolling(true);
            result.cancelled = true;
            return result;
        }
        putCommand(link.OutputReport, meter::ContinueRecording);
        link.Exchange();
    }

    if (choice != SetupChoice::Reference) {
        const auto kind =
            choice == SetupChoice::Reservation ? ScheduleKind::Reservation : ScheduleKind::Cycling;
        putCommand(link.OutputReport, ScheduleReadCode(kind));
        link.Exchange();
        // Without a meter the answer is whatever the last successful read left behind.
        result.schedule = ScheduleFromAnswer(kind, link.ReceivedReport);
    }
    access.poll.setPolling(true);
    return result;
}

std::optional<int> AskPcInterval(ui::Dialogs& dialogs, int current)
{
    const QString answer =
        dialogs.inputBox(SamplingPrompt(PcIntervalMax), SamplingTitle(), QString::number(current));
    return SamplingTimeFromAnswer(answer, PcIntervalMax);
}

std::optional<int> SetMeterInterval(const MeterAccess& access)
{
    auto& link = access.link;
    access.poll.setPolling(false);
    link.Drain();
    putCommand(link.OutputReport, meter::ReadSamplingTime);
    link.Exchange();
    const int meterInterval = link.ReceivedReport[1] * 256 + link.ReceivedReport[2];

    const QString answer = access.dialogs.inputBox(SamplingPrompt(MeterIntervalMax),
                                                   SamplingTitle(), QString::number(meterInterval));
    const auto t = SamplingTimeFromAnswer(answer, MeterIntervalMax);
    if (!t) {
        access.poll.setPolling(true);
        return std::nullopt;
    }
    access.poll.setPolling(false);
    putCommand(link.OutputReport, meter::WriteSamplingTime);
    link.OutputReport[3] = static_cast<std::uint8_t>(*t / 256);
    link.OutputReport[4] = static_cast<std::uint8_t>(*t % 256);
    link.SendOnly();
    link.Drain();
    access.poll.setPolling(true);
    return t;
}

bool WriteSchedule(const MeterAccess& access, ScheduleKind kind, const ScheduleTexts& texts)
{
    auto& link = access.link;
    // Checked before any traffic, so that a refused schedule leaves the meter and poll alone.
    meterlink::Report report = link.OutputReport;
    if (const auto problem = ScheduleCommand(kind, texts, report)) {
        access.dialogs.message(*problem, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return false;
    }
    access.poll.setPolling(false);
    link.Drain();
    link.OutputReport = report;
    link.Exchange(); // the answer is not looked at
    access.poll.setPolling(true);
    return true;
}

} // namespace panel

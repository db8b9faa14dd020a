#include "files/RecordingFile.h"

#include "files/ItemReader.h"
#include "files/RecordLine.h"
#include "ui/TextValue.h"

namespace files {

namespace {

const QByteArray LineEnd("\r\n");

} // namespace

QString RecordingTitle()
{
    return QStringLiteral("TRMS TRIAXIAL ELF MAGNETIC FIELD METER");
}

QString StartTimeText(const QDateTime& time, const ui::DateTimeSeparators& separators)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return ui::TwoDigit(date.year()) + separators.date + ui::TwoDigit(date.month()) +
           separators.date + ui::TwoDigit(date.day()) + QLatin1Char(' ') +
           ui::TwoDigit(clock.hour()) + separators.time + ui::TwoDigit(clock.minute()) +
           separators.time + ui::TwoDigit(clock.second());
}

QString IntervalField(long long seconds)
{
    return (QStringLiteral("  ") + QString::number(seconds)).right(3);
}

QStringList RecordingHeaderLines(const QDateTime& start, long long intervalSeconds,
                                 const ui::DateTimeSeparators& separators)
{
    return {RecordingTitle(), QStringLiteral("Start Time : ") + StartTimeText(start, separators),
            QStringLiteral("Interval : ") + IntervalField(intervalSeconds) +
                QStringLiteral(" Second     Unit : "),
            QStringLiteral("       X       Y       Z     XYZ"), QString(33, QLatin1Char('*'))};
}

QByteArray RecordingStartText(const QDateTime& start, long long intervalSeconds,
                              const ui::DateTimeSeparators& separators)
{
    QByteArray text;
    for (const QString& line : RecordingHeaderLines(start, intervalSeconds, separators))
        text += line.toLatin1() + LineEnd;
    text += QByteArray::fromStdString(RecordColumnLine()) + LineEnd;
    return text;
}

QString TotalLine(long long total)
{
    return QStringLiteral("Total Records : ") + QString::number(total);
}

QByteArray CopyWithTotal(const QByteArray& recording, long long total)
{
    QByteArray target;
    target.reserve(recording.size() + 64);
    ItemScanner items(recording.constData(), recording.constData() + recording.size());
    int count = 0;
    while (!items.atEnd()) {
        const std::string_view item = items.next();
        target.append(item.data(), static_cast<qsizetype>(item.size()));
        target += LineEnd;
        if (++count == 2)
            target += TotalLine(total).toLatin1() + LineEnd;
    }
    return target;
}

} // namespace files

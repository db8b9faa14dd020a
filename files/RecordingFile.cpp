#include "files/RecordingFile.h"

#include "files/DataFileReader.h"
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

bool CopyWithTotal(QFile& recording, QIODevice& target, long long total, QString& error)
{
    constexpr qsizetype BlockBytes = 1 << 20;
    QByteArray block;
    bool written = true;
    const auto flush = [&] {
        written = target.write(block) == block.size();
        block.clear();
        return written;
    };
    int count = 0;
    const ReadResult read = ReadLines(recording, [&](std::string_view lines) {
        for (ItemScanner items(lines); !items.atEnd();) {
            const std::string_view item = items.next();
            block.append(item.data(), static_cast<qsizetype>(item.size()));
            block += LineEnd;
            if (++count == 2)
                block += TotalLine(total).toLatin1() + LineEnd;
            if (block.size() >= BlockBytes && !flush())
                return false;
        }
        return true;
    });
    if (read.outcome == ReadOutcome::ReadFailed) {
        error = read.systemError;
        return false;
    }
    // A write that failed is for the device's owner to explain.
    return written && flush();
}

} // namespace files

#pragma once

#include "ui/DateTimeSeparators.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

namespace files {

// The title line of a recording.
QString RecordingTitle();

// "YY/MM/DD hh:nn:ss": two-digit year, month, day, hours (00-23), minutes and seconds; "/" and
// ":" stand for the given separators.
QString StartTimeText(const QDateTime& time, const ui::DateTimeSeparators& separators);

// The interval field: the last three characters of two blanks followed by the number
// (1 gives "  1", 86 gives " 86", 3600 gives "600").
QString IntervalField(long long seconds);

// The five header lines of a recording, without line ends: the title, "Start Time : ...",
// "Interval : ...", the XYZ column line and 33 asterisks.
QStringList RecordingHeaderLines(const QDateTime& start, long long intervalSeconds,
                                 const ui::DateTimeSeparators& separators);

// What the recording file holds when it starts: the header lines and, below the asterisks,
// the line that names the record fields; every line ends with CR LF. The start time is written
// with the system's date and time separators unless others are given.
QByteArray
RecordingStartText(const QDateTime& start, long long intervalSeconds,
                   const ui::DateTimeSeparators& separators = ui::SystemDateTimeSeparators());

// "Total Records : " followed by the count.
QString TotalLine(long long total);

// Writes the target file made from the recording file into `target`: the recording's items,
// read from its present position on, copied in order, each as one line ended by CR LF, with
// the total line inserted after the second item. Only a block at a time is held. False when the
// recording cannot be read (the system's reason in `error`) or the target written.
bool CopyWithTotal(QFile& recording, QIODevice& target, long long total, QString& error);

} // namespace files

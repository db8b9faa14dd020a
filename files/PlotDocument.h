#pragma once

#include "files/FileStamp.h"
#include "files/SharedData.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace files {

// The records drawn: k from `from` to `to` in steps of 1, record k rounded halves to even.
struct RecordRange
{
    double from = 1;
    double to = 0;

    // How many steps the plot's progress counts: to - from + 1.
    double count() const { return to - from + 1; }
    bool operator==(const RecordRange&) const = default;
};

// Where a document's records came from, for what exports them: the data file as it was read,
// or the text itself where no file keeps it (a set downloaded from the meter).
struct RecordSource
{
    QString path; // empty for a text
    FileStamp stamp;
    QByteArray text;
};

// The opened recording: its records (numbered 1..recordCount()), the range of them the plot
// draws, the name its caption shows and where the records came from. It changes only through
// open() and setRange(), and says so, so that the plot, its statistics and its exports all
// take what it holds now.
class PlotDocument : public QObject
{
    Q_OBJECT
public:
    // The value range both axes of a new plot window start with.
    static constexpr double DefaultAxisMin = 0;
    static constexpr double DefaultAxisMax = 1;

    const RecordTable& records() const { return m_records; }
    std::size_t recordCount() const { return m_records.count(); }
    RecordRange range() const { return m_range; }
    const QString& name() const { return m_name; }
    const RecordSource& source() const { return m_source; }

    // Takes the records of a file or set just read, shown as `name`; the range becomes all of
    // them.
    void open(RecordTable records, const QString& name, RecordSource source);
    // Draws `range` from now on (its bounds checked by the caller). False, and nothing said,
    // when it is the range drawn already.
    bool setRange(RecordRange range);

Q_SIGNALS:
    // open() replaced records, name, source and range.
    void recordsReplaced();
    void rangeChanged();

private:
    RecordTable m_records;
    RecordRange m_range;
    QString m_name;
    RecordSource m_source;
};

} // namespace files

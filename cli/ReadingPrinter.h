#pragma once

#include "files/CsvWriter.h"
#include "link/MeasurementFrame.h"
#include "panel/ReadingsModel.h"

#include <QDateTime>
#include <optional>
#include <ostream>

namespace cli {

enum class ReadingFormat
{
    Csv,
    Jsonl,
    Text
};

// A row of the List, as the window would add it at `time`.
panel::ReadingRow ReadingRowAt(const meterlink::FrameFields& fields, const QDateTime& time);

// Readings as lines: a header (not for jsonl), then one line per reading, each written whole and
// handed on at once. Ev keeps the unit of the first frame for the whole run, so that no column
// mixes lx and fc.
class ReadingPrinter
{
public:
    ReadingPrinter(ReadingFormat format, std::ostream& out);

    // False when the stream took them not.
    bool header(bool footCandles);
    bool row(const panel::ReadingRow& row);

private:
    QString valueText(std::optional<double> value, int column) const;
    std::string cell(const QString& text, int column) const;
    bool flush();

    ReadingFormat m_format;
    std::ostream& m_out;
    bool m_footCandles = false;
    // One writer for the run: each one made gathers its lines in a block of a megabyte.
    std::optional<files::CsvWriter> m_csv;
};

} // namespace cli

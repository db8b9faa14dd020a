#include "cli/ReadingPrinter.h"

#include <algorithm>
#include <array>

namespace cli {

namespace {

using panel::FirstValueColumn;
using panel::ReadingColumnCount;

// The jsonl keys of the columns, in the List's order.
constexpr std::array<const char*, ReadingColumnCount> JsonKeys = {
    "time", "mode", "X",   "Y",   "Z",          "Ev", "x", "y",
    "u'",   "v'",   "Tcp", "duv", "wavelength", "Pe", "Pc"};

std::string JsonString(const QString& text)
{
    std::string quoted = "\"";
    for (const char c : text.toStdString()) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

panel::ReadingRow ReadingRowAt(const meterlink::FrameFields& fields, const QDateTime& time)
{
    return {time.date(), time.time(), meterlink::ListedReadingFromFrame(fields)};
}

ReadingPrinter::ReadingPrinter(ReadingFormat format, std::ostream& out)
    : m_format(format), m_out(out)
{
    if (format == ReadingFormat::Csv)
        m_csv.emplace(out);
}

bool ReadingPrinter::header(bool footCandles)
{
    m_footCandles = footCandles;
    if (m_csv) {
        panel::WriteReadingTitles(*m_csv, footCandles);
        return m_csv->finish() && flush();
    }
    if (m_format == ReadingFormat::Text) {
        std::string line;
        for (int c = 0; c < ReadingColumnCount; ++c)
            line += cell(panel::ReadingColumnTitle(c, footCandles), c);
        m_out << line << '\n';
    }
    return flush();
}

bool ReadingPrinter::row(const panel::ReadingRow& row)
{
    if (m_csv) {
        panel::WriteReadingRow(*m_csv, row, m_footCandles);
        return m_csv->finish() && flush();
    }
    std::string line;
    for (int c = 0; c < ReadingColumnCount; ++c) {
        const QString text = c == panel::TimeColumn ? panel::ReadingIsoTime(row)
                             : c == panel::ModeColumn
                                 ? panel::ModeText(row.reading.mode)
                                 : valueText(panel::ReadingValue(row, c, m_footCandles), c);
        if (m_format == ReadingFormat::Text) {
            line += cell(text, c);
            continue;
        }
        line += line.empty() ? "{" : ",";
        line += JsonString(QLatin1String(JsonKeys[static_cast<std::size_t>(c)])) + ':';
        line += c < FirstValueColumn ? JsonString(text)
                : text.isEmpty()     ? std::string("null")
                                     : text.toStdString();
        if (c == panel::EvColumn)
            line += m_footCandles ? R"(,"unit":"fc")" : R"(,"unit":"lx")";
    }
    m_out << line << (m_format == ReadingFormat::Jsonl ? "}\n" : "\n");
    return flush();
}

QString ReadingPrinter::valueText(std::optional<double> value, int column) const
{
    if (!value)
        return QString();
    // Always the point: QString::number knows no locale.
    return QString::number(*value, 'f', panel::ReadingDecimals(column, m_footCandles));
}

// A column for a person: text left, numbers right, as wide as its title, two blanks apart.
std::string ReadingPrinter::cell(const QString& text, int column) const
{
    const int width =
        column == panel::TimeColumn ? 23
        : column == panel::ModeColumn
            ? 16
            : std::max<int>(9, panel::ReadingColumnTitle(column, m_footCandles).size());
    const QString padded =
        column < FirstValueColumn ? text.leftJustified(width) : text.rightJustified(width);
    return (column == 0 ? QString() : QStringLiteral("  ")).toStdString() + padded.toStdString();
}

bool ReadingPrinter::flush()
{
    m_out.flush();
    return m_out.good();
}

} // namespace cli

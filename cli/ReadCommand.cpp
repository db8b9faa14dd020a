#include "cli/LivePoll.h"
#include "cli/Session.h"
#include "files/CsvWriter.h"
#include "panel/ReadingsModel.h"

#include <QDateTime>
#include <cerrno>
#include <fstream>

namespace cli {

namespace {

using panel::FirstValueColumn;
using panel::ReadingColumnCount;

// A row of the List, as the window would add it at `time`.
panel::ReadingRow readingRow(const meterlink::FrameFields& fields, const QDateTime& time)
{
    return {time.date(), time.time(), meterlink::ListedReadingFromFrame(fields)};
}

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

// Readings as lines: a header (not for jsonl), then one line per reading, each written whole and
// handed on at once. Ev keeps the unit of the first frame for the whole run, so that no column
// mixes lx and fc.
class ReadingPrinter
{
public:
    ReadingPrinter(ReadingFormat format, std::ostream& out) : m_format(format), m_out(out) {}

    bool header(bool footCandles)
    {
        m_footCandles = footCandles;
        if (m_format == ReadingFormat::Csv) {
            files::CsvWriter csv(m_out);
            panel::WriteReadingTitles(csv, footCandles);
            return csv.finish() && flush();
        }
        if (m_format == ReadingFormat::Text) {
            std::string line;
            for (int c = 0; c < ReadingColumnCount; ++c)
                line += cell(panel::ReadingColumnTitle(c, footCandles), c);
            m_out << line << '\n';
        }
        return flush();
    }

    bool row(const panel::ReadingRow& row)
    {
        if (m_format == ReadingFormat::Csv) {
            files::CsvWriter csv(m_out);
            panel::WriteReadingRow(csv, row, m_footCandles);
            return csv.finish() && flush();
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

private:
    QString valueText(std::optional<double> value, int column) const
    {
        if (!value)
            return QString();
        // Always the point: QString::number knows no locale.
        return QString::number(*value, 'f', panel::ReadingDecimals(column, m_footCandles));
    }

    // A column for a person: text left, numbers right, as wide as its title, two blanks apart.
    std::string cell(const QString& text, int column) const
    {
        const int width =
            column == panel::TimeColumn ? 23
            : column == panel::ModeColumn
                ? 16
                : std::max<int>(9, panel::ReadingColumnTitle(column, m_footCandles).size());
        const QString padded =
            column < FirstValueColumn ? text.leftJustified(width) : text.rightJustified(width);
        return (column == 0 ? QString() : QStringLiteral("  ")).toStdString() +
               padded.toStdString();
    }

    bool flush()
    {
        m_out.flush();
        return m_out.good();
    }

    ReadingFormat m_format;
    std::ostream& m_out;
    bool m_footCandles = false;
};

} // namespace

int ReadReadings(Session& session, const ReadOptions& options)
{
    MeterAccess access(session);
    if (const int taken = access.take(); taken != Done)
        return taken;
    std::ofstream file;
    if (!options.output.isEmpty()) {
        errno = 0;
        file.open(options.output.toStdString(), std::ios::out | std::ios::trunc);
        if (!file)
            return session.fail(
                FileFailed,
                QStringLiteral("%1 cannot be written: %2").arg(options.output, SystemReason()));
    }
    std::ostream& out = options.output.isEmpty() ? session.out() : file;
    const QString outName =
        options.output.isEmpty() ? QStringLiteral("the standard output") : options.output;
    ReadingPrinter printer(options.format, out);
    LivePoll poll(session, access);
    Pacer& pacer = session.env.pacer;
    const long long start = pacer.elapsedMs();
    long long written = 0;
    bool titled = false;
    std::optional<int> exitCode;
    for (long long k = 1; !exitCode; ++k) {
        if (const auto fields = poll.next(exitCode)) {
            errno = 0;
            bool ok = titled || printer.header(fields->unitFc);
            titled = true;
            if (ok && !poll.leaveOut(*fields)) {
                ok = printer.row(readingRow(*fields, session.env.clock.now()));
                ++written;
            }
            if (!ok)
                return session.fail(
                    FileFailed,
                    QStringLiteral("%1 cannot be written: %2").arg(outName, SystemReason()));
        }
        if (exitCode || (options.count && written >= *options.count))
            break;
        const long long next = start + k * options.intervalMs;
        if (options.durationMs && next - start > *options.durationMs)
            break;
        if (!pacer.wait(next - pacer.elapsedMs()))
            break;
    }
    if (poll.leftOut() > 0)
        session.say(
            QStringLiteral("%1 frames left out (set-up menu or overload)").arg(poll.leftOut()));
    return exitCode.value_or(Done);
}

} // namespace cli

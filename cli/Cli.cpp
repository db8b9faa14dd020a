#include "cli/Cli.h"

#include "cli/Session.h"
#include "plot/Report.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <ostream>

namespace cli {

namespace {

struct CommandSpec
{
    const char* name;
    const char* arguments; // as the usage line shows them
    const char* brief;     // in the program's list of commands
    const char* summary;
};

constexpr std::array<CommandSpec, 9> Commands = {{
    {"meters", "", "the meters plugged in", "The meters plugged in: HID path and serial number."},
    {"read", "[options]", "live readings, one line each",
     "Live readings, one line per reading as they come, after a header line: the PC time, the "
     "mode, X, Y, Z, Ev with its unit, x, y, u', v', Tcp, delta-uv, dominant wavelength and "
     "purities. Frames of the meter's set-up menu and overloads are left out (said on standard "
     "error)."},
    {"record", "[options] <file>", "a recording in the data-file format",
     "A recording in the program's own data-file format."},
    {"sets", "", "the sets stored in the meter",
     "The sets stored in the meter: number, start time, size in bytes."},
    {"download", "[options] <N|all>", "stored sets as data files",
     "Stored sets as data files, which \"Open\" and the export read."},
    {"export", "[options] <datafile>", "a data file as CSV",
     "A recording or a downloaded set as CSV."},
    {"report", "[options] <datafile>", "a one-page measurement report",
     "A one-page measurement report of a recording or a set: heading, the records on the "
     "chromaticity diagram, their statistics, a verdict for each region named and the notes, as "
     "PDF, SVG or PNG by the suffix of --output."},
    {"erase", "[options]", "every set backed up, then the memory erased",
     "Every stored set backed up as the window program does it, read back, then the meter's "
     "memory erased."},
    {"clock", "[options]", "the meter's clock, or set it", "The meter's clock, or set it."},
}};

const CommandSpec* FindCommand(const QString& name)
{
    for (const CommandSpec& command : Commands)
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

// The help text with its usage line naming the command.
QString HelpText(const QCommandLineParser& parser, const QString& usage)
{
    QString text = parser.helpText();
    text.replace(0, text.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: ") + usage);
    return text;
}

const QString Program = QStringLiteral("tellarix582-cli");

// A number of seconds with an optional unit (s, m, h, d) in milliseconds; nothing when it is
// none.
std::optional<long long> DurationMs(QString text)
{
    double unit = 1000;
    if (!text.isEmpty()) {
        const QChar last = text.back();
        const double units[] = {1000, 60'000, 3'600'000, 86'400'000};
        if (const qsizetype at = QStringLiteral("smhd").indexOf(last); at >= 0) {
            unit = units[at];
            text.chop(1);
        }
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= 0) || value > 1e12)
        return std::nullopt;
    return static_cast<long long>(value * unit + 0.5);
}

class Parsed
{
public:
    Parsed(Environment& env, const CommandSpec& spec) : m_env(env), m_spec(spec)
    {
        m_parser.setApplicationDescription(QLatin1String(spec.summary));
        m_parser.addHelpOption();
    }

    void option(const QString& name, const QString& description, const QString& value = {})
    {
        m_parser.addOption(QCommandLineOption(name, description, value));
    }
    void argument(const QString& name, const QString& description)
    {
        m_parser.addPositionalArgument(name, description);
    }

    // Parses; the exit code when the command is not to run (help, a usage error).
    std::optional<int> parse(const QStringList& arguments, int positionals)
    {
        if (!m_parser.parse(arguments))
            return usage(m_parser.errorText());
        if (m_parser.isSet(QStringLiteral("help"))) {
            m_env.out << HelpText(m_parser, QStringLiteral("%1 [--demo] [--meter <path>] %2 %3")
                                                .arg(Program, QLatin1String(m_spec.name),
                                                     QLatin1String(m_spec.arguments))
                                                .trimmed())
                             .toStdString()
                      << std::flush;
            return Done;
        }
        if (m_parser.positionalArguments().size() != positionals)
            return usage(
                positionals == 0
                    ? QStringLiteral("%1 takes no argument").arg(QLatin1String(m_spec.name))
                    : QStringLiteral("%1 takes %2")
                          .arg(QLatin1String(m_spec.name), QLatin1String(m_spec.arguments)));
        return std::nullopt;
    }

    int usage(const QString& text)
    {
        m_env.err << Program.toStdString() << ": " << text.toStdString() << "\nTry '"
                  << Program.toStdString() << ' ' << m_spec.name << " --help'.\n"
                  << std::flush;
        return Usage;
    }

    QString value(const char* name) const { return m_parser.value(QLatin1String(name)); }
    QStringList values(const char* name) const { return m_parser.values(QLatin1String(name)); }
    bool isSet(const char* name) const { return m_parser.isSet(QLatin1String(name)); }
    QString positional(int index) const { return m_parser.positionalArguments().value(index); }

private:
    Environment& m_env;
    const CommandSpec& m_spec;
    QCommandLineParser m_parser;
};

// --duration into `durationMs`; the usage exit code when it holds no time.
std::optional<int> TakeDuration(Parsed& parsed, std::optional<long long>& durationMs)
{
    if (!parsed.isSet("duration"))
        return std::nullopt;
    durationMs = DurationMs(parsed.value("duration"));
    if (durationMs)
        return std::nullopt;
    return parsed.usage(QStringLiteral("--duration takes seconds, or a number with s, m, h or d"));
}

int RunRead(Parsed& parsed, Session& session, const QStringList& arguments)
{
    parsed.option(QStringLiteral("interval"),
                  QStringLiteral("Seconds between readings, 0.3 (the meter's poll) or more; "
                                 "default 1."),
                  QStringLiteral("seconds"));
    parsed.option(QStringLiteral("count"), QStringLiteral("Stop after this many readings."),
                  QStringLiteral("n"));
    parsed.option(QStringLiteral("duration"),
                  QStringLiteral("Stop after this time: seconds, or a number with s, m, h or d."),
                  QStringLiteral("time"));
    parsed.option(QStringLiteral("format"),
                  QStringLiteral("csv (as the List exports it), jsonl (one object a line) or "
                                 "text (aligned); default csv."),
                  QStringLiteral("format"));
    parsed.option(QStringLiteral("output"),
                  QStringLiteral("Write the readings to this file instead of standard output."),
                  QStringLiteral("file"));
    if (const auto done = parsed.parse(arguments, 0))
        return *done;
    ReadOptions options;
    if (parsed.isSet("interval")) {
        const auto interval = DurationMs(parsed.value("interval"));
        if (!interval || *interval < 300)
            return parsed.usage(QStringLiteral("--interval takes seconds from 0.3 on"));
        options.intervalMs = *interval;
    }
    if (parsed.isSet("count")) {
        bool ok = false;
        options.count = parsed.value("count").toLongLong(&ok);
        if (!ok || *options.count < 1)
            return parsed.usage(QStringLiteral("--count takes a whole number from 1 on"));
    }
    if (const auto refused = TakeDuration(parsed, options.durationMs))
        return *refused;
    const QString format = parsed.value("format");
    if (format == QLatin1String("jsonl"))
        options.format = ReadingFormat::Jsonl;
    else if (format == QLatin1String("text"))
        options.format = ReadingFormat::Text;
    else if (!format.isEmpty() && format != QLatin1String("csv"))
        return parsed.usage(QStringLiteral("--format takes csv, jsonl or text"));
    options.output = parsed.value("output");
    return ReadReadings(session, options);
}

int RunRecord(Parsed& parsed, Session& session, const QStringList& arguments)
{
    parsed.argument(QStringLiteral("file"), QStringLiteral("The recording to write."));
    parsed.option(QStringLiteral("interval"),
                  QStringLiteral("Whole seconds between records, 1 to 86400; default 1."),
                  QStringLiteral("seconds"));
    parsed.option(QStringLiteral("duration"),
                  QStringLiteral("Stop after this time: seconds, or a number with s, m, h or d. "
                                 "Without it, Ctrl-C or SIGTERM stops and saves the recording."),
                  QStringLiteral("time"));
    if (const auto done = parsed.parse(arguments, 1))
        return *done;
    RecordOptions options;
    options.file = parsed.positional(0);
    if (parsed.isSet("interval")) {
        bool ok = false;
        options.intervalSeconds = parsed.value("interval").toLongLong(&ok);
        if (!ok || options.intervalSeconds < 1 || options.intervalSeconds > 86400)
            return parsed.usage(QStringLiteral("--interval takes whole seconds from 1 to 86400"));
    }
    if (const auto refused = TakeDuration(parsed, options.durationMs))
        return *refused;
    return RecordReadings(session, options);
}

int RunReport(Parsed& parsed, Session& session, const QStringList& arguments)
{
    parsed.argument(QStringLiteral("datafile"), QStringLiteral("A recording or a set."));
    const std::pair<const char*, const char*> options[] = {
        {"output", "The report's file: .pdf, .svg or .png (required)."},
        {"region", "Judge the records against this region: an ANSI quadrangle (\"5000 K\") or "
                   "a row of --user (\"User 1\"); may be given again."},
        {"user", "The region file (.user) whose rows are User 1 ... User 5."},
        {"title", "The report's title; default the file's name."},
        {"share", "The share of records a region must hold to pass, in percent; default 100."},
        {"notes", "The notes printed at the bottom; default those kept from the window."},
        {"range", "Only records FIRST to LAST (numbered from 1)."}};
    const char* const values[] = {"file", "name", "file", "text", "percent", "text", "first-last"};
    for (std::size_t i = 0; i < std::size(options); ++i)
        parsed.option(QLatin1String(options[i].first), QString::fromUtf8(options[i].second),
                      QLatin1String(values[i]));
    parsed.option(QStringLiteral("uv"),
                  QStringLiteral("Draw the CIE 1976 u', v' diagram instead of CIE 1931 x, y."));
    if (const auto done = parsed.parse(arguments, 1))
        return *done;
    ReportOptions report;
    report.dataFile = parsed.positional(0);
    report.output = parsed.value("output");
    const QString suffix = QFileInfo(report.output).suffix().toLower();
    if (report.output.isEmpty() ||
        !QStringList{QStringLiteral("pdf"), QStringLiteral("svg"), QStringLiteral("png")}.contains(
            suffix))
        return parsed.usage(QStringLiteral("report needs --output with a name ending in .pdf, "
                                           ".svg or .png"));
    report.title = parsed.value("title");
    if (parsed.isSet("notes"))
        report.notes = parsed.value("notes");
    report.regions = parsed.values("region");
    report.userFile = parsed.value("user");
    report.uv = parsed.isSet("uv");
    if (parsed.isSet("share")) {
        const auto share = plot::ParseRequiredPercent(parsed.value("share"));
        if (!share)
            return parsed.usage(QStringLiteral("--share takes a percentage from 0 to 100"));
        report.requiredPercent = *share;
    }
    if (parsed.isSet("range")) {
        static const QRegularExpression pattern(
            QStringLiteral("^\\s*(\\d{1,15})\\s*-\\s*(\\d{1,15})\\s*$"));
        const QRegularExpressionMatch match = pattern.match(parsed.value("range"));
        if (!match.hasMatch())
            return parsed.usage(QStringLiteral("--range takes FIRST-LAST, two record numbers"));
        report.range = {match.captured(1).toLongLong(), match.captured(2).toLongLong()};
    }
    return WriteReportFile(session, report);
}

int RunCommand(const CommandSpec& spec, Parsed& parsed, Session& session,
               const QStringList& arguments)
{
    const QString name = QLatin1String(spec.name);
    if (name == QLatin1String("read"))
        return RunRead(parsed, session, arguments);
    if (name == QLatin1String("record"))
        return RunRecord(parsed, session, arguments);
    if (name == QLatin1String("export")) {
        parsed.argument(QStringLiteral("datafile"), QStringLiteral("A recording or a set."));
        parsed.option(QStringLiteral("output"),
                      QStringLiteral("Write the CSV to this file (whole or not at all) instead "
                                     "of standard output."),
                      QStringLiteral("file"));
        if (const auto done = parsed.parse(arguments, 1))
            return *done;
        return ExportDataFile(session, parsed.positional(0), parsed.value("output"));
    }
    if (name == QLatin1String("report"))
        return RunReport(parsed, session, arguments);
    if (name == QLatin1String("download")) {
        parsed.argument(QStringLiteral("set"), QStringLiteral("The set's number, or all."));
        parsed.option(QStringLiteral("dir"),
                      QStringLiteral("The folder to write the sets in; default the current one."),
                      QStringLiteral("folder"));
        if (const auto done = parsed.parse(arguments, 1))
            return *done;
        const QString which = parsed.positional(0);
        bool ok = which == QLatin1String("all");
        const int number = ok ? 0 : which.toInt(&ok);
        if (!ok || (which != QLatin1String("all") && number < 1))
            return parsed.usage(QStringLiteral("download takes a set number from 1 on, or all"));
        return DownloadSets(session, number > 0 ? std::optional(number) : std::nullopt,
                            parsed.isSet("dir") ? parsed.value("dir") : QStringLiteral("."));
    }
    if (name == QLatin1String("erase")) {
        parsed.option(QStringLiteral("yes"),
                      QStringLiteral("Erase without asking once every set is backed up; needed "
                                     "when no terminal can be asked."));
        if (const auto done = parsed.parse(arguments, 0))
            return *done;
        return EraseMemory(session, parsed.isSet("yes"));
    }
    if (name == QLatin1String("clock")) {
        parsed.option(QStringLiteral("set"),
                      QStringLiteral("Set the meter's clock to the PC's (now) or to "
                                     "YYYY-MM-DDTHH:MM:SS."),
                      QStringLiteral("time"));
        if (const auto done = parsed.parse(arguments, 0))
            return *done;
        return MeterClock(session, parsed.value("set"));
    }
    if (const auto done = parsed.parse(arguments, 0))
        return *done;
    return name == QLatin1String("meters") ? ListMeters(session) : ListSets(session);
}

} // namespace

int Run(const QStringList& arguments, Environment& environment)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The 582 chromaticity and illuminance meter from a terminal or a script."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Use the built-in virtual meter instead of USB."));
    const QCommandLineOption meter(QStringLiteral("meter"),
                                   QStringLiteral("Talk to the meter at this HID path (see "
                                                  "meters) when several are plugged in."),
                                   QStringLiteral("path"));
    parser.addOption(demo);
    parser.addOption(meter);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("See Commands."),
                                 QStringLiteral("<command> [options]"));
    const auto usage = [&environment](const QString& text) {
        environment.err << Program.toStdString() << ": " << text.toStdString() << "\nTry '"
                        << Program.toStdString() << " --help'.\n"
                        << std::flush;
        return Usage;
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("version"))) {
        environment.out << Program.toStdString() << ' '
                        << QCoreApplication::applicationVersion().toStdString() << '\n'
                        << std::flush;
        return Done;
    }
    const QStringList rest = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("help"))) {
        QString text =
            HelpText(parser, QStringLiteral("%1 [options] <command> [options]").arg(Program));
        text += QStringLiteral("\nCommands:\n");
        for (const CommandSpec& command : Commands)
            text += QStringLiteral("  %1  %2\n")
                        .arg(QString::fromLatin1(command.name).leftJustified(10),
                             QLatin1String(command.brief));
        text += QStringLiteral("\n'%1 <command> --help' tells a command's options.\n"
                               "Exit codes: 0 done, 1 usage, 2 no meter or the meter held by "
                               "another program, 3 a file could not be read or written, 4 the "
                               "meter stopped answering.\n")
                    .arg(Program);
        environment.out << text.toStdString() << std::flush;
        return Done;
    }
    if (rest.isEmpty())
        return usage(QStringLiteral("no command given"));
    const CommandSpec* spec = FindCommand(rest.first());
    if (spec == nullptr)
        return usage(QStringLiteral("unknown command \"%1\"").arg(rest.first()));

    Session session{environment, environment.platform(parser.isSet(demo)),
                    parser.value(meter).toStdString(), rest.first()};
    Parsed parsed(environment, *spec);
    return RunCommand(*spec, parsed, session, QStringList{Program} + rest.mid(1));
}

} // namespace cli

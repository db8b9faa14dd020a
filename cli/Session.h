#pragma once

#include "cli/Cli.h"
#include "cli/ReadingPrinter.h"
#include "link/MeterLink.h"
#include "link/MeterSequence.h"
#include "logger/TransferProgress.h"
#include "ui/QuietDialogs.h"
#include "ui/WorkingFiles.h"

#include <QString>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace cli {

// One command's run: where it writes, the meter it talks to and the working files it holds.
struct Session
{
    Environment& env;
    meterlink::platform::HidPlatform& platform;
    std::string meterPath; // --meter: this one, when it is plugged in
    QString command;       // as the lock names the program holding it

    std::ostream& out() { return env.out; }
    // A line on standard error, "tellarix582-cli: " first.
    void say(const QString& text);
    // The message `text` and the exit code `code`.
    int fail(int code, const QString& text);
};

// The link of one command to the meter, with the working files held for as long as it lives:
// one program of ours at a time talks to the meter.
class MeterAccess
{
public:
    explicit MeterAccess(Session& session);
    // Takes the working files; NoMeter when another program holds them, FileFailed when they
    // cannot be used (said on standard error), Done otherwise.
    int take();

    meterlink::MeterLink& link() { return m_link; }
    meterlink::SequenceRunner& runner() { return m_runner; }
    // The exit code and message for a request that came back without its answers.
    int failure(const meterlink::Reply& reply);
    // The same after a sequence that failed without saying why: no meter, or a silent one.
    int absent();

private:
    Session& m_session;
    std::unique_ptr<ui::InstanceLock> m_lock;
    meterlink::MeterLink m_link;
    meterlink::SequenceRunner m_runner;
};

// The modal dialogs of the shared code on a terminal: messages go to standard error; a
// question is asked on the terminal when there is one, otherwise answered Cancel or No, and an
// OK/Cancel question OK with `okAnswered`; file dialogs are cancelled.
class TerminalDialogs : public ui::QuietDialogs
{
public:
    explicit TerminalDialogs(Session& session, bool okAnswered = false)
        : m_session(session), m_okAnswered(okAnswered)
    {
    }

    ui::MsgAnswer message(const QString& text, ui::MsgButtons buttons, ui::MsgIcon icon,
                          const QString& title) override;

    // The buttons of the last question answered No or Cancel.
    std::optional<ui::MsgButtons> declined() const { return m_declined; }

private:
    Session& m_session;
    bool m_okAnswered;
    std::optional<ui::MsgButtons> m_declined;
};

// A long transfer on a terminal: Ctrl-C or SIGTERM cancels it.
class TerminalProgress : public logger::TransferProgress
{
public:
    explicit TerminalProgress(Pacer& pacer) : m_pacer(pacer) {}
    void begin() override {}
    bool advance(int) override { return !m_pacer.stopRequested(); }
    void end() override {}

private:
    Pacer& m_pacer;
};

// The reason for the last failed write or read of a stream or file.
QString SystemReason();

// --- the commands: each returns its exit code ---------------------------------------------

struct ReadOptions
{
    long long intervalMs = 1000;
    std::optional<long long> count;
    std::optional<long long> durationMs;
    ReadingFormat format = ReadingFormat::Csv;
    QString output; // empty: standard output
};

struct RecordOptions
{
    QString file;
    long long intervalSeconds = 1;
    std::optional<long long> durationMs;
};

struct ReportOptions
{
    QString dataFile;
    QString output;
    QString title;
    std::optional<QString> notes; // none: the notes kept from the window
    QStringList regions;          // by name
    QString userFile;             // a region file for "User 1" ...
    double requiredPercent = 100;
    bool uv = false;
    std::optional<std::pair<long long, long long>> range; // first and last record
};

int ListMeters(Session& session);
int ReadReadings(Session& session, const ReadOptions& options);
int RecordReadings(Session& session, const RecordOptions& options);
int ExportDataFile(Session& session, const QString& dataFile, const QString& output);
int ListSets(Session& session);
// `which` is a set number (from 1) or empty for every set.
int DownloadSets(Session& session, std::optional<int> which, const QString& folder);
int EraseMemory(Session& session, bool yes);
// `set` empty reads the clock; "now" or "YYYY-MM-DDTHH:MM:SS" sets it.
int MeterClock(Session& session, const QString& set);
// Needs a QGuiApplication (fonts): the client makes one for this command alone.
int WriteReportFile(Session& session, const ReportOptions& options);

} // namespace cli

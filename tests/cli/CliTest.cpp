#include "cli/Cli.h"

#include "files/DataFileReader.h"
#include "files/RecordCsv.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempRoot.h"
#include "ui/WorkingFiles.h"
#include "virtualmeter/VirtualMeter.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// Time passes only in the waits; `onWait` sees the wait's number (from 1) and may end the run,
// as Ctrl-C does, by returning false.
class FakePacer : public cli::Pacer
{
public:
    explicit FakePacer(testsupport::FakeClock& clock) : m_clock(clock) {}
    bool wait(long long ms) override
    {
        m_elapsed += std::max(ms, 0LL);
        m_clock.set(m_clock.now().addMSecs(std::max(ms, 0LL)));
        m_stopped = m_stopped || (onWait && !onWait(++m_waits));
        return !m_stopped;
    }
    long long elapsedMs() const override { return m_elapsed; }
    bool stopRequested() const override { return m_stopped; }

    std::function<bool(int)> onWait;

private:
    testsupport::FakeClock& m_clock;
    long long m_elapsed = 0;
    int m_waits = 0;
    bool m_stopped = false;
};

class Cli : public ::testing::Test
{
public:
    int run(const QStringList& arguments)
    {
        out.str({});
        err.str({});
        cli::Environment env{[this](bool) -> meterlink::platform::HidPlatform& { return meter; },
                             clock,
                             root.paths,
                             pacer,
                             out,
                             err};
        return cli::Run(QStringList{QStringLiteral("tellarix582-cli")} + arguments, env);
    }
    QStringList lines() const
    {
        return QString::fromStdString(out.str()).split(QStringLiteral("\n"), Qt::SkipEmptyParts);
    }
    QString path(const char* name) const { return root.dir.filePath(QLatin1String(name)); }

    testsupport::TempRoot root;
    virtualmeter::VirtualMeter meter;
    testsupport::FakeClock clock;
    FakePacer pacer{clock};
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(Cli, ExitCodesAndMessages)
{
    std::unique_ptr<ui::InstanceLock> held;
    const struct
    {
        const char* name;
        std::function<void(Cli&)> setUp;
        QStringList arguments;
        int exitCode;
        const char* says;
    } rows[] = {
        {"unplugged",
         [](Cli& t) { t.meter.setPlugged(false); },
         {"read"},
         2,
         "no meter is plugged in"},
        {"silent",
         [](Cli& t) { t.meter.setSilent(true); },
         {"read"},
         4,
         "the meter stopped answering (Readfile timeout)"},
        {"silent clock", [](Cli& t) { t.meter.setSilent(true); }, {"clock"}, 4, "stopped"},
        {"no permission", [](Cli& t) { t.meter.setOpenDenied(true); }, {"sets"}, 2, "udev rule"},
        {"another meter named", {}, {"--meter", "/dev/hidraw9", "clock"}, 2, "/dev/hidraw9"},
        {"held by the window",
         [&held](Cli& t) { held = ui::TakeWorkingFiles(t.root.paths, "Tellarix 582").lock; },
         {"record", "x.txt"},
         2,
         "Tellarix 582 (process"},
        {"unwritable output",
         {},
         {"read", "--output", "/nonexistent/r.csv"},
         3,
         "/nonexistent/r.csv cannot be written: No such file or directory"},
        {"full disk", {}, {"read", "--output", "/dev/full"}, 3, "No space left on device"},
        {"unwritable recording", {}, {"record", "/nonexistent/r.txt"}, 3, "cannot be written"},
        {"missing data file", {}, {"export", "/nonexistent/r.txt"}, 3, "/nonexistent/r.txt"},
        {"short interval", {}, {"read", "--interval", "0.2"}, 1, "from 0.3 on"},
        {"unknown format", {}, {"read", "--format", "xml"}, 1, "csv, jsonl or text"},
        {"no file to record", {}, {"record"}, 1, "record takes"},
        {"clock out of range", {}, {"clock", "--set", "1999-12-31T23:59:59"}, 1, "2000 to 2099"},
        {"unknown command", {}, {"measure"}, 1, "unknown command \"measure\""},
        {"erase with no one to ask", {}, {"erase"}, 1, "give --yes"},
        {"erase unplugged",
         [](Cli& t) { t.meter.setPlugged(false); },
         {"erase", "--yes"},
         2,
         "no meter"},
        {"download beyond the sets", {}, {"download", "99"}, 1, "the meter holds sets 1 to 12"},
        {"unknown option", {}, {"sets", "--all"}, 1, "Unknown option 'all'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        meter.setPlugged(true);
        meter.setSilent(false);
        meter.setOpenDenied(false);
        held.reset();
        if (row.setUp)
            row.setUp(*this);
        EXPECT_EQ(run(row.arguments), row.exitCode);
        EXPECT_NE(err.str().find(row.says), std::string::npos) << err.str();
    }
}

TEST_F(Cli, HelpForTheProgramAndEachCommand)
{
    for (const char* command :
         {"", "meters", "read", "record", "sets", "download", "export", "erase", "clock"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(run(*command ? QStringList{command, "--help"} : QStringList{"--help"}), 0);
        EXPECT_TRUE(lines().value(0).startsWith(
                        QStringLiteral("Usage: tellarix582-cli [--demo] [--meter <path>] %1")
                            .arg(command)) ||
                    !*command)
            << out.str();
        EXPECT_TRUE(out.str().find("--help") != std::string::npos);
    }
}

// Each format parsed back: a header (not for jsonl) and one line per reading, "." as decimal
// point (this runs under a comma locale too).
TEST_F(Cli, ReadPrintsOneLinePerReading)
{
    for (const char* format : {"csv", "jsonl", "text"}) {
        SCOPED_TRACE(format);
        clock.set(QDateTime(QDate(2026, 12, 5), QTime(16, 39, 5)));
        ASSERT_EQ(run({"read", "--count", "5", "--interval", "0.3", "--format", format}), 0)
            << err.str();
        const QStringList got = lines();
        const bool titled = QLatin1String(format) != QLatin1String("jsonl");
        ASSERT_EQ(got.size(), titled ? 6 : 5);
        for (qsizetype i = titled ? 1 : 0; i < got.size(); ++i) {
            QString time;
            double x = 0;
            if (QLatin1String(format) == QLatin1String("jsonl")) {
                const QJsonObject object = QJsonDocument::fromJson(got[i].toUtf8()).object();
                EXPECT_EQ(object.size(), 16);
                EXPECT_EQ(object[QStringLiteral("unit")].toString(), QStringLiteral("lx"));
                time = object[QStringLiteral("time")].toString();
                x = object[QStringLiteral("x")].toDouble();
            } else {
                const bool csv = QLatin1String(format) == QLatin1String("csv");
                const QStringList fields = csv ? got[i].trimmed().split(QLatin1Char(','))
                                               : got[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
                EXPECT_TRUE(csv ? fields.size() == 15 : got[i].size() == got[0].size());
                time = fields.value(0);
                x = fields.value(fields.size() - 9).toDouble();
            }
            EXPECT_EQ(QDateTime::fromString(time, Qt::ISODateWithMs),
                      QDateTime(QDate(2026, 12, 5), QTime(16, 39, 5)).addMSecs(300 * (i - titled)))
                << time.toStdString();
            EXPECT_GT(x, 0.2);
            EXPECT_LT(x, 0.6);
        }
    }
    EXPECT_EQ(lines().value(0).split(QLatin1Char(' '), Qt::SkipEmptyParts).value(6),
              QStringLiteral("(lx)"));
}

// The meter's set-up menu and overloads are left out and said; a meter unplugged in the middle
// is waited for and taken up again.
TEST_F(Cli, ReadLeavesOutAndWaitsForTheMeter)
{
    pacer.onWait = [this](int wait) {
        meter.model().setInSetup(wait == 1);
        meter.model().setLight(wait == 2 ? std::optional(virtualmeter::Light{5000, 0, 3e5})
                                         : std::nullopt);
        meter.setPlugged(wait < 3 || wait > 5);
        return true;
    };
    ASSERT_EQ(run({"read", "--count", "3"}), 0) << err.str();
    EXPECT_EQ(lines().size(), 4);
    for (const char* said :
         {"set-up menu; its frames are left out", "overload; the readings are left out",
          "the meter went away", "the meter answers again", "2 frames left out"})
        EXPECT_NE(err.str().find(said), std::string::npos) << said << '\n' << err.str();
}

// A recording ended as Ctrl-C ends it: the file the window's "Open" reads, every record counted
// in its total; and its CSV export is the window's.
TEST_F(Cli, RecordThenExport)
{
    pacer.onWait = [](int wait) { return wait < 20; };
    const QString file = path("rec.txt");
    ASSERT_EQ(run({"record", file}), 0) << err.str();
    files::RecordTable records;
    ASSERT_EQ(files::ReadDataFile(file, records).outcome, files::ReadOutcome::Ok);
    EXPECT_EQ(static_cast<int>(records.count()), 5); // 20 polls of 0.3 s
    QFile text(file);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QByteArray bytes = text.readAll();
    EXPECT_TRUE(bytes.contains("Total Records : 5\r\n")) << bytes.toStdString();
    EXPECT_NE(err.str().find("5 records written to"), std::string::npos);

    ASSERT_EQ(run({"export", file}), 0) << err.str();
    std::ostringstream expected;
    files::CsvWriter csv(expected);
    files::WriteRecordsCsv(bytes.toStdString(), csv);
    csv.finish();
    EXPECT_EQ(out.str(), expected.str());
    ASSERT_EQ(run({"export", file, "--output", path("rec.csv")}), 0) << err.str();
    QFile exported(path("rec.csv"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll().toStdString(), expected.str());
}

TEST_F(Cli, ClockAndSets)
{
    meter.setClock([] { return std::chrono::system_clock::time_point(); });
    ASSERT_EQ(run({"clock", "--set", "2031-02-03T04:05:06"}), 0) << err.str();
    EXPECT_EQ(out.str(), "2031-02-03T04:05:06\n");
    ASSERT_EQ(run({"clock", "--set", "now"}), 0) << err.str();
    EXPECT_EQ(out.str(), "2026-12-05T16:39:05\n");

    meter.model().memory().setSets({{{2026, 12, 5, 16, 39, 5}, 1, false, {}, "a\r\n"},
                                    {{2026, 12, 6, 8, 0, 0}, 1, false, {}, "bc\r\n"}});
    ASSERT_EQ(run({"sets"}), 0) << err.str();
    EXPECT_EQ(out.str(), "1\t2026/12/05 16:39:05\t3\n2\t2026/12/06 08:00:00\t4\n");
    // Each set as the backup saves it; the erase saves every one of them first.
    const QString sets = path("sets");
    ASSERT_TRUE(QDir().mkpath(sets));
    ASSERT_EQ(run({"download", "all", "--dir", sets}), 0) << err.str();
    EXPECT_EQ(lines(),
              QStringList({sets + "/2026-12-05_163905.txt", sets + "/2026-12-06_080000.txt"}));
    QFile second(lines().value(1));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_TRUE(second.readAll().startsWith("bc\r\n"));
    ASSERT_EQ(run({"erase", "--yes"}), 0) << err.str();
    EXPECT_TRUE(meter.model().memory().sets().empty());
    EXPECT_NE(err.str().find("The 2 sets were saved in"), std::string::npos) << err.str();
    ASSERT_EQ(run({"meters"}), 0);
    EXPECT_EQ(out.str(), "virtual:meter-582\t\n");
}

} // namespace

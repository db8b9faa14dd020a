// A data file the machine's memory could hold but the process's control group cannot is
// refused before the limit stops the program.
#include "files/MemoryLimit.h"

#include "files/DataFileReader.h"
#include "files/RecordLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

TEST(MemoryLimit, TheSmallerOfTheMachineAndTheControlGroupCounts)
{
    QTemporaryDir dir;
    files::MemorySources sources{dir.filePath(QStringLiteral("meminfo")),
                                 dir.filePath(QStringLiteral("cgroup")),
                                 dir.filePath(QStringLiteral("fs"))};
    const QString own = dir.filePath(QStringLiteral("fs/app.slice/run.scope"));
    const QString parent = dir.filePath(QStringLiteral("fs/app.slice"));
    ASSERT_TRUE(Write(sources.meminfo, "MemTotal: 32000000 kB\nMemAvailable: 16000000 kB\n") &&
                Write(sources.ownGroup, "0::/app.slice/run.scope\n"));
    // 100,000 records: about 12 MB of file, less than 3 MB read.
    QByteArray data = "h1\r\nh2\r\nh3\r\nh4\r\nh5\r\n";
    files::Reading reading{.year = 2026, .month = 12, .day = 6, .x = 0.31, .y = 0.32};
    for (int i = 0; i < 100000; ++i)
        data += QByteArray::fromStdString(files::RecordLine(reading)) + "\r\n";
    const QString path = dir.filePath(QStringLiteral("run.txt"));
    ASSERT_TRUE(Write(path, data));

    const struct
    {
        const char* name;
        QByteArray ownMax, parentMax, ownCurrent, ownStat;
        std::uint64_t room;
    } rows[] = {
        {"no limit", "max\n", "max\n", "", "", 16000000ULL * 1024},
        {"own group", "4194304\n", "max\n", "", "", 4194304},
        {"group above", "max\n", "4194304\n", "", "", 4194304},
        {"own group, its page cache given back", "8388608\n", "max\n", "6291456\n",
         "anon 4194304\nfile 2097152\n", 4194304},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Write(own + QStringLiteral("/memory.max"), row.ownMax) &&
                    Write(parent + QStringLiteral("/memory.max"), row.parentMax) &&
                    Write(own + QStringLiteral("/memory.current"), row.ownCurrent) &&
                    Write(own + QStringLiteral("/memory.stat"), row.ownStat));
        EXPECT_EQ(files::MemoryAtHand(sources), row.room);
        files::SetMemorySources(sources);
        files::RecordTable records;
        const files::ReadOutcome outcome = files::ReadDataFile(path, records).outcome;
        files::SetMemorySources({});
        EXPECT_EQ(outcome,
                  row.room > 16 << 20 ? files::ReadOutcome::Ok : files::ReadOutcome::TooLarge);
        EXPECT_EQ(records.count(), row.room > 16 << 20 ? 100000u : 0u);
    }
}

} // namespace

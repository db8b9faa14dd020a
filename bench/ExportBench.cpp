// The CSV export of a recording of a million record lines against reading the same file with
// the data-file reader, and the statistics the plot window takes of all its records, with one
// region. Files on a warm page cache; writing the recording is not timed. The export's time
// holds the commit, which waits until the disk has the file; its processor time, and an export
// into a plain file that nothing waits for, show what the disk adds.
#include "bench/BenchRecording.h"
#include "files/CsvExport.h"
#include "files/CsvWriter.h"
#include "files/DataFileReader.h"
#include "files/RecordCsv.h"
#include "plot/RangeStatistics.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int RecordLines = 1'000'000;

QString writeRecording(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("recording.txt"));
    bench::WriteRecording(path, RecordLines, bench::RecordingLine);
    return path;
}

// The best wall and processor time of one step over the iterations: the machine may be shared,
// and the best time is the one least disturbed.
struct Timing
{
    double wall = 1e9;
    double processor = 1e9;
};

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Step> bool timed(Timing& timing, Step step)
{
    const auto wallStart = std::chrono::steady_clock::now();
    const double processorStart = processorSeconds();
    const bool ok = step();
    timing.processor = std::min(timing.processor, processorSeconds() - processorStart);
    timing.wall = std::min(
        timing.wall,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());
    return ok;
}

// The export without the commit: the same rows, made the same way, into a plain file left to
// the page cache.
bool exportUnsynced(const QString& path, const QString& csv)
{
    QFile in(path);
    QFile out(csv);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    files::CsvWriter writer(out);
    files::RecordsCsv rows(writer);
    if (files::ReadItems(in, [&rows](std::string_view item) { return rows.add(item); }).outcome !=
        files::ReadOutcome::Ok)
        return false;
    rows.finish();
    return writer.finish();
}

void ExportAgainstRead(benchmark::State& state)
{
    const QTemporaryDir dir;
    const QString path = writeRecording(dir);
    const QString csv = dir.filePath(QStringLiteral("recording.csv"));
    plot::RegionRows regions;
    regions[0] = {true, {"0.31", "0.32", "0.32", "0.31", "0.32", "0.32", "0.33", "0.33"}};
    {
        files::RecordTable warm; // into the page cache
        files::ReadDataFile(path, warm);
    }
    Timing read;
    Timing exported;
    Timing unsynced;
    Timing statistics;
    for (auto _ : state) {
        files::RecordTable records;
        files::ReadResult result;
        QString reason;
        const bool ok =
            timed(read,
                  [&] {
                      result = files::ReadDataFile(path, records);
                      return result.outcome == files::ReadOutcome::Ok &&
                             records.count() == static_cast<std::size_t>(RecordLines);
                  }) &&
            timed(exported,
                  [&] { return files::ExportDataFileCsv(path, result.stamp, csv, reason); }) &&
            timed(
                unsynced,
                [&] { return exportUnsynced(path, dir.filePath(QStringLiteral("plain.csv"))); }) &&
            timed(statistics, [&] {
                benchmark::DoNotOptimize(
                    plot::StatisticsOfRange(records, {1, double{RecordLines}}, &regions));
                return true;
            });
        if (!ok) {
            state.SkipWithError("a step failed");
            return;
        }
    }
    state.counters["read_ms"] = 1000 * read.wall;
    state.counters["export_ms"] = 1000 * exported.wall;
    state.counters["export_per_read"] = exported.wall / read.wall;
    state.counters["export_cpu_per_read_cpu"] = exported.processor / read.processor;
    state.counters["unsynced_per_read"] = unsynced.wall / read.wall;
    state.counters["statistics_ms"] = 1000 * statistics.wall;
    state.counters["file_MB"] = static_cast<double>(QFile(path).size()) / (1 << 20);
    state.counters["csv_MB"] = static_cast<double>(QFile(csv).size()) / (1 << 20);
}

BENCHMARK(ExportAgainstRead)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();

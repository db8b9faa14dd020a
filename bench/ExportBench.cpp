// The CSV export of a recording of a million record lines against reading the same file with
// the data-file reader, and the statistics the plot window takes of all its records, with one
// region. Files on a warm page cache; writing the recording is not timed. The export's time
// holds the commit, which waits until the disk has the file; an export of the same rows into a
// plain file that nothing waits for ("unsynced") shows what the disk adds. The statistics are
// taken twice, the second time of a table they have gone through before.
#include "bench/BenchRecording.h"
#include "bench/BenchTiming.h"
#include "files/CsvExport.h"
#include "files/CsvWriter.h"
#include "files/DataFileReader.h"
#include "files/RecordCsv.h"
#include "plot/RangeStatistics.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int RecordLines = 1'000'000;

QString writeRecording(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("recording.txt"));
    bench::WriteRecording(path, RecordLines, bench::RecordingLine);
    return path;
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
    if (files::ReadLines(in, [&rows](std::string_view lines) {
            return rows.addItems(lines);
        }).outcome != files::ReadOutcome::Ok)
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
    bench::Span read;
    bench::Span exported;
    bench::Span unsynced;
    bench::Span statistics;
    bench::Span statisticsAgain;
    for (auto _ : state) {
        files::RecordTable plot;
        files::ReadResult result;
        QString reason;
        const bool ok = read.time([&] {
            return (result = files::ReadDataFile(path, plot)).outcome == files::ReadOutcome::Ok &&
                   plot.count() == static_cast<std::size_t>(RecordLines);
        }) && exported.time([&] {
            return files::ExportDataFileCsv(path, result.stamp, csv, reason);
        }) && unsynced.time([&] {
            return exportUnsynced(path, dir.filePath(QStringLiteral("plain.csv")));
        });
        if (!ok) {
            state.SkipWithError("a step failed");
            return;
        }
        statistics.time([&] {
            benchmark::DoNotOptimize(
                plot::StatisticsOfRange(plot, {1, double{RecordLines}}, &regions));
        });
        statisticsAgain.time([&] {
            benchmark::DoNotOptimize(
                plot::StatisticsOfRange(plot, {1, double{RecordLines}}, &regions));
        });
    }
    bench::ReportTime(state, "read", read);
    bench::ReportTime(state, "export", exported);
    bench::ReportTime(state, "unsynced", unsynced);
    bench::ReportRatio(state, "export_per_read", exported, read);
    bench::ReportRatio(state, "unsynced_per_read", unsynced, read);
    bench::ReportTime(state, "statistics", statistics);
    bench::ReportTime(state, "statistics_again", statisticsAgain);
    state.counters["file_MB"] = static_cast<double>(QFile(path).size()) / (1 << 20);
    state.counters["csv_MB"] = static_cast<double>(QFile(csv).size()) / (1 << 20);
}

BENCHMARK(ExportAgainstRead)->Unit(benchmark::kMillisecond)->Iterations(3)->Apply(bench::Repeated);

} // namespace

BENCHMARK_MAIN();

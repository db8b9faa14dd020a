// The data-file reader against the plainest possible pass over the same file: reading it in
// large blocks and counting its line ends. Both run in each iteration on a warm page cache;
// the counters give their ratio and the heap the read plot data holds per byte of file.
#include "files/DataFileReader.h"
#include "files/RecordLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <memory>

namespace {

constexpr int RecordLines = 1'000'000;

struct BenchFile
{
    QTemporaryDir dir;
    QString path;
    qint64 size = 0;
};

const BenchFile& benchFile()
{
    static const std::unique_ptr<BenchFile> file = [] {
        auto made = std::make_unique<BenchFile>();
        made->path = made->dir.filePath(QStringLiteral("recording.txt"));
        QFile out(made->path);
        if (!out.open(QIODevice::WriteOnly))
            std::abort();
        out.write("TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\nStart Time : 26/12/06 08:00:00\r\n"
                  "Total Records : 1000000\r\nInterval :   1 Second     Unit : \r\n"
                  "X       Y       Z     XYZ\r\n*********************************\r\n");
        out.write(QByteArray::fromStdString(files::RecordColumnLine()) + "\r\n");
        QByteArray block;
        for (int i = 0; i < RecordLines; ++i) {
            files::Reading r;
            r.year = 2026;
            r.month = 12;
            r.day = 6 + i / 86400;
            r.hour = i / 3600 % 24;
            r.minute = i / 60 % 60;
            r.second = i % 60;
            r.X = 95.0 + i % 7;
            r.Y = 100.0;
            r.Z = 108.9;
            r.Ev = 512.5 + i % 100;
            r.Tcp = 6504;
            r.x = 0.3127 + (i % 1000) / 1e5;
            r.y = 0.3290 - (i % 1000) / 1e5;
            r.u = 0.1978;
            r.v = 0.4683;
            r.duv = 0.0032;
            block += QByteArray::fromStdString(files::RecordLine(r)) + "\r\n";
            if (block.size() > (1 << 20)) {
                out.write(block);
                block.clear();
            }
        }
        out.write(block);
        made->size = out.size();
        return made;
    }();
    return *file;
}

long long baselineLineEnds(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    long long lines = 0;
    for (qint64 got; (got = file.read(buffer.data(), buffer.size())) > 0;)
        lines += std::count(buffer.constData(), buffer.constData() + got, '\n');
    return lines;
}

using Clock = std::chrono::steady_clock;

// Bytes the heap hands out, large blocks (which malloc maps separately) included.
double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void ReaderAgainstBaseline(benchmark::State& state)
{
    const BenchFile& file = benchFile();
    baselineLineEnds(file.path); // into the page cache
    double baselineSeconds = 0;
    double readerSeconds = 0;
    double heapBytes = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(baselineLineEnds(file.path));
        const auto t1 = Clock::now();
        const double heapBefore = heapInUse();
        {
            files::PlotData plot;
            const auto t2 = Clock::now();
            if (files::ReadDataFile(file.path, plot) != files::ReadOutcome::Ok ||
                plot.RecordCount != RecordLines) {
                state.SkipWithError("the reader did not read every record");
                return;
            }
            const auto t3 = Clock::now();
            heapBytes = heapInUse() - heapBefore;
            baselineSeconds += std::chrono::duration<double>(t1 - t0).count();
            readerSeconds += std::chrono::duration<double>(t3 - t2).count();
        }
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["baseline_ms"] = 1000 * baselineSeconds / n;
    state.counters["reader_ms"] = 1000 * readerSeconds / n;
    state.counters["reader_per_baseline"] = readerSeconds / baselineSeconds;
    state.counters["heap_per_file_byte"] = heapBytes / static_cast<double>(file.size);
    state.counters["file_MB"] = static_cast<double>(file.size) / (1 << 20);
}

BENCHMARK(ReaderAgainstBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();

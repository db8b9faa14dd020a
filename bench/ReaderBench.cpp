// The data-file reader against the plainest possible pass over the same file: reading it in
// large blocks and counting its line ends. Both run in each iteration on a warm page cache.
// Two files of about the same size: a recording of a million record lines as the program
// writes them, and one of the shortest record lines there can be (19 bytes each), which holds
// the most records a file of that size can hold. The counters give the time ratio, and the
// heap the read takes at its peak and keeps afterwards, per byte of file; every allocation of
// the process is counted through the C library's allocator below. Each run reads both once.
#include "bench/BenchRecording.h"
#include "bench/BenchTiming.h"
#include "files/DataFileReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdlib>
#include <malloc.h>
#include <memory>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<long long> heapLive{0};
std::atomic<long long> heapPeak{0};

void* counted(void* pointer)
{
    if (pointer != nullptr) {
        const long long live = heapLive += static_cast<long long>(malloc_usable_size(pointer));
        long long peak = heapPeak.load();
        while (live > peak && !heapPeak.compare_exchange_weak(peak, live)) {
        }
    }
    return pointer;
}

void uncount(void* pointer)
{
    if (pointer != nullptr)
        heapLive -= static_cast<long long>(malloc_usable_size(pointer));
}

} // namespace

extern "C" {
void* malloc(std::size_t size)
{
    return counted(__libc_malloc(size));
}
void* calloc(std::size_t count, std::size_t size)
{
    return counted(__libc_calloc(count, size));
}
void* realloc(void* pointer, std::size_t size)
{
    uncount(pointer);
    void* moved = __libc_realloc(pointer, size);
    if (moved == nullptr && size != 0)
        return counted(pointer); // the old block stays
    return counted(moved);
}
void free(void* pointer)
{
    uncount(pointer);
    __libc_free(pointer);
}
void* memalign(std::size_t alignment, std::size_t size)
{
    return counted(__libc_memalign(alignment, size));
}
void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    return counted(__libc_memalign(alignment, size));
}
int posix_memalign(void** pointer, std::size_t alignment, std::size_t size)
{
    *pointer = counted(__libc_memalign(alignment, size));
    return *pointer != nullptr ? 0 : ENOMEM;
}
}

namespace {

constexpr int RecordLines = 1'000'000;

struct BenchFile
{
    QTemporaryDir dir;
    QString path;
    qint64 size = 0;
    int records = 0;
};

// The header of a recording; `line(i)` gives record line i, until `records` are written.
template <typename Line> std::unique_ptr<BenchFile> writeFile(int records, Line line)
{
    auto made = std::make_unique<BenchFile>();
    made->path = made->dir.filePath(QStringLiteral("recording.txt"));
    made->records = records;
    made->size = bench::WriteRecording(made->path, records, line);
    return made;
}

const BenchFile& recordingFile()
{
    static const std::unique_ptr<BenchFile> file = writeFile(RecordLines, bench::RecordingLine);
    return *file;
}

// As many bytes as the recording, in the shortest record lines.
const BenchFile& shortestLinesFile()
{
    static const std::unique_ptr<BenchFile> file =
        writeFile(static_cast<int>(recordingFile().size / 19),
                  [](int) { return QByteArray("2026/12/06  08:00:\n"); });
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

void readerAgainstBaseline(benchmark::State& state, const BenchFile& file)
{
    baselineLineEnds(file.path); // into the page cache
    bench::Span baseline;
    bench::Span reader;
    long long peakBytes = 0;
    long long heldBytes = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(baseline.time([&] { return baselineLineEnds(file.path); }));
        const long long before = heapLive.load();
        heapPeak = before;
        files::RecordTable plot;
        if (reader.time([&] { return files::ReadDataFile(file.path, plot); }).outcome !=
                files::ReadOutcome::Ok ||
            plot.count() != static_cast<std::size_t>(file.records)) {
            state.SkipWithError("the reader did not read every record");
            return;
        }
        peakBytes = heapPeak.load() - before;
        heldBytes = heapLive.load() - before;
    }
    bench::ReportTime(state, "baseline", baseline);
    bench::ReportTime(state, "reader", reader);
    bench::ReportRatio(state, "reader_per_baseline", reader, baseline);
    const auto size = static_cast<double>(file.size);
    state.counters["peak_heap_per_file_byte"] = static_cast<double>(peakBytes) / size;
    state.counters["held_heap_per_file_byte"] = static_cast<double>(heldBytes) / size;
    state.counters["file_MB"] = size / (1 << 20);
}

void Recording(benchmark::State& state)
{
    readerAgainstBaseline(state, recordingFile());
}

void ShortestLines(benchmark::State& state)
{
    readerAgainstBaseline(state, shortestLinesFile());
}

BENCHMARK(Recording)->Unit(benchmark::kMillisecond)->Iterations(2)->Apply(bench::Repeated);
BENCHMARK(ShortestLines)->Unit(benchmark::kMillisecond)->Iterations(2)->Apply(bench::Repeated);

} // namespace

BENCHMARK_MAIN();

// The command-line client's own work per reading against the link's time for the same frames.
// Each iteration polls the virtual meter through the link for a run of frames, then does with
// each frame what the client does with it: `read` decodes it and writes its line (csv, jsonl
// or text) to a file, flushed at once; `record` decodes it and the recorder writes its record
// line, synced to the disk (here for every frame; a recording writes one for at most every
// third poll, its interval being a second or more). Two paces of the meter:
//   0  it answers at once: the link's own processor time;
//   1  each report costs a full-speed USB frame (1 ms), the fastest a real meter answers.
// Counters `<work>_per_link_wall` and `_cpu` are the ratios to the link's time for one poll.
#include "bench/BenchTiming.h"
#include "cli/ReadingPrinter.h"
#include "files/PcRecorder.h"
#include "link/FrameReadings.h"
#include "link/MeterSequence.h"
#include "ui/Clock.h"
#include "ui/QuietDialogs.h"
#include "virtualmeter/VirtualMeter.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <utility>

namespace {

constexpr int Polls = 50;

meterlink::FrameFields Decode(const meterlink::Reply& reply)
{
    return meterlink::DecodeFrame(meterlink::AssembleFrame(reply.answers[0], reply.answers[1]));
}

void ClientPerReading(benchmark::State& state)
{
    virtualmeter::VirtualMeter meter;
    meter.setReportDelay(std::chrono::microseconds(state.range(0) == 0 ? 0 : 1000));
    meterlink::MeterLink link(meter);
    meterlink::SequenceRunner runner(link);
    const ui::SystemClock clock;
    QTemporaryDir dir;

    const cli::ReadingFormat formats[] = {cli::ReadingFormat::Csv, cli::ReadingFormat::Jsonl,
                                          cli::ReadingFormat::Text};
    const char* const names[] = {"csv", "jsonl", "text"};
    std::ofstream outputs[3];
    std::vector<cli::ReadingPrinter> printers;
    for (int f = 0; f < 3; ++f) {
        outputs[f].open(dir.filePath(QLatin1String(names[f])).toStdString());
        printers.emplace_back(formats[f], outputs[f]);
        printers.back().header(false);
    }

    const ui::FixedPaths paths(dir.filePath(QStringLiteral("tellarix582")));
    ui::QuietDialogs dialogs;
    files::LiveSample next;
    files::PcRecorder recorder(clock, paths, dialogs,
                               [&next] { return std::exchange(next, files::LiveSample()); });
    if (!recorder.start(dir.filePath(QStringLiteral("rec.txt")), 1)) {
        state.SkipWithError("the recording did not start");
        return;
    }

    std::vector<meterlink::Reply> replies(Polls);
    bench::Span linkSpan;
    bench::Span readSpans[3];
    bench::Span recordSpan;
    bool failed = false;
    for (auto _ : state) {
        linkSpan.time([&] {
            for (auto& reply : replies) {
                auto polled = runner.poll();
                failed = failed || !polled || !polled->answered();
                reply = polled ? std::move(*polled) : meterlink::Reply{};
            }
        });
        if (failed)
            break;
        for (int f = 0; f < 3; ++f)
            readSpans[f].time([&] {
                for (const auto& reply : replies)
                    failed =
                        !printers[f].row(cli::ReadingRowAt(Decode(reply), clock.now())) || failed;
            });
        recordSpan.time([&] {
            for (const auto& reply : replies) {
                next = files::LiveSample{meterlink::RecordReadingFromFrame(Decode(reply)), false};
                recorder.sample();
            }
        });
    }
    if (failed || recorder.writeFailed() || recorder.recordCount() != Polls * state.iterations())
        state.SkipWithError("a poll or a line failed");
    for (bench::Span* span : {&linkSpan, &readSpans[0], &readSpans[1], &readSpans[2], &recordSpan})
        span->runs *= Polls;
    bench::ReportTime(state, "link", linkSpan, true);
    for (int f = 0; f < 3; ++f) {
        bench::ReportTime(state, std::string("read_") + names[f], readSpans[f], true);
        bench::ReportRatio(state, std::string("read_") + names[f] + "_per_link", readSpans[f],
                           linkSpan);
    }
    bench::ReportTime(state, "record", recordSpan, true);
    bench::ReportRatio(state, "record_per_link", recordSpan, linkSpan);
}

BENCHMARK(ClientPerReading)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Apply(bench::Repeated);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

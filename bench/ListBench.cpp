// One frame appended to the "List" window, shown with its table and statistics, when it already
// keeps 10,000 readings (so the oldest goes) against the same append into an empty table. The
// counters give the time per append of both, their ratio, what the next repaint of the window
// costs, and what the statistics row asks of the model on its repaint after one append.
#include "bench/BenchTiming.h"
#include "panel/ReadingsModel.h"
#include "panel/ReadingsWindow.h"
#include "ui/Clock.h"
#include "ui/QuietDialogs.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>

namespace {

constexpr int AppendsPerIteration = 1000;

// A reading that changes from frame to frame, as a live one does.
meterlink::FrameFields frame(int i)
{
    meterlink::FrameFields f;
    f.X = 4500000 + static_cast<std::uint32_t>(i % 977);
    f.Y = f.Ev = 5000000 + static_cast<std::uint32_t>(i % 1009);
    f.Z = 3200000;
    f.x = 3456;
    f.y = 3587;
    f.u = 2101;
    f.v = 4906;
    f.Tcp = 5003;
    f.duv = -12;
    f.wavelength = 5723;
    f.Pe = 1234;
    f.Pc = 200;
    f.tcpOutOfRange = i % 50 == 0;
    return f;
}

void ListAppend(benchmark::State& state)
{
    ui::QuietDialogs dialogs;
    ui::SystemClock clock;
    panel::ReadingsWindow window(dialogs, clock, nullptr);
    window.showBeside();
    int n = 0;
    while (!window.readings().full())
        window.addFrame(frame(n++));
    QApplication::processEvents();

    bench::Span full;
    bench::Span empty;
    bench::Span repaint;
    bench::Span statistics;
    for (auto _ : state) {
        full.time([&] {
            for (int i = 0; i < AppendsPerIteration; ++i)
                window.addFrame(frame(n++));
        });
        repaint.time([&] { benchmark::DoNotOptimize(window.grab()); });

        window.addFrame(frame(n++));
        statistics.time([&] {
            for (int row = 0; row < panel::StatisticsRowCount; ++row)
                for (int column = 0; column < panel::ReadingColumnCount; ++column)
                    benchmark::DoNotOptimize(window.readings().statisticsText(row, column));
        });

        // The same appends, each into a table emptied beforehand.
        panel::ReadingsWindow emptied(dialogs, clock, nullptr);
        emptied.showBeside();
        for (int i = 0; i < AppendsPerIteration; ++i) {
            emptied.readings().clear();
            // The view lays the emptied table out first, as between two polls.
            QApplication::processEvents();
            empty.time([&] { emptied.addFrame(frame(n++)); });
        }
    }
    full.runs *= AppendsPerIteration;
    bench::ReportTime(state, "full_append", full, true);
    bench::ReportTime(state, "empty_append", empty, true);
    bench::ReportRatio(state, "full_per_empty", full, empty);
    bench::ReportTime(state, "repaint", repaint);
    bench::ReportTime(state, "statistics", statistics, true);
}

BENCHMARK(ListAppend)->Unit(benchmark::kMillisecond)->Iterations(2)->Apply(bench::Repeated);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

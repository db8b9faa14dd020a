// One frame appended to the "List" window, shown with its table and statistics, when it already
// keeps 10,000 readings (so the oldest goes) against the same append into an empty table. The
// counters give the time per append of both, their ratio, what the next repaint of the window
// costs, and what the statistics row asks of the model on its repaint after one append.
#include "panel/ReadingsModel.h"
#include "panel/ReadingsWindow.h"
#include "ui/Clock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <benchmark/benchmark.h>

namespace {

constexpr int AppendsPerIteration = 1000;

class NoDialogs : public ui::Dialogs
{
public:
    ui::MsgAnswer message(const QString&, ui::MsgButtons, ui::MsgIcon, const QString&) override
    {
        return ui::MsgAnswer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    bool showSave(ui::FileDialogState&) override { return false; }
    bool showOpen(ui::FileDialogState&) override { return false; }
    void openTextViewer(const QString&) override {}
    int chooseItem(const QString&, const QString&, const QStringList&, int) override { return -1; }
    int runModal(ui::ModalWindow&) override { return 0; }
    bool hasPrinter() override { return false; }
    bool printImage(const QImage&, const QString&) override { return false; }
};

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
    NoDialogs dialogs;
    ui::SystemClock clock;
    panel::ReadingsWindow window(dialogs, clock, nullptr);
    window.showBeside();
    int n = 0;
    while (!window.readings().full())
        window.addFrame(frame(n++));
    QApplication::processEvents();

    double fullSeconds = 0;
    double emptySeconds = 0;
    double paintSeconds = 0;
    double statisticsSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < AppendsPerIteration; ++i)
            window.addFrame(frame(n++));
        const double full = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(full);
        fullSeconds += full;

        timer.restart();
        benchmark::DoNotOptimize(window.grab());
        paintSeconds += static_cast<double>(timer.nsecsElapsed()) / 1e9;

        window.addFrame(frame(n++));
        timer.restart();
        for (int row = 0; row < panel::StatisticsRowCount; ++row)
            for (int column = 0; column < panel::ReadingColumnCount; ++column)
                benchmark::DoNotOptimize(window.readings().statisticsText(row, column));
        statisticsSeconds += static_cast<double>(timer.nsecsElapsed()) / 1e9;

        // The same appends, each into a table emptied beforehand.
        panel::ReadingsWindow empty(dialogs, clock, nullptr);
        empty.showBeside();
        for (int i = 0; i < AppendsPerIteration; ++i) {
            empty.readings().clear();
            // The view lays the emptied table out first, as between two polls.
            QApplication::processEvents();
            timer.restart();
            empty.addFrame(frame(n++));
            emptySeconds += static_cast<double>(timer.nsecsElapsed()) / 1e9;
        }
    }
    const double appends = static_cast<double>(state.iterations()) * AppendsPerIteration;
    state.counters["full_us_per_append"] = fullSeconds / appends * 1e6;
    state.counters["empty_us_per_append"] = emptySeconds / appends * 1e6;
    state.counters["full_per_empty"] = fullSeconds / emptySeconds;
    state.counters["repaint_ms"] = paintSeconds / static_cast<double>(state.iterations()) * 1e3;
    state.counters["statistics_us"] =
        statisticsSeconds / static_cast<double>(state.iterations()) * 1e6;
}

BENCHMARK(ListAppend)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

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

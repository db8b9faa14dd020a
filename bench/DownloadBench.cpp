// Downloads one 512 KiB set (8192 reports) from the virtual meter through the whole download
// command: link, transfer, progress bar, window events and the file. Two runs: the meter
// answering at once, and the meter taking 1 ms per report as a full-speed USB frame does.
// Each run also times the bare link at the same pace, so the figures are ratios of one run.

#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "ui/Clock.h"
#include "virtualmeter/VirtualMeter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

constexpr int Reports = 8192;
constexpr std::uint64_t SetBytes = Reports * 64;

// Answers nothing but its dialogs; the download never asks.
class SilentDialogs : public ui::Dialogs
{
public:
    ui::MsgAnswer message(const QString&, ui::MsgButtons, ui::MsgIcon, const QString&) override
    {
        ++messages;
        return ui::MsgAnswer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    bool showSave(ui::FileDialogState&) override { return false; }
    bool showOpen(ui::FileDialogState&) override { return false; }
    void openTextViewer(const QString&) override { ++viewed; }
    int runModal(ui::ModalWindow&) override { return 0; }
    bool hasPrinter() override { return false; }
    bool printImage(const QImage&, const QString&) override { return false; }
    int messages = 0;
    int viewed = 0;
};

class NoPoll : public ui::PollControl
{
public:
    void setPolling(bool on) override { m_on = on; }
    bool polling() const override { return m_on; }

private:
    bool m_on = true;
};

// The seconds the link alone needs to hand over the set's reports at the meter's pace.
double BareLinkSeconds(virtualmeter::VirtualMeter& meter, meterlink::MeterLink& link)
{
    for (int i = 0; i < Reports; ++i)
        meter.queueReport(virtualmeter::Report{});
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Reports; ++i)
        link.ReceiveOnly();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void BM_Download512KiB(benchmark::State& state)
{
    const auto delay = std::chrono::microseconds(state.range(0));
    virtualmeter::VirtualMeter meter;
    virtualmeter::StoredSet set;
    set.start = {2026, 12, 5, 16, 39, 5};
    set.text = std::string(SetBytes, 'x');
    meter.model().memory().setSets({set});
    meterlink::MeterLink link(meter);
    SilentDialogs dialogs;
    const ui::SystemClock clock;
    QTemporaryDir dir;
    const ui::FixedPaths paths(dir.path());
    files::PlotData plot;
    files::FileState fileState;
    ui::FileDialogState cmd;
    ui::Services services{link, dialogs, clock, paths, plot, fileState, cmd};
    NoPoll poll;
    logger::LoggerCommands commands(services, poll, nullptr);
    commands.Listing();
    link.FindMeter();
    meter.setReportDelay(delay);

    double download = 0;
    double bare = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        commands.GridSet_Click(1);
        download = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        bare = BareLinkSeconds(meter, link);
        state.SetIterationTime(download);
    }
    if (dialogs.messages != 0 || dialogs.viewed == 0)
        state.SkipWithError("the download did not complete");
    const double nominal = Reports * static_cast<double>(delay.count()) / 1e6;
    state.counters["download_s"] = download;
    state.counters["bare_link_s"] = bare;
    state.counters["vs_bare_link"] = bare > 0 ? download / bare : 0;
    // Against 8192 x the delay; with no delay, against the one-second budget.
    state.counters["vs_budget"] = download / (nominal > 0 ? nominal : 1.0);
    state.counters["own_us_per_report"] = (download - bare) / Reports * 1e6;
}

BENCHMARK(BM_Download512KiB)
    ->Arg(0)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

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

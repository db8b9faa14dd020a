// Downloads one 512 KiB set (8192 reports) from the virtual meter through the whole download
// command: link, transfer, progress bar, window events and the file. Three runs:
//   0  the meter answers at once: the program's own cost, against the one-second budget;
//   1  a full-speed USB frame clock: one report each millisecond from the request on, held
//      by the host until read, as the HID driver buffers them;
//   2  every read costs a further 1 ms sleep in the virtual meter, so our own work adds to
//      the link's time instead of overlapping it; compared with the bare link at that pace.
// Each run also times the bare link at the same pace, so the figures are ratios of one run.

#include "bench/BenchTiming.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoryWindow.h"
#include "ui/Clock.h"
#include "ui/QuietDialogs.h"
#include "virtualmeter/VirtualMeter.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace {

using meterlink::platform::HidAttributes;
using meterlink::platform::HidHandle;
using meterlink::platform::HidInterface;
using meterlink::platform::HidPlatform;
using meterlink::platform::ReadResult;
using meterlink::platform::ReportLengths;

// The frame clock shared by the two handles of the paced device: a request written restarts
// it, and each report read becomes available one frame after the one before.
struct FrameClock
{
    std::chrono::microseconds frame{0};
    std::chrono::steady_clock::time_point next{};
    void restart() { next = std::chrono::steady_clock::now(); }
};

class PacedHandle : public HidHandle
{
public:
    PacedHandle(std::unique_ptr<HidHandle> inner, FrameClock& clock)
        : m_inner(std::move(inner)), m_clock(clock)
    {
    }
    std::optional<HidAttributes> attributes() override { return m_inner->attributes(); }
    std::optional<ReportLengths> reportLengths() override { return m_inner->reportLengths(); }
    int write(std::span<const std::uint8_t> report) override
    {
        m_clock.restart();
        return m_inner->write(report);
    }
    ReadResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        if (m_clock.frame.count() > 0) {
            m_clock.next += m_clock.frame;
            std::this_thread::sleep_until(m_clock.next);
        }
        return m_inner->read(buffer, timeoutMs);
    }
    void cancel() override { m_inner->cancel(); }

private:
    std::unique_ptr<HidHandle> m_inner;
    FrameClock& m_clock;
};

class PacedPlatform : public HidPlatform
{
public:
    explicit PacedPlatform(HidPlatform& inner) : m_inner(inner) {}
    FrameClock clock;
    std::vector<HidInterface> interfaces() override { return m_inner.interfaces(); }
    std::unique_ptr<HidHandle> openForWriting(const std::string& path) override
    {
        return wrap(m_inner.openForWriting(path));
    }
    std::unique_ptr<HidHandle> openForReading(const std::string& path) override
    {
        return wrap(m_inner.openForReading(path));
    }

private:
    std::unique_ptr<HidHandle> wrap(std::unique_ptr<HidHandle> handle)
    {
        if (!handle)
            return nullptr;
        return std::make_unique<PacedHandle>(std::move(handle), clock);
    }
    HidPlatform& m_inner;
};

constexpr int Reports = 8192;
constexpr std::uint64_t SetBytes = Reports * 64;

// Answers nothing but its dialogs; the download never asks.
class SilentDialogs : public ui::QuietDialogs
{
public:
    ui::MsgAnswer message(const QString& text, ui::MsgButtons buttons, ui::MsgIcon icon,
                          const QString& title) override
    {
        ++messages;
        return QuietDialogs::message(text, buttons, icon, title);
    }
    void openTextViewer(const QString&) override { ++viewed; }
    int messages = 0;
    int viewed = 0;
};

// The link alone handing over the set's reports at the meter's pace.
void BareLink(virtualmeter::VirtualMeter& meter, PacedPlatform& paced, meterlink::MeterLink& link)
{
    for (int i = 0; i < Reports; ++i)
        meter.queueReport(virtualmeter::Report{});
    paced.clock.restart();
    for (int i = 0; i < Reports; ++i)
        link.receive();
}

void BM_Download512KiB(benchmark::State& state)
{
    const auto mode = state.range(0);
    const auto delay = std::chrono::microseconds(mode == 0 ? 0 : 1000);
    virtualmeter::VirtualMeter meter;
    virtualmeter::StoredSet set;
    set.start = {2026, 12, 5, 16, 39, 5};
    set.text = std::string(SetBytes, 'x');
    meter.model().memory().setSets({set});
    PacedPlatform paced(meter);
    if (mode == 1)
        paced.clock.frame = delay;
    else
        meter.setReportDelay(delay);
    meterlink::MeterLink link(paced);
    SilentDialogs dialogs;
    const ui::SystemClock clock;
    QTemporaryDir dir;
    const ui::FixedPaths paths(dir.path());
    files::PlotDocument document;
    ui::FileDialogState cmd;
    meterlink::SequenceRunner runner(link);
    ui::Services services{dialogs, clock, paths};
    logger::LoggerCommands commands(runner, services, document, cmd, nullptr);
    commands.listMemory();
    link.drain();

    bench::Span download;
    bench::Span bare;
    for (auto _ : state) {
        download.time([&] { commands.downloadSet(1); });
        bare.time([&] { BareLink(meter, paced, link); });
    }
    if (dialogs.messages != 0 || dialogs.viewed == 0)
        state.SkipWithError("the download did not complete");
    const double nominal = Reports * static_cast<double>(delay.count()) / 1e6;
    bench::ReportTime(state, "download", download);
    bench::ReportTime(state, "bare_link", bare);
    bench::ReportRatio(state, "download_per_bare_link", download, bare);
    // Against 8192 x the delay; with no delay, against the one-second budget.
    state.counters["vs_budget"] = download.wallPerRun() / (nominal > 0 ? nominal : 1.0);
    state.counters["own_us_per_report"] =
        (download.wallPerRun() - bare.wallPerRun()) / Reports * 1e6;
}

BENCHMARK(BM_Download512KiB)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Apply(bench::Repeated);

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

// The plot stage for a million records against the plainest way to put the same markers on
// the same picture: filling their rectangles, computed beforehand, with the same painter.
// Both run in each iteration; the counters give their times and the ratio.
#include "plot/PlotRenderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <charconv>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int Records = 1'000'000;
const QSize PictureSize(1000, 800);

// Seven-character fields as a recording holds them, spread over the diagram.
const files::RecordTable& benchData()
{
    static const files::RecordTable data = [] {
        files::RecordTable made;
        std::uint32_t seed = 12345;
        const auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) % 10000;
        };
        const auto field = [](double value) {
            char text[16] = "      ";
            std::to_chars(text + 1, text + sizeof text, value, std::chars_format::fixed, 4);
            return std::string(text, 7);
        };
        for (int i = 0; i < Records; ++i) {
            const std::string x = field(0.1 + next() * 0.6 / 10000);
            made.append(x, field(0.05 + next() * 0.75 / 10000));
        }
        return made;
    }();
    return data;
}

// The markers' rectangles as the stage draws them, without any of its work.
std::vector<QRectF> markerRects(const plot::PlotView& view, const files::RecordTable& data)
{
    const plot::Mapping mapping(view.frame, view.axisMin, view.axisMax);
    std::vector<QRectF> rects;
    rects.reserve(Records);
    for (std::size_t n = 1; n <= data.count(); ++n) {
        const double x = mapping.X(*plot::RecordValue(data.x(n)));
        const double y = mapping.Y(*plot::RecordValue(data.y(n)));
        rects.push_back(QRectF(QPointF(x - x / 100, y + y / 100), QPointF(x + x / 100, y - y / 100))
                            .normalized());
    }
    return rects;
}

void PlotStageMillionRecords(benchmark::State& state)
{
    const files::RecordTable& data = benchData();
    const plot::PlotView view{plot::FrameFromClient(PictureSize.width(), PictureSize.height()), 0,
                              1};
    const std::vector<QRectF> rects = markerRects(view, data);
    QImage picture(PictureSize, QImage::Format_RGB32);
    const QBrush black(Qt::black);
    using Clock = std::chrono::steady_clock;
    double stageSeconds = 0;
    double fillSeconds = 0;
    long long captions = 0;
    for (auto _ : state) {
        picture.fill(Qt::white);
        const auto stageStart = Clock::now();
        {
            plot::PlotStage stage(view, data, {1, Records}, nullptr);
            stage.setCaptionSink([&captions](const QString&) { ++captions; });
            QPainter painter(&picture);
            stage.drawFixed(painter, picture.size());
            stage.drawMarkers(painter, picture.size(), Records);
        }
        const auto stageEnd = Clock::now();

        picture.fill(Qt::white);
        const auto fillStart = Clock::now();
        {
            QPainter painter(&picture);
            for (const QRectF& rect : rects)
                painter.fillRect(rect, black);
        }
        const auto fillEnd = Clock::now();
        benchmark::DoNotOptimize(picture.constBits());

        const double stage = std::chrono::duration<double>(stageEnd - stageStart).count();
        const double fill = std::chrono::duration<double>(fillEnd - fillStart).count();
        state.SetIterationTime(stage);
        stageSeconds += stage;
        fillSeconds += fill;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["stage_ms"] = stageSeconds / runs * 1000;
    state.counters["fill_ms"] = fillSeconds / runs * 1000;
    state.counters["stage_per_fill"] = stageSeconds / fillSeconds;
    state.counters["captions"] = static_cast<double>(captions) / runs;
}

BENCHMARK(PlotStageMillionRecords)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

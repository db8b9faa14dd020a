// One update of the live graph for a new reading, at 1000 x 800 with the trail full, against the
// bare update that moves one marker over the same kept background. Both are measured two ways:
// repainting only the changed rectangles (what the window does) and blitting the whole kept
// background first. All four run in each iteration; the counters give the times in
// microseconds per update and the ratios.
#include "plot/GraphRenderer.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

const QSize PictureSize(1000, 800);
constexpr int Updates = 500;

// A lamp wandering about the 5000 K bin, as a meter on the bench sees it.
std::vector<plot::GraphReading> wanderingReadings()
{
    std::vector<plot::GraphReading> readings;
    std::uint32_t seed = 582;
    const auto jitter = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>((seed >> 8) % 2001) / 1000.0 - 1.0;
    };
    colorimetry::XY p{0.3447, 0.3553};
    for (int i = 0; i < Updates + plot::Trail::Length; ++i) {
        p.x = std::clamp(p.x + 0.0006 * jitter(), 0.336, 0.356);
        p.y = std::clamp(p.y + 0.0006 * jitter(), 0.337, 0.376);
        const colorimetry::UV uv = colorimetry::UvPrimeFromXY(p);
        readings.push_back({p, uv, {0.3451, 0.3516}, colorimetry::UvPrimeFromXY({0.3451, 0.3516})});
    }
    return readings;
}

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

void repaint(QImage& target, const QImage& background, const QRegion& region, bool whole,
             const std::function<void(QPainter&)>& live)
{
    QPainter painter(&target);
    if (whole) {
        painter.drawImage(0, 0, background);
    } else {
        for (const QRect& rect : region)
            painter.drawImage(rect, background, rect);
        painter.setClipRegion(region);
    }
    live(painter);
}

void GraphUpdate(benchmark::State& state)
{
    const std::vector<plot::GraphReading> readings = wanderingReadings();
    plot::GraphViewport viewport;
    viewport.setSize(PictureSize);
    plot::GraphModel model;
    for (int i = 0; i < static_cast<int>(model.regions().size()); ++i)
        if (model.regions()[static_cast<std::size_t>(i)].name == QLatin1String("5000 K"))
            model.choose(i);
    viewport.fit(model.chosenRegion()->outline);
    QImage background(PictureSize, QImage::Format_ARGB32_Premultiplied);
    plot::DrawGraphBackground(background, viewport, model.regions(), model.chosen(), QFont(),
                              Qt::lightGray);
    QImage target = background.copy();
    for (int i = 0; i < plot::Trail::Length; ++i)
        model.showReading(readings[static_cast<std::size_t>(i)]);

    double trailRect = 0, markerRect = 0, trailWhole = 0, markerWhole = 0;
    double runs = 0;
    for (auto _ : state) {
        const double sofar = trailRect + markerRect + trailWhole + markerWhole;
        for (const bool whole : {false, true}) {
            // The window's work for one frame: the model, the texts and the repaint.
            auto start = Clock::now();
            for (int i = 0; i < Updates; ++i) {
                const QRect before = plot::GraphLiveBounds(viewport, model);
                model.showReading(readings[static_cast<std::size_t>(plot::Trail::Length + i)]);
                benchmark::DoNotOptimize(plot::TextsFor(model, viewport.diagram(), '.'));
                const QRegion changed = QRegion(before) | plot::GraphLiveBounds(viewport, model);
                repaint(target, background, changed, whole,
                        [&](QPainter& painter) { plot::DrawGraphLive(painter, viewport, model); });
            }
            (whole ? trailWhole : trailRect) += microseconds(Clock::now() - start);

            // One marker moving over the same background, nothing else.
            start = Clock::now();
            for (int i = 0; i < Updates; ++i) {
                const auto at = [&](int k) {
                    return viewport.toPixel(readings[static_cast<std::size_t>(k)].live);
                };
                const QPointF from = at(plot::Trail::Length + i);
                const QPointF to = at(plot::Trail::Length + i + 1);
                const QRegion changed =
                    QRegion(QRectF(from - QPointF(8, 8), QSizeF(16, 16)).toAlignedRect()) |
                    QRectF(to - QPointF(8, 8), QSizeF(16, 16)).toAlignedRect();
                repaint(target, background, changed, whole,
                        [&](QPainter& painter) { plot::DrawLiveMarker(painter, to, true); });
            }
            (whole ? markerWhole : markerRect) += microseconds(Clock::now() - start);
        }
        benchmark::DoNotOptimize(target.constBits());
        runs += Updates;
        state.SetIterationTime((trailRect + markerRect + trailWhole + markerWhole - sofar) / 1e6);
    }
    state.counters["trail_rect_us"] = trailRect / runs;
    state.counters["marker_rect_us"] = markerRect / runs;
    state.counters["rect_ratio"] = trailRect / markerRect;
    state.counters["trail_whole_us"] = trailWhole / runs;
    state.counters["marker_whole_us"] = markerWhole / runs;
    state.counters["whole_ratio"] = trailWhole / markerWhole;
}

BENCHMARK(GraphUpdate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

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

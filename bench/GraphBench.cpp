// One update of the live graph for a new reading, at 1000 x 800 with the trail full, against the
// bare update that moves one marker over the same kept background. The update is the window's
// own work for a frame: the model, the texts, the rectangle its view repaints and the view's
// paint, clipped to that rectangle as in a widget's paint event, into an opaque picture as the
// backing store is. The counters give the times in microseconds per update and their ratios.
#include "bench/BenchTiming.h"
#include "plot/GraphRenderer.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
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
    // One more than the updates take: the marker moves on to the next.
    for (int i = 0; i <= Updates + plot::Trail::Length; ++i) {
        p.x = std::clamp(p.x + 0.0006 * jitter(), 0.336, 0.356);
        p.y = std::clamp(p.y + 0.0006 * jitter(), 0.337, 0.376);
        const colorimetry::UV uv = colorimetry::UvPrimeFromXY(p);
        readings.push_back({p, uv, {0.3451, 0.3516}, colorimetry::UvPrimeFromXY({0.3451, 0.3516})});
    }
    return readings;
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
    plot::GraphPicture picture;
    picture.drawBackground(PictureSize, viewport, model, QFont(), Qt::lightGray);
    QImage screen = picture.background().copy();
    for (int i = 0; i < plot::Trail::Length; ++i) {
        model.showReading(readings[static_cast<std::size_t>(i)]);
        picture.liveChanged(viewport, model);
    }
    const auto reading = [&readings](int i) {
        return readings[static_cast<std::size_t>(plot::Trail::Length + i)];
    };

    bench::Span trail;
    bench::Span marker;
    for (auto _ : state) {
        trail.time([&] {
            for (int i = 0; i < Updates; ++i) {
                model.showReading(reading(i));
                benchmark::DoNotOptimize(plot::TextsFor(model, viewport.diagram(), '.'));
                const QRect changed = picture.liveChanged(viewport, model);
                QPainter painter(&screen);
                painter.setClipRect(changed);
                picture.paint(painter, changed);
            }
        });

        // One marker moving over the same background, nothing else.
        marker.time([&] {
            for (int i = 0; i < Updates; ++i) {
                const QPointF from = viewport.toPixel(reading(i).live);
                const QPointF to = viewport.toPixel(reading(i + 1).live);
                const QRect changed =
                    QRectF(from - QPointF(8, 8), QSizeF(16, 16))
                        .toAlignedRect()
                        .united(QRectF(to - QPointF(8, 8), QSizeF(16, 16)).toAlignedRect());
                QPainter painter(&screen);
                painter.setClipRect(changed);
                painter.drawImage(changed, picture.background(), changed);
                plot::DrawLiveMarker(painter, to, true);
            }
        });
        benchmark::DoNotOptimize(screen.constBits());
    }
    // Per update, in microseconds.
    trail.runs *= Updates;
    marker.runs *= Updates;
    bench::ReportTime(state, "trail", trail, true);
    bench::ReportTime(state, "marker", marker, true);
    bench::ReportRatio(state, "trail_per_marker", trail, marker);
}

BENCHMARK(GraphUpdate)->Unit(benchmark::kMillisecond)->Iterations(10)->Apply(bench::Repeated);

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

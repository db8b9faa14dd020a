// The plot stage for a million records against the plainest way to put the same markers on
// the same picture: filling their rectangles, computed beforehand, with the same painter; and
// the stage's markers alone against matplotlib's Agg renderer drawing the same rectangles at
// the same size (bench/agg_markers.py, run where a Python with matplotlib is at hand). All run
// in each iteration; the counters give their times and the ratios.
#include "bench/BenchTiming.h"
#include "plot/PlotRenderer.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <charconv>
#include <optional>
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

// The markers' rectangles as the stage fills them, for matplotlib to draw: float64 quadruples
// (left, top, right, bottom).
QString writeRects(const QTemporaryDir& dir, const std::vector<QRectF>& rects)
{
    const QString path = dir.filePath(QStringLiteral("rects.f64"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    std::vector<double> values;
    values.reserve(rects.size() * 4);
    for (const QRectF& rect : rects) {
        values.insert(values.end(), {rect.left(), rect.top(), rect.right(), rect.bottom()});
    }
    out.write(reinterpret_cast<const char*>(values.data()),
              static_cast<qint64>(values.size() * sizeof(double)));
    return path;
}

// matplotlib's Agg drawing the same rectangles (bench/agg_markers.py), by the fastest of the
// ways the script draws them; nothing when no Python at hand has matplotlib.
std::optional<std::pair<double, double>> aggSeconds(const QString& rects)
{
    const QString script = QStringLiteral(TELLARIX_BENCH_DIR "/agg_markers.py");
    for (const QString& python : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess process;
        process.start(python, {script, rects, QString::number(PictureSize.width()),
                               QString::number(PictureSize.height())});
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            continue;
        std::optional<std::pair<double, double>> fastest;
        for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() != 3)
                continue;
            const std::pair<double, double> way{words[1].toDouble(), words[2].toDouble()};
            if (!fastest || way.first < fastest->first)
                fastest = way;
        }
        return fastest;
    }
    return std::nullopt;
}

void PlotStageMillionRecords(benchmark::State& state)
{
    const files::RecordTable& data = benchData();
    const plot::PlotView view{plot::FrameFromClient(PictureSize.width(), PictureSize.height()), 0,
                              1};
    const std::vector<QRectF> rects = markerRects(view, data);
    const QTemporaryDir dir;
    const QString rectsFile = writeRects(dir, rects);
    QImage picture(PictureSize, QImage::Format_RGB32);
    const QBrush black(Qt::black);
    bench::Span stage;
    bench::Span markers;
    bench::Span fill;
    bench::Span agg;
    long long captions = 0;
    for (auto _ : state) {
        picture.fill(Qt::white);
        stage.time([&] {
            plot::PlotStage drawing(view, data, {1, Records}, nullptr);
            drawing.setCaptionSink([&captions](const QString&) { ++captions; });
            QPainter painter(&picture);
            drawing.drawFixed(painter, picture.size());
            markers.time([&] { drawing.drawMarkers(painter, picture.size(), Records); });
        });

        picture.fill(Qt::white);
        fill.time([&] {
            QPainter painter(&picture);
            for (const QRectF& rect : rects)
                painter.fillRect(rect, black);
        });
        benchmark::DoNotOptimize(picture.constBits());

        if (const auto seconds = aggSeconds(rectsFile)) {
            agg.processor += seconds->first;
            agg.wall += seconds->second;
            ++agg.runs;
        }
    }
    bench::ReportTime(state, "stage", stage);
    bench::ReportTime(state, "fill", fill);
    bench::ReportRatio(state, "stage_per_fill", stage, fill);
    bench::ReportTime(state, "markers", markers);
    if (agg.runs > 0) {
        bench::ReportTime(state, "agg", agg);
        bench::ReportRatio(state, "markers_per_agg", markers, agg);
    } else {
        state.SetLabel("matplotlib is not installed: no Agg figures");
    }
    state.counters["captions"] = static_cast<double>(captions) / static_cast<double>(stage.runs);
}

BENCHMARK(PlotStageMillionRecords)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Apply(bench::Repeated);

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

#include "plot/PlotRenderer.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace plot {
namespace {

const QColor Background(212, 208, 200);
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);
const QRgb Grey = qRgb(192, 192, 192);

files::RecordTable recording(const std::vector<std::pair<const char*, const char*>>& records)
{
    files::RecordTable table;
    for (const auto& [x, y] : records)
        table.append(x, y);
    return table;
}

// Renders both stages the way the window does, for a 630 x 660 client area: the frame is
// 560 x 560 with its bottom-left corner at (60, 633).
// Every record unless `range` is given.
QImage render(const files::RecordTable& data, const RegionRows* regions = nullptr,
              double axisMin = 0, double axisMax = 1, QStringList* captions = nullptr,
              std::optional<files::RecordRange> range = std::nullopt)
{
    QImage picture(630, 660, QImage::Format_RGB32);
    const PlotView view{FrameFromClient(630, 660), axisMin, axisMax};
    DrawResizeStage(picture, view, QFont(), Background);
    PlotStage stage(view, data,
                    range.value_or(files::RecordRange{1, static_cast<double>(data.count())}),
                    regions);
    if (captions != nullptr)
        stage.setCaptionSink([captions](const QString& caption) { *captions << caption; });
    QPainter painter(&picture);
    stage.drawFixed(painter, picture.size());
    // one marker per slice, as a busy window would
    while (!stage.drawMarkers(painter, picture.size(), 1)) {
    }
    return picture;
}

// True when a pixel within `radius` of (x, y) has the colour: one-pixel lines land on either
// side of a fractional coordinate.
bool near(const QImage& image, int x, int y, QRgb colour, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (image.pixel(x + dx, y + dy) == colour)
                return true;
    return false;
}

TEST(Rendering, SmallRecordingAtKnownPixels)
{
    // (0.35, 0.2) lies clear of both loci; "abc" holds no number and is not drawn at 0,0.
    const files::RecordTable data = recording({{" 0.3500", " 0.2000"}, {"abc", "0.1"}});
    const QImage picture = render(data);

    struct Probe
    {
        const char* what;
        int x, y;
        QRgb colour;
    };
    const std::vector<Probe> probes = {
        {"vertical axis", 58, 400, Black},
        {"frame inside near top-right", 606, 87, White},
        {"marker centre", 256, 521, Black},
        {"below the marker", 256, 536, White},
        {"no marker for the record without a number", 60, 630, Grey},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(picture.pixel(p.x, p.y), p.colour) << p.what;

    // The spectral locus at 520 nm (0.0743, 0.8338) and its red end (0.7347, 0.2653).
    EXPECT_TRUE(near(picture, 102, 166, Black));
    EXPECT_TRUE(near(picture, 471, 484, Black));
    // 6500 K on the Planckian locus (0.3136, 0.3237).
    EXPECT_TRUE(near(picture, 236, 452, Black));
}

// Markers of every size and fractional corner, some beyond the picture's edges: those written
// into the picture straight are the pixels the painter fills when it must fill them itself (a
// clip, as a scaled or clipped painter would have).
TEST(Rendering, MarkersWrittenStraightAreThoseThePainterFills)
{
    // -0.2000 to 1.1999
    std::uint32_t seed = 582;
    const auto field = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return QString::number((static_cast<int>(seed >> 16) % 14000 - 2000) / 1e4, 'f', 4)
            .toStdString();
    };
    files::RecordTable data;
    for (int i = 0; i < 2000; ++i)
        data.append(field(), field());
    for (const auto& [axisMin, axisMax] : {std::pair{0.0, 1.0}, std::pair{0.2, 0.5}}) {
        const PlotView view{FrameFromClient(630, 660), axisMin, axisMax};
        QImage straight(630, 660, QImage::Format_RGB32);
        straight.fill(Qt::white);
        QImage filled = straight.copy();
        {
            PlotStage stage(view, data, {1, 2000}, nullptr);
            QPainter painter(&straight);
            stage.drawMarkers(painter, straight.size(), stage.markerCount());
        }
        {
            PlotStage stage(view, data, {1, 2000}, nullptr);
            QPainter painter(&filled);
            painter.setClipRect(filled.rect());
            stage.drawMarkers(painter, filled.size(), stage.markerCount());
        }
        EXPECT_TRUE(straight == filled) << axisMin << " to " << axisMax;
    }
}

TEST(Rendering, FarAwayPointsAreCutNotDrawnAcrossThePicture)
{
    // A range a millionth wide puts the regions and the markers far outside.
    const files::RecordTable data = recording({{"0.9", "0.9"}, {"0.3", "0.3"}});
    RegionRows regions;
    regions[0].checked = true;
    for (auto& text : regions[0].texts)
        text = QStringLiteral("0.3");
    regions[0].texts[1] = QStringLiteral("0.9");
    const QImage picture = render(data, &regions, 0.3, 0.300001);
    EXPECT_EQ(picture.pixel(330, 340), White);
}

TEST(Rendering, EdgesParallelToAnAxisAreDrawnWhereTheyCrossThePicture)
{
    // Range 0.30 to 0.36: a region of two vertical edges and one of two horizontal edges, each
    // edge reaching far beyond the picture at both ends.
    RegionRows regions;
    regions[0] = {true, {"0.345", "0.355", "0.355", "0.345", "0.1", "0.1", "0.9", "0.9"}};
    regions[1] = {true, {"0.1", "0.9", "0.9", "0.1", "0.352", "0.352", "0.357", "0.357"}};
    const QImage picture = render(recording({}), &regions, 0.3, 0.36);
    EXPECT_TRUE(near(picture, 480, 586, Black)); // x = 0.345, y = 0.305
    EXPECT_TRUE(near(picture, 573, 586, Black)); // x = 0.355
    EXPECT_TRUE(near(picture, 153, 148, Black)); // y = 0.352, x = 0.31
    EXPECT_TRUE(near(picture, 153, 101, Black)); // y = 0.357
}

TEST(Rendering, CaptionsChangeOncePerText)
{
    // 3000 records give all 1001 different texts from "0 % Completed" on, each told once.
    files::RecordTable many =
        recording(std::vector<std::pair<const char*, const char*>>(3000, {"0.3", "0.3"}));
    QStringList captions;
    render(many, nullptr, 0, 1, &captions);
    EXPECT_EQ(captions.size(), 1001);
    EXPECT_EQ(captions.constLast(), QStringLiteral("100 % Completed"));
    EXPECT_EQ(captions.removeDuplicates(), 0);
}

TEST(Rendering, HalfwayFromDrawsRecordsRoundedHalvesToEven)
{
    // From 2.5 to 6: k = 2.5, 3.5, 4.5, 5.5 draw records 2, 4, 4, 6.
    std::vector<std::pair<const char*, const char*>> records(6, {"", ""});
    records[1] = {"0.35", "0.25"}; // record 2
    records[2] = {"0.45", "0.25"}; // record 3: never drawn
    records[3] = {"0.55", "0.25"}; // record 4
    records[5] = {"0.65", "0.25"}; // record 6
    const QImage picture = render(recording(records), nullptr, 0, 1, nullptr, {{2.5, 6}});
    EXPECT_EQ((std::vector<QRgb>{picture.pixel(256, 493), picture.pixel(312, 493),
                                 picture.pixel(368, 493), picture.pixel(424, 493)}),
              (std::vector<QRgb>{Black, White, Black, Black}));
}

TEST(Rendering, RangeBeyondTheArraysDrawsNothingAndEnds)
{
    const files::RecordTable data = recording({{"0.35", "0.2"}});
    const PlotView view{FrameFromClient(630, 660), 0, 1};
    // No window admits this range; the stage still ends.
    PlotStage stage(view, data, {1, 1e12}, nullptr);
    EXPECT_LE(stage.markerCount(), 3);
}

} // namespace
} // namespace plot

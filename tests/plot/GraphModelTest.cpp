#include "plot/GraphModel.h"

#include "plot/GraphRenderer.h"

#include <QFont>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace plot {
namespace {

// A 660 x 539 view has its frame's bottom-left corner at (60, 512) and is 552 x 498 pixels;
// centred on (0.276, 0.249) at 1000 pixels a unit, a diagram value (a, b) lands on pixel
// (60 + 1000 a, 512 - 1000 b). u', v' worked by hand: 5000 K (0.3451, 0.3516) has the
// denominator -0.6902 + 4.2192 + 3 = 6.5290, so u' = 1.3804 / 6.5290 and v' = 3.1644 / 6.5290.
TEST(GraphDiagram, LocusPointsAndRegionCornersLandOnTheirPixels)
{
    const struct
    {
        const char* what;
        Diagram diagram;
        colorimetry::XY xy;
        QPointF pixel;
    } rows[] = {
        {"Planckian 5000 K in x, y", Diagram::XY, {0.3451, 0.3516}, {405.10, 160.40}},
        {"Planckian 5000 K in u', v'", Diagram::UV, {0.3451, 0.3516}, {271.43, 27.33}},
        {"spectral 480 nm in u', v'", Diagram::UV, {0.0913, 0.1327}, {142.82, 241.17}},
        {"ANSI 5000 K corner 1 in u', v'", Diagram::UV, {0.3550, 0.3753}, {269.02, 14.81}},
        {"ANSI 5000 K corner 3 in u', v'", Diagram::UV, {0.3366, 0.3373}, {271.22, 35.77}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        GraphViewport viewport(row.diagram);
        viewport.setSize(QSizeF(660, 539));
        viewport.setView(QPointF(0.276, 0.249), 1000);
        const QPointF pixel = viewport.toPixel(row.xy);
        EXPECT_NEAR(pixel.x(), row.pixel.x(), 0.01);
        EXPECT_NEAR(pixel.y(), row.pixel.y(), 0.01);
    }
}

// Row 0 is a square typed in order; row 1 is an arrowhead A (0.30, 0.50), C (0.34, 0.58),
// B (0.38, 0.50) typed with its reflex corner D (0.34, 0.52) last, so the notch A-B-D is cut
// from below: a test of the corners' hull would count the notch in.
TEST(GraphModel, VerdictAndTheRegionsHoldingThePoint)
{
    RegionRows rows;
    rows[0] = {true, {"0.20", "0.26", "0.26", "0.20", "0.20", "0.20", "0.26", "0.26"}};
    rows[1] = {true, {"0.30", "0.34", "0.38", "0.34", "0.50", "0.58", "0.50", "0.52"}};
    rows[3] = {false, {"0", "1", "1", "0", "0", "0", "1", "1"}}; // not checked: not offered
    const struct
    {
        const char* chosen;
        colorimetry::XY point;
        Verdict verdict;
        QStringList holding;
    } cases[] = {
        {"User 1", {0.23, 0.23}, Verdict::Pass, {"User 1"}},
        {"User 1", {0.20, 0.245}, Verdict::Pass, {"User 1"}}, // side
        {"User 1", {0.1999, 0.245}, Verdict::Fail, {}},
        {"User 2", {0.34, 0.55}, Verdict::Pass, {"User 2"}},
        {"User 2", {0.34, 0.51}, Verdict::Fail, {}},         // in the notch
        {"User 2", {0.32, 0.51}, Verdict::Pass, {"User 2"}}, // on side A-D
        {"5000 K", {0.3460, 0.3650}, Verdict::Pass, {"5000 K"}},
        {"5000 K", {0.3550, 0.3753}, Verdict::Pass, {"4500 K", "5000 K"}}, // corner 1
        {"5000 K", {0.3800, 0.3770}, Verdict::Fail, {"4000 K"}},
    };
    GraphModel model;
    model.setUserRows(rows);
    ASSERT_EQ(model.regions().size(), 10u);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chosen << " " << c.point.x << ", " << c.point.y);
        int index = -1;
        for (std::size_t i = 0; i < model.regions().size(); ++i)
            if (model.regions()[i].name == QLatin1String(c.chosen))
                index = static_cast<int>(i);
        model.choose(index);
        model.showReading({c.point, {}, {}, {}});
        EXPECT_EQ(model.verdict(), c.verdict);
        EXPECT_EQ(model.holding(), c.holding);
    }
    // The meter lost: no verdict, nothing holds a point that is not current.
    model.showNoReading();
    EXPECT_EQ(model.verdict(), Verdict::None);
    EXPECT_TRUE(model.holding().isEmpty());
    // The chosen region stays chosen by name when the rows before it change.
    rows[0].checked = false;
    model.setUserRows(rows);
    EXPECT_EQ(model.chosenRegion()->name, QStringLiteral("5000 K"));
    EXPECT_EQ(model.trail().size(), static_cast<int>(std::size(cases)));
}

// A view repainted reading by reading, only where the picture says, shows what a picture drawn
// afresh shows: no dot of an older trail stays behind, also where the trail leaves the frame,
// and the marker greys while the meter is lost.
TEST(GraphPicture, RepaintsOfTheChangesShowWhatAFreshPictureShows)
{
    const QSize size(500, 400);
    for (const Diagram diagram : {Diagram::XY, Diagram::UV}) {
        SCOPED_TRACE(diagram == Diagram::XY ? "x, y" : "u', v'");
        GraphViewport viewport(diagram);
        viewport.setSize(size);
        viewport.fit(
            colorimetry::Quadrangle{{{0.33, 0.33}, {0.36, 0.33}, {0.36, 0.36}, {0.33, 0.36}}});
        GraphModel model;
        GraphPicture picture;
        picture.drawBackground(size, viewport, model, QFont(), Qt::lightGray);
        QImage view = picture.background().copy();
        colorimetry::XY lamp{0.345, 0.345};
        for (int i = 0; i < 2 * Trail::Length; ++i) {
            // Wandering off the frame and back, in steps of a few pixels.
            lamp.x += 0.002 * std::sin(i * 0.13) + 0.0004 * (i % 3 - 1);
            lamp.y += 0.002 * std::cos(i * 0.07);
            if (i % 37 == 36)
                model.showNoReading();
            else
                model.showReading({lamp,
                                   colorimetry::UvPrimeFromXY(lamp),
                                   {0.3451, 0.3516},
                                   colorimetry::UvPrimeFromXY({0.3451, 0.3516})});
            const QRect changed = picture.liveChanged(viewport, model);
            QPainter painter(&view);
            painter.setClipRect(changed);
            picture.paint(painter, changed);
        }
        GraphPicture fresh;
        fresh.drawBackground(size, viewport, model, QFont(), Qt::lightGray);
        QImage expected(size, QImage::Format_RGB32);
        QPainter painter(&expected);
        fresh.paint(painter, expected.rect());
        painter.end();
        EXPECT_EQ(view, expected);
    }
}

} // namespace
} // namespace plot

#include "plot/GraphWindow.h"

#include "colorimetry/Blackbody.h"
#include "panel/PanelWindow.h"
#include "panel/Toolbar.h"
#include "tests/support/PanelHarness.h"
#include "tests/support/ProgramHarness.h"
#include "virtualmeter/LightSource.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace plot {
namespace {

const QRgb Red = qRgb(220, 30, 30);
const QRgb Grey = qRgb(150, 150, 150);

template <typename T> T* child(QWidget* in, const QString& name)
{
    T* widget = in->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

QString text(QWidget* in, const char* label)
{
    return child<QLabel>(in, QLatin1String(label))->text();
}

QString withSeparator(const char* number)
{
    return QString::fromLatin1(number).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

class GraphLive : public ::testing::Test, protected testsupport::ProgramHarness<>
{
protected:
    GraphWindow* openGraph()
    {
        window->toolbar()->button(panel::ToolbarKey::Graph)->trigger();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Graph"))
                return static_cast<GraphWindow*>(w);
        return nullptr;
    }

    // The colour of the picture under the live marker's centre.
    QRgb markerColour(GraphWindow* graph)
    {
        const QImage picture = child<QWidget>(graph, QStringLiteral("GraphView"))->grab().toImage();
        return picture.pixel(graph->viewport().toPixel(graph->model().last()->live).toPoint());
    }
};

TEST_F(GraphLive, MarkerFollowsTheMeterAndGreysWhileItIsUnplugged)
{
    GraphWindow* graph = openGraph();
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_EQ(text(graph, "LblReading"), QStringLiteral("No reading"));
    auto* combo = child<QComboBox>(graph, QStringLiteral("ComboRegion"));
    QTest::keyClicks(combo, QStringLiteral("5"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("5000 K"));

    const struct
    {
        const char* what;
        std::optional<virtualmeter::Light> light; // nullopt: unplugged
        const char* verdict;
        QRgb marker;
        int trail;
    } steps[] = {
        {"inside the bin", virtualmeter::Light{5028, 0.002, 500}, "PASS", Red, 1},
        {"too warm", virtualmeter::Light{4700, 0.002, 500}, "FAIL", Red, 2},
        {"unplugged", std::nullopt, "", Grey, 2},
        {"still unplugged", std::nullopt, "", Grey, 2},
        {"plugged in again, on the reference", virtualmeter::Light{5000, 0, 500}, "PASS", Red, 3},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        meter.setPlugged(step.light.has_value());
        if (step.light)
            meter.model().setLight(*step.light);
        window->pollMeter();
        EXPECT_EQ(text(graph, "LblVerdict"), QLatin1String(step.verdict));
        EXPECT_EQ(markerColour(graph), step.marker);
        EXPECT_EQ(graph->model().trail().size(), step.trail);
        if (step.light) {
            const virtualmeter::Measurement m = virtualmeter::measure(*step.light);
            EXPECT_NEAR(graph->model().last()->live.x, m.x, 0.00006);
            EXPECT_NEAR(graph->model().last()->live.y, m.y, 0.00006);
            EXPECT_EQ(text(graph, "LblInside"), step.verdict == QLatin1String("PASS")
                                                    ? QStringLiteral("Inside: 5000 K")
                                                    : QStringLiteral("Inside: 4500 K"));
        } else {
            EXPECT_EQ(text(graph, "LblReading"), QStringLiteral("No reading"));
        }
    }
    // The meter's reference is a 5000 K lamp on the locus.
    EXPECT_EQ(text(graph, "LblDeltaUV"), QStringLiteral("\u0394u'v' ") + withSeparator("0.0000"));

    // The same reading in u', v'.
    QTest::mouseClick(child<QRadioButton>(graph, QStringLiteral("OptUV")), Qt::LeftButton);
    const QStringList reading =
        text(graph, "LblReading").replace(QLocale().decimalPoint(), QStringLiteral(".")).split(' ');
    ASSERT_EQ(reading.size(), 5) << reading.join(' ').toStdString();
    const virtualmeter::Measurement lamp = virtualmeter::measure({5000, 0, 500});
    EXPECT_EQ(reading[0], QStringLiteral("u'"));
    EXPECT_NEAR(reading[1].toDouble(), lamp.u, 0.0002);
    EXPECT_EQ(reading[3], QStringLiteral("v'"));
    EXPECT_NEAR(reading[4].toDouble(), lamp.v, 0.0002);
}

class GraphRegions : public ::testing::Test, protected testsupport::Harness<>
{
protected:
    void addLimits(const char* cctFrom, const char* cctTo, const char* duvFrom, const char* duvTo)
    {
        QTest::mouseClick(child<QPushButton>(&graph, QStringLiteral("CmdLimits")), Qt::LeftButton);
        const std::pair<const char*, const char*> boxes[] = {{"TxtCctFrom", cctFrom},
                                                             {"TxtCctTo", cctTo},
                                                             {"TxtDuvFrom", duvFrom},
                                                             {"TxtDuvTo", duvTo}};
        for (const auto& [name, typed] : boxes) {
            auto* box = child<QLineEdit>(&graph, QLatin1String(name));
            box->clear();
            QTest::keyClicks(box, QLatin1String(typed));
        }
        QTest::mouseClick(child<QPushButton>(&graph, QStringLiteral("CmdLimitsOK")),
                          Qt::LeftButton);
    }
    RegionRow row(int r)
    {
        RegionRow out;
        out.checked = child<QCheckBox>(&graph, QStringLiteral("CkUser%1").arg(r))->isChecked();
        for (int c = 0; c < 8; ++c)
            out.texts[static_cast<std::size_t>(c)] =
                child<QLineEdit>(&graph, QStringLiteral("TxtUser%1").arg(8 * r + c))->text();
        return out;
    }

    GraphWindow graph{dialogs, nullptr};
};

TEST_F(GraphRegions, TakesThePlotsCheckedRowsAndAddsLimitsInTheFirstFreeRow)
{
    RegionRows plotRows;
    plotRows[0] = {true, {"0.30", "0.36", "0.36", "0.30", "0.30", "0.30", "0.36", "0.36"}};
    plotRows[1] = {false, {"1", "2", "3", "4", "5", "6", "7", "8"}};
    plotRows[2] = {true, {"0.40", "0.46", "0.46", "0.40", "0.40", "0.40", "0.46", "0.46"}};
    graph.open(&plotRows);
    EXPECT_EQ(row(0), plotRows[0]);
    EXPECT_EQ(row(1), RegionRow());
    EXPECT_EQ(row(2), plotRows[2]);
    auto* combo = child<QComboBox>(&graph, QStringLiteral("ComboRegion"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("User 3"));

    // The 5000 K bin: 5028 K +- 283 K, Duv 0.002 +- 0.006.
    const colorimetry::Quadrangle bin =
        colorimetry::QuadrangleFromLimits(4745, 5311, -0.004, 0.008);
    RegionRow expected{true, {}};
    for (std::size_t j = 0; j < 4; ++j) {
        expected.texts[j] = QString::number(bin[j].x, 'f', 4);
        expected.texts[j + 4] = QString::number(bin[j].y, 'f', 4);
    }
    const QString refusal = QStringLiteral(
        "CCT from 1000 to 20000 K and Duv from -0.05 to 0.05, each pair different, try again!");
    const QString full =
        QStringLiteral("All five rows are in use: clear one under \"User Define\" first.");
    const QString noDuv = QStringLiteral("Duv To holds no number, try again!");
    const struct
    {
        const char* limits[4];
        int row;                // the row filled, -1 for none
        const QString* message; // nullptr: none
    } cases[] = {
        {{"4745", "5311", "-0.004", "0.008"}, 1, nullptr},
        {{"500", "5311", "-0.004", "0.008"}, -1, &refusal},
        {{"4745", "4745", "-0.004", "0.008"}, -1, &refusal},
        {{"5311", "4745", "0.008", "-0.004"}, 3, nullptr}, // either order
        {{"4745", "5311", "-0.004", "0.08"}, -1, &refusal},
        {{"4745", "5311", "-0.004", "."}, -1, &noDuv},
        {{"4745", "5311", "-0,004", "0,008"}, 4, nullptr},
        {{"4745", "5311", "-0.004", "0.008"}, -1, &full},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.limits[0] << " " << c.limits[1] << " " << c.limits[2]
                                        << " " << c.limits[3]);
        dialogs.messages.clear();
        addLimits(c.limits[0], c.limits[1], c.limits[2], c.limits[3]);
        if (c.message != nullptr) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, *c.message);
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(row(c.row), expected);
        EXPECT_EQ(combo->currentText(), QStringLiteral("User %1").arg(c.row + 1));
    }
}

// The axes name the diagram shown and tick at round steps, before and after the switch and a
// zoom into a few thousandths.
TEST_F(GraphRegions, AxisTitlesFollowTheDiagramSwitchAndTicksStayRound)
{
    graph.open(nullptr);
    auto* view = child<GraphCanvas>(&graph, QStringLiteral("GraphView"));
    const auto titles = [view] {
        const TickedAxes& axes = view->picture().axes();
        return (axes.xTitle.text + QLatin1Char(' ') + axes.yTitle.text).toStdString();
    };
    const auto round = [view] {
        const double step = view->picture().axes().step;
        const double digit = step / std::pow(10.0, std::floor(std::log10(step)));
        return std::abs(digit - 1) < 1e-9 || std::abs(digit - 2) < 1e-9 ||
               std::abs(digit - 5) < 1e-9;
    };
    EXPECT_EQ(titles(), "x y");
    QTest::mouseClick(child<QRadioButton>(&graph, QStringLiteral("OptUV")), Qt::LeftButton);
    EXPECT_EQ(titles(), "u' v'");
    EXPECT_TRUE(round());
    const QPoint at(300, 200);
    for (int i = 0; i < 12; ++i) {
        QWheelEvent wheel(at, view->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
    }
    EXPECT_TRUE(round()) << view->picture().axes().step;
    EXPECT_LT(view->picture().axes().step, 0.01);
    QTest::mouseClick(child<QRadioButton>(&graph, QStringLiteral("OptXY")), Qt::LeftButton);
    EXPECT_EQ(titles(), "x y");
}

TEST_F(GraphRegions, WheelZoomsAboutTheMouseDraggingPansFitShowsTheWholeDiagram)
{
    graph.open(nullptr);
    auto* view = child<QWidget>(&graph, QStringLiteral("GraphView"));
    const GraphViewport& viewport = graph.viewport();
    const double whole = viewport.scale();
    const QPoint at(300, 200);
    const QPointF under = viewport.pixelToValue(at);
    QWheelEvent wheel(at, view->mapToGlobal(at), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    EXPECT_NEAR(viewport.scale(), whole * 1.25 * 1.25, 1e-6);
    EXPECT_NEAR(viewport.pixelToValue(at).x(), under.x(), 1e-9);
    EXPECT_NEAR(viewport.pixelToValue(at).y(), under.y(), 1e-9);

    const QPoint to = at + QPoint(50, -20);
    QTest::mousePress(view, Qt::LeftButton, {}, at);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    EXPECT_NEAR(viewport.pixelToValue(to).x(), under.x(), 1e-9);
    EXPECT_NEAR(viewport.pixelToValue(to).y(), under.y(), 1e-9);

    QTest::mouseClick(child<QPushButton>(&graph, QStringLiteral("CmdFit")), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(viewport.scale(), whole);
}

} // namespace
} // namespace plot

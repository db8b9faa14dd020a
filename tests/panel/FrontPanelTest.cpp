#include "panel/FrontPanel.h"

#include "FrameBuilder.h"

#include <QLabel>
#include <QTest>
#include <array>
#include <gtest/gtest.h>

namespace {

using paneltest::FrameBuilder;

// One frame shown on three ticks in a row, and what one label reads after each.
struct TickRow
{
    const char* name;
    FrameBuilder frame;
    const char* label;
    std::array<const char*, 3> texts;
};

class FrontPanelTicks : public testing::TestWithParam<TickRow>
{
};

TEST_P(FrontPanelTicks, LabelTextTickByTick)
{
    const TickRow& row = GetParam();
    panel::FrontPanel front;
    auto* label = front.findChild<QLabel*>(QLatin1String(row.label));
    ASSERT_NE(label, nullptr);
    for (const char* expected : row.texts) {
        front.apply(panel::ComputeDisplay(row.frame.fields()));
        EXPECT_EQ(label->text().toStdString(), expected);
    }
}

const FrameBuilder maxMin = FrameBuilder().mode(5).u32(13, 1500000).u32(31, 2000000);
// Mode 16 a little below the temperature reference: Ev 100.0 lx, 5000 K.
const FrameBuilder belowReference =
    FrameBuilder().mode(16).u32(5, 1000000).u32(71, 1000500).u32(39, 5000).u32(75, 50004000);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Frames, FrontPanelTicks, testing::Values(
    TickRow{"TcpInKelvin", FrameBuilder().u32(39, 6504), "LblTCP", {"6504", "6504", "6504"}},
    TickRow{"DeltaUvFourDecimals", FrameBuilder().s16(43, -12), "LblDeltauv",
            {"-0.0012", "-0.0012", "-0.0012"}},
    TickRow{"TcpOutOfRange", FrameBuilder().u32(39, 6504).byte(93, 0x08), "LblTCP",
            {"----", "----", "----"}},
    TickRow{"DeltaUvOutOfRange", FrameBuilder().s16(43, 5).byte(93, 0x08), "LblDeltauv",
            {"----", "----", "----"}},
    TickRow{"MaximumOverloadBlinks", FrameBuilder(maxMin).byte(93, 0x04), "VY", {"OL", "", "OL"}},
    TickRow{"MaximumOverloadKeepsEv", FrameBuilder(maxMin).byte(93, 0x04), "VX",
            {"150.0", "150.0", "150.0"}},
    TickRow{"OverloadMarkIsSteady", FrameBuilder(maxMin).byte(93, 0x06), "VY", {"OL", "OL", "OL"}},
    TickRow{"OtherModesIgnoreMaximumOverload", FrameBuilder().u16(17, 3127).byte(93, 0x04), "VY",
            {"0.3127", "0.3127", "0.3127"}},
    TickRow{"TcpBelowReferenceByLessThanOneKelvin", belowReference, "VY", {"-0", "-0", "-0"}},
    TickRow{"EvBelowReferenceByLessThanOneDigit", belowReference, "VX", {"-0.0", "-0.0", "-0.0"}},
    TickRow{"EvBelowReferenceInFootCandles", FrameBuilder(belowReference).byte(92, 1), "VX",
            {"-0.00", "-0.00", "-0.00"}}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

// Columns of `image` in [from, to] where any pixel of rows [top, bottom] differs from `background`.
std::vector<int> inkColumns(const QImage& image, QRgb background, int from, int to, int top,
                            int bottom)
{
    std::vector<int> columns;
    for (int x = from; x <= to; ++x)
        for (int y = top; y <= bottom; ++y)
            if (qGray(image.pixel(x, y)) - qGray(background) > 12) {
                columns.push_back(x);
                break;
            }
    return columns;
}

TEST(FrontPanelLook, UnitStandsClearOfTheLastDigit)
{
    for (const int unitByte : {0, 1}) {
        panel::FrontPanel front;
        front.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&front));
        front.apply(
            panel::ComputeDisplay(FrameBuilder().u32(13, 88888888).byte(92, unitByte).fields()));
        const auto* value = front.findChild<QLabel*>(QStringLiteral("VX"));
        const auto* unit = front.findChild<QLabel*>(QStringLiteral("LblUnit"));
        const QImage image = front.grab().toImage();
        const QRect v =
            value->geometry().translated(value->parentWidget()->mapTo(&front, QPoint()));
        const QRect u = unit->geometry().translated(unit->parentWidget()->mapTo(&front, QPoint()));
        const QRgb background = image.pixel(v.topLeft());
        const auto digits =
            inkColumns(image, background, v.left(), u.left() - 1, v.top(), v.bottom());
        const auto letters =
            inkColumns(image, background, u.left(), u.right(), v.top(), v.bottom());
        ASSERT_FALSE(digits.empty());
        ASSERT_FALSE(letters.empty());
        // Three columns of background between a 34 px digit and the unit read as one word.
        EXPECT_GE(letters.front() - digits.back() - 1, 8) << unit->text().toStdString();
    }
}

} // namespace

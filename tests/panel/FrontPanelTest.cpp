#include "panel/FrontPanel.h"

#include "FrameBuilder.h"

#include <QLabel>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace {

using paneltest::FrameBuilder;

// One frame shown on three ticks in a row; what one label reads after each, joined by "|".
struct TickRow
{
    const char* name;
    FrameBuilder frame;
    const char* label;
    const char* texts;
};

const FrameBuilder maxMin = FrameBuilder().mode(5).u32(31, 2000000);
// A little below the temperature reference of 100.0 lx and 5000 K.
const FrameBuilder belowReference =
    FrameBuilder().mode(16).u32(5, 1000000).u32(71, 1000500).u32(39, 5000).u32(75, 50004000);

TEST(FrontPanel, LabelTextTickByTick)
{
    // clang-format off
    const TickRow rows[] = {
        TickRow{"TcpOutOfRange", FrameBuilder().u32(39, 6504).byte(93, 8), "LblTCP", "----|----|----"},
        TickRow{"DeltaUvOutOfRange", FrameBuilder().s16(43, 5).byte(93, 8), "LblDeltauv", "----|----|----"},
        TickRow{"MaximumOverloadBlinks", FrameBuilder(maxMin).byte(93, 4), "VY", "OL||OL"},
        TickRow{"OverloadMarkStaysSteady", FrameBuilder(maxMin).byte(93, 6), "VY", "OL|OL|OL"},
        TickRow{"OtherModesIgnoreMaximumOverload", FrameBuilder().u16(17, 3127).byte(93, 4), "VY",
                "0.3127|0.3127|0.3127"},
        TickRow{"TcpBelowReference", belowReference, "VY", "-0|-0|-0"},
        TickRow{"EvBelowReference", belowReference, "VX", "-0.0|-0.0|-0.0"}};
    // clang-format on
    for (const TickRow& row : rows) {
        panel::FrontPanel front;
        auto* label = front.findChild<QLabel*>(QLatin1String(row.label));
        ASSERT_NE(label, nullptr);
        QStringList texts;
        for (int tick = 0; tick < 3; ++tick) {
            front.apply(panel::ComputeDisplay(row.frame.fields()));
            texts << label->text();
        }
        EXPECT_EQ(texts.join(QLatin1Char('|')).toStdString(), row.texts) << row.name;
    }
}

TEST(FrontPanelLook, UnitStandsClearOfTheLastDigit)
{
    for (const int unitByte : {0, 1}) {
        panel::FrontPanel front;
        front.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&front));
        front.apply(
            panel::ComputeDisplay(FrameBuilder().u32(13, 88888888).byte(92, unitByte).fields()));
        const QImage image = front.grab().toImage();
        const auto rect = [&front](const char* name) {
            const auto* label = front.findChild<QLabel*>(QLatin1String(name));
            return label->geometry().translated(label->parentWidget()->mapTo(&front, QPoint()));
        };
        const QRect value = rect("VX");
        const QRect unit = rect("LblUnit");
        const int background = qGray(image.pixel(value.topLeft()));
        // Columns with ink (light text on the dark glass) along the value line.
        std::vector<int> ink;
        for (int x = value.left(); x <= unit.right(); ++x)
            for (int y = value.top(); y <= value.bottom(); ++y)
                if (qGray(image.pixel(x, y)) - background > 12) {
                    ink.push_back(x);
                    break;
                }
        const auto firstOfUnit = std::lower_bound(ink.begin(), ink.end(), unit.left());
        ASSERT_TRUE(firstOfUnit != ink.begin() && firstOfUnit != ink.end());
        // Three columns of background between a 34 px digit and the unit read as one word.
        EXPECT_GE(*firstOfUnit - *std::prev(firstOfUnit) - 1, 8) << unitByte;
    }
}

} // namespace

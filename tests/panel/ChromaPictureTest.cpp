#include "panel/ChromaPicture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

class ChromaPictureTest : public ::testing::Test
{
protected:
    QLineEdit* box(const char* axis, int i)
    {
        return picture.findChild<QLineEdit*>(
            QStringLiteral("TxtNo%1(%2)").arg(QLatin1String(axis)).arg(i));
    }
    void corners(const std::array<std::array<const char*, 2>, 5>& points)
    {
        for (int i = 0; i < 5; ++i) {
            box("X", i)->setText(QLatin1String(points[static_cast<std::size_t>(i)][0]));
            box("Y", i)->setText(QLatin1String(points[static_cast<std::size_t>(i)][1]));
        }
    }
    QString result()
    {
        picture.findChild<QPushButton*>(QStringLiteral("CmdChromaOK"))->click();
        return picture.findChild<QLabel*>(QStringLiteral("LblChromaResult"))->text();
    }
    panel::ChromaPicture picture;
};

TEST_F(ChromaPictureTest, XBoxesFilterTypedKeysYBoxesDoNot)
{
    box("X", 1)->clear();
    box("Y", 1)->clear();
    QTest::keyClicks(box("X", 1), QStringLiteral("a0,3-.1e"));
    QTest::keyClick(box("X", 1), Qt::Key_Backspace);
    EXPECT_EQ(box("X", 1)->text(), "03-.1");
    QTest::keyClicks(box("Y", 1), QStringLiteral("a0,3"));
    EXPECT_EQ(box("Y", 1)->text(), "a0,3");
}

TEST_F(ChromaPictureTest, ShowsInsideOrOutside)
{
    picture.show();
    // Point is row 0, corners rows 1..4.
    corners({{{"0.5", "0.5"}, {"0", "0"}, {"1", "0"}, {"1", "1"}, {"0", "1"}}});
    EXPECT_EQ(result(), "Inside");
    corners({{{"1.5", "0.5"}, {"0", "0"}, {"1", "0"}, {"1", "1"}, {"0", "1"}}});
    EXPECT_EQ(result(), "Outside");
    // Crossed corner order finds the same boundary.
    corners({{{"0.5", "0.5"}, {"0", "0"}, {"1", "1"}, {"1", "0"}, {"0", "1"}}});
    EXPECT_EQ(result(), "Inside");
    // A point above a flat quadrilateral lies outside.
    corners({{{"0.1", "0.5"}, {"0", "0"}, {"1", "0"}, {"1", "0.2"}, {"0", "0.2"}}});
    EXPECT_EQ(result(), "Outside");
    // An empty box counts as 0: the point lands on corner P1.
    corners({{{"", ""}, {"0", "0"}, {"1", "0"}, {"1", "1"}, {"0", "1"}}});
    EXPECT_EQ(result(), "Inside");
    EXPECT_FALSE(picture.isHidden());
    picture.findChild<QPushButton*>(QStringLiteral("CmdExitChroma"))->click();
    EXPECT_TRUE(picture.isHidden());
}

} // namespace

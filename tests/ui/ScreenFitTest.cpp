#include "ui/ScreenFit.h"

#include <gtest/gtest.h>

namespace {

TEST(FitOnScreen, KeepsTheWantedPlaceOrMovesTheLeast)
{
    const QRect wide(0, 0, 1600, 1000);
    const QRect leftOfIt(-1280, 24, 1280, 1000); // a second screen, below a 24-pixel bar
    struct Row
    {
        const char* name;
        QRect frame;
        QRect available;
        QRect expected;
    };
    const Row rows[] = {
        {"fits", {1000, 100, 400, 300}, wide, {1000, 100, 400, 300}},
        {"beyond the right edge", {1506, 100, 400, 300}, wide, {1200, 100, 400, 300}},
        {"beyond the bottom", {100, 900, 400, 300}, wide, {100, 700, 400, 300}},
        {"larger than the screen", {1537, 20, 960, 1100}, wide, {640, 0, 960, 1000}},
        {"left screen, beyond its right edge",
         {-300, 300, 400, 300},
         leftOfIt,
         {-400, 300, 400, 300}},
        {"left screen, above its bar and off its left",
         {-1400, 0, 400, 300},
         leftOfIt,
         {-1280, 24, 400, 300}},
        {"no screen", {5000, 5000, 400, 300}, QRect(), {5000, 5000, 400, 300}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ui::FitOnScreen(row.frame, row.available), row.expected);
    }
}

// A window kept on a screen that is still there comes back on it, fitted; one kept on a screen
// unplugged since comes back nowhere (its first place).
TEST(RestoredFrame, ComesBackOnTheScreenThatHoldsMostOfIt)
{
    const QRect left(0, 0, 1600, 1000);
    const QRect right(1600, 0, 1280, 1024);
    struct Row
    {
        const char* name;
        QRect saved;
        QList<QRect> screens;
        std::optional<QRect> expected;
    };
    const Row rows[] = {
        {"as it was", {100, 100, 400, 300}, {left, right}, QRect(100, 100, 400, 300)},
        {"mostly on the right screen",
         {1500, 100, 400, 300},
         {left, right},
         QRect(1600, 100, 400, 300)},
        {"right screen gone", {1700, 100, 400, 300}, {left}, std::nullopt},
        {"a corner left on the screen", {1590, 990, 400, 300}, {left}, QRect(1200, 700, 400, 300)},
        {"larger than any screen", {-50, 0, 2000, 1200}, {left}, QRect(0, 0, 1600, 1000)},
        {"no screen at all", {100, 100, 400, 300}, {}, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ui::RestoredFrame(row.saved, row.screens), row.expected);
    }
}

} // namespace

#include "panel/ReferenceView.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string joined(const std::array<QString, 4>& boxes)
{
    std::string s;
    for (const auto& box : boxes)
        s += (box.isEmpty() ? QStringLiteral("_") : box).toStdString();
    return s;
}

struct FillRow
{
    const char* name;
    const char* unit;
    const char* illuminance;
    const char* first;
    const char* second;
    const char* caption;
    int digit2Left, markerLeft;
    const char* ev;
    const char* firstBoxes;
    const char* secondBoxes;
};

class ReferenceFill : public ::testing::TestWithParam<FillRow>
{
};

TEST_P(ReferenceFill, DigitsCaptionAndMarker)
{
    const FillRow& row = GetParam();
    const panel::ReferenceViewFill fill = panel::FillReferenceView(
        QString::fromLatin1(row.unit), QString::fromLatin1(row.illuminance),
        QString::fromLatin1(row.first), QString::fromLatin1(row.second));
    EXPECT_EQ(fill.caption.toStdString(), row.caption);
    EXPECT_EQ(fill.digit2Left, row.digit2Left);
    EXPECT_EQ(fill.markerLeft, row.markerLeft);
    EXPECT_EQ(joined(fill.ev), row.ev);
    EXPECT_EQ(joined(fill.first), row.firstBoxes);
    EXPECT_EQ(joined(fill.second), row.secondBoxes);
}

INSTANTIATE_TEST_SUITE_P(
    Views, ReferenceFill,
    ::testing::Values(FillRow{"lx", "lx", "123.4", "0.3127", "0.3290", "Ev (lx)", 1560, 2280,
                              "1234", "3127", "3290"},
                      FillRow{"fc", "fc", "12.34", "0.3127", "0.329", "Ev (fc)", 1800, 1560, "1234",
                              "3127", "329_"},
                      FillRow{"threeDecimals", "lx", "12.3", "0.313", "0.31", "Ev (lx)", 1560, 2280,
                              "123_", "313_", "31__"},
                      FillRow{"wideIlluminance", "lx", "12340", "0.3", "", "Ev (lx)", 1560, 2280,
                              "1234", "3___", "____"},
                      FillRow{"emptyTexts", "lx", "", "", "", "Ev (lx)", 1560, 2280, "0___", "____",
                              "____"},
                      // Anything but exactly "lx" counts as fc.
                      FillRow{"otherUnit", "LX", "1.5", "0.1978", "0.4683", "Ev (fc)", 1800, 1560,
                              "150_", "1978", "4683"},
                      // A display text with a comma separator reads back as the same number.
                      FillRow{"commaText", "lx", "123,4", "0,3127", "0,3290", "Ev (lx)", 1560, 2280,
                              "1234", "3127", "3290"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

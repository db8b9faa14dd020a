#include "link/platform/ReportDescriptor.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using meterlink::platform::reportLengthsFromDescriptor;

struct DescriptorRow
{
    const char* name;
    std::vector<std::uint8_t> descriptor;
    int input;
    int output;
};

class Descriptor : public testing::TestWithParam<DescriptorRow>
{
};

TEST_P(Descriptor, GivesTheLongestReportPlusTheIdByte)
{
    const auto& row = GetParam();
    const auto lengths = reportLengthsFromDescriptor(row.descriptor);
    EXPECT_EQ(lengths.input, row.input);
    EXPECT_EQ(lengths.output, row.output);
}

// Vendor page, one application collection, 8-bit items, 64 bytes in (81 02) and 64 out (91 02).
const std::vector<std::uint8_t> meterDescriptor = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x40, 0x09, 0x01, 0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0};

std::vector<std::uint8_t> cutAfter(std::vector<std::uint8_t> d, std::size_t n)
{
    d.resize(n);
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Link, Descriptor,
    testing::Values(
        DescriptorRow{"TheMetersLayout", meterDescriptor, 65, 65}, DescriptorRow{"Empty", {}, 0, 0},
        DescriptorRow{"InputOnly", {0x75, 0x08, 0x95, 0x08, 0x81, 0x02}, 9, 0},
        DescriptorRow{"NumberedReportsTakeTheLongest",
                      {0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02, 0x85, 0x02,
                       0x95, 0x20, 0x81, 0x02, 0x85, 0x03, 0x95, 0x04, 0x91, 0x02},
                      33,
                      5},
        DescriptorRow{"ItemsOfOneReportAddUp",
                      {0x75, 0x08, 0x95, 0x20, 0x81, 0x02, 0x95, 0x20, 0x81, 0x02},
                      65,
                      0},
        DescriptorRow{"BitsAreRoundedUpToBytes",
                      {0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x75, 0x03, 0x95, 0x01, 0x81, 0x01},
                      2,
                      0},
        DescriptorRow{
            "TwoByteCountForWideDevices", {0x75, 0x08, 0x96, 0x00, 0x01, 0x91, 0x02}, 0, 257},
        DescriptorRow{"PushAndPopRestoreTheGlobals",
                      {0x75, 0x08, 0x95, 0x40, 0xA4, 0x75, 0x10, 0x95, 0x01, 0xB4, 0x81, 0x02},
                      65,
                      0},
        DescriptorRow{"PopWithoutPushIsIgnored", {0xB4, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02}, 3, 0},
        DescriptorRow{"LongItemsAreSkippedWhole",
                      {0xFE, 0x02, 0x10, 0x81, 0x02, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02},
                      5,
                      0},
        DescriptorRow{"ATruncatedItemEndsTheParse", cutAfter(meterDescriptor, 25), 65, 0},
        DescriptorRow{
            "ATruncatedLongItemEndsTheParse", {0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0xFE}, 5, 0},
        DescriptorRow{"HugeSizesAreCapped",
                      {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02},
                      0x7FFF,
                      0}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

// The virtual meter's failure switches, seen through its HID handles.
#include "link/MeterCommands.h"
#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>

namespace {

using meterlink::platform::ReadOutcome;
using virtualmeter::VirtualMeter;

std::vector<std::uint8_t> pollCommand()
{
    std::vector<std::uint8_t> r(65, 0);
    r[1] = meterlink::meter::Poll;
    return r;
}

TEST(VirtualMeterFailures, UnpluggingDropsPendingReportsAndKillsOldHandles)
{
    VirtualMeter meter;
    auto old = meter.openForWriting(VirtualMeter::DevicePath);
    old->write(pollCommand());
    EXPECT_EQ(meter.pendingReports(), 2u);
    meter.setPlugged(false);
    EXPECT_TRUE(meter.interfaces().empty());
    EXPECT_EQ(meter.openForWriting(VirtualMeter::DevicePath), nullptr);
    meter.setPlugged(true);
    EXPECT_EQ(meter.pendingReports(), 0u);
    std::array<std::uint8_t, 65> buffer{};
    EXPECT_EQ(old->write(pollCommand()), -1);
    EXPECT_EQ(old->read(buffer, 1000).outcome, ReadOutcome::Error);
    EXPECT_FALSE(old->attributes().has_value());
    auto fresh = meter.openForWriting(VirtualMeter::DevicePath);
    EXPECT_EQ(fresh->write(pollCommand()), 65);
    EXPECT_EQ(fresh->read(buffer, 1000).outcome, ReadOutcome::Data);
}

TEST(VirtualMeterFailures, GarbageKeepsTheReportIdAndScramblesTheRest)
{
    VirtualMeter meter;
    meter.model().setLight(virtualmeter::Light{5000, 0, 400});
    auto handle = meter.openForWriting(VirtualMeter::DevicePath);
    std::array<std::uint8_t, 65> clean{};
    handle->write(pollCommand());
    handle->read(clean, 1000);
    handle->read(clean, 1000);
    handle->write(pollCommand());
    handle->read(clean, 1000);

    meter.setGarbage(true);
    std::array<std::uint8_t, 65> garbage{};
    EXPECT_EQ(handle->read(garbage, 1000).outcome, ReadOutcome::Data);
    EXPECT_EQ(garbage[0], 0);
    handle->write(pollCommand());
    handle->read(garbage, 1000);
    EXPECT_NE(garbage, clean);
}

TEST(VirtualMeterFailures, AReadDeliversNoMoreThanAskedOrAllowed)
{
    struct Row
    {
        int shortReports;
        std::size_t buffer;
        int delivered;
    };
    for (const Row& row :
         std::vector<Row>{{0, 65, 65}, {10, 65, 10}, {0, 33, 33}, {0, 80, 65}, {100, 65, 65}}) {
        SCOPED_TRACE(testing::Message() << row.shortReports << " " << row.buffer);
        VirtualMeter meter;
        meter.setShortReports(row.shortReports);
        meter.setReportDelay(std::chrono::microseconds{1000}); // slow, but it still arrives
        auto handle = meter.openForWriting(VirtualMeter::DevicePath);
        handle->write(pollCommand());
        std::vector<std::uint8_t> buffer(row.buffer, 0xEE);
        const auto result = handle->read(buffer, 1000);
        EXPECT_EQ(result.outcome, ReadOutcome::Data);
        EXPECT_EQ(result.bytes, row.delivered);
        if (row.buffer > static_cast<std::size_t>(row.delivered)) {
            EXPECT_EQ(buffer[static_cast<std::size_t>(row.delivered)], 0xEE);
        }
    }
}

} // namespace

#include "link/MeterCommands.h"
#include "link/MeterLink.h"
#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>

namespace {

struct Recorder : meterlink::LinkObserver
{
    std::vector<bool> searches;
    std::vector<std::string> failures;
    void meterSearched(bool found) override { searches.push_back(found); }
    void readFailed(const std::string& reason) override { failures.push_back(reason); }
};

TEST(MeterLink, PollAgainstTheVirtualMeterConnectsAndReadsTwoReports)
{
    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link(meter);
    Recorder recorder;
    link.setObserver(&recorder);
    link.OutputReport[1] = meterlink::meter::Poll;
    link.Exchange();
    ASSERT_TRUE(link.Connected());
    EXPECT_EQ(recorder.searches, std::vector<bool>{true});
    EXPECT_EQ(meter.writes().size(), 1u);
    EXPECT_EQ(meter.pendingReports(), 1u);
    link.ReceiveOnly();
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(meter.pendingReports(), 0u);
}

TEST(MeterLink, UnpluggedMeterTakesTheLinkDownWithTheErrorText)
{
    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link(meter);
    Recorder recorder;
    link.setObserver(&recorder);
    link.OutputReport[1] = meterlink::meter::Poll;
    link.Exchange();
    const auto previous = link.ReceivedReport;
    meter.setPlugged(false);
    link.ReceiveOnly();
    EXPECT_FALSE(link.Connected());
    EXPECT_FALSE(link.handlesOpen());
    EXPECT_EQ(link.vendorId(), 0);
    EXPECT_EQ(link.productId(), 0);
    EXPECT_EQ(recorder.failures, std::vector<std::string>{"Readfile undefined error"});
    EXPECT_EQ(link.ReceivedReport, previous);
}

} // namespace

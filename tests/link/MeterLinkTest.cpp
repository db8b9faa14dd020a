#include "link/MeterLink.h"

#include "link/MeterCommands.h"
#include "tests/link/ScriptedPlatform.h"
#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>

namespace {

namespace cmd = meterlink::meter;
using linktest::FakeDevice;
using linktest::ScriptedPlatform;

struct Recorder : meterlink::LinkObserver
{
    std::vector<bool> searches;
    std::vector<std::string> failures;
    void meterSearched(bool found) override { searches.push_back(found); }
    void readFailed(const std::string& reason) override { failures.push_back(reason); }
};

// --- discovery over a scripted list of interfaces ------------------------------------------

struct DiscoveryRow
{
    const char* name;
    std::function<std::vector<FakeDevice>()> devices;
    std::string chosen; // empty: nothing found
};

class Discovery : public testing::TestWithParam<DiscoveryRow>
{
};

TEST_P(Discovery, FindsTheFirstUsableMeterAndLeavesNothingElseOpen)
{
    const auto& row = GetParam();
    ScriptedPlatform platform;
    platform.devices = row.devices();
    meterlink::MeterLink link(platform);
    Recorder recorder;
    link.setObserver(&recorder);

    EXPECT_EQ(link.FindMeter(), !row.chosen.empty());
    EXPECT_EQ(link.Connected(), !row.chosen.empty());
    EXPECT_EQ(recorder.searches, std::vector<bool>{!row.chosen.empty()});
    for (const auto& d : platform.devices) {
        // The chosen meter holds a write and a read handle; every other device holds none.
        EXPECT_EQ(d.openHandles, d.path == row.chosen ? 2 : 0) << d.path;
    }
    if (!row.chosen.empty()) {
        EXPECT_EQ(link.devicePath(), row.chosen);
        EXPECT_EQ(link.vendorId(), cmd::VendorId);
        EXPECT_EQ(link.productId(), cmd::ProductId);
    } else {
        EXPECT_FALSE(link.handlesOpen());
    }
}

FakeDevice withLengths(FakeDevice d, std::optional<linktest::ReportLengths> lengths)
{
    d.lengths = lengths;
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Link, Discovery,
    testing::Values(
        DiscoveryRow{"NoDevicesAtAll", [] { return std::vector<FakeDevice>{}; }, ""},
        DiscoveryRow{"OnlyAKeyboardThatRefusesOpening",
                     [] { return std::vector<FakeDevice>{linktest::keyboard("kbd")}; }, ""},
        DiscoveryRow{"ADeviceWithOtherIdentifiersIsClosedAgain",
                     [] { return std::vector<FakeDevice>{linktest::foreignDevice("mouse")}; }, ""},
        DiscoveryRow{"KeyboardAndForeignDeviceAreSkipped",
                     [] {
                         return std::vector<FakeDevice>{linktest::keyboard("kbd"),
                                                        linktest::foreignDevice("mouse"),
                                                        linktest::meterDevice("meter")};
                     },
                     "meter"},
        DiscoveryRow{"TwoMetersTheLowerIndexWins",
                     [] {
                         return std::vector<FakeDevice>{linktest::meterDevice("first"),
                                                        linktest::meterDevice("second")};
                     },
                     "first"},
        DiscoveryRow{"UnreadableAttributesDoNotMatch",
                     [] {
                         auto silentOne = linktest::meterDevice("blank");
                         silentOne.attributes.reset();
                         return std::vector<FakeDevice>{silentOne, linktest::meterDevice("meter")};
                     },
                     "meter"},
        DiscoveryRow{"InputReportsLongerThan65AreRefused",
                     [] {
                         return std::vector<FakeDevice>{
                             withLengths(linktest::meterDevice("wide"),
                                         linktest::ReportLengths{66, 65}),
                             linktest::meterDevice("meter")};
                     },
                     "meter"},
        DiscoveryRow{"OutputReportsLongerThan65AreRefused",
                     [] {
                         return std::vector<FakeDevice>{withLengths(
                             linktest::meterDevice("wide"), linktest::ReportLengths{65, 129})};
                     },
                     ""},
        DiscoveryRow{"ZeroLengthReportsAreRefused",
                     [] {
                         return std::vector<FakeDevice>{withLengths(
                             linktest::meterDevice("empty"), linktest::ReportLengths{0, 65})};
                     },
                     ""},
        DiscoveryRow{"UndeclaredLengthsCountAsTheMetersOwn",
                     [] {
                         return std::vector<FakeDevice>{
                             withLengths(linktest::meterDevice("meter"), std::nullopt)};
                     },
                     "meter"},
        DiscoveryRow{"ASecondOpenThatFailsLeavesNothingOpen",
                     [] {
                         auto d = linktest::meterDevice("meter");
                         d.refusesReadOpen = true;
                         return std::vector<FakeDevice>{d};
                     },
                     ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MeterLink, TheSecondMeterIsNeverOpened)
{
    ScriptedPlatform platform;
    platform.devices = {linktest::meterDevice("first"), linktest::meterDevice("second")};
    meterlink::MeterLink link(platform);
    link.FindMeter();
    EXPECT_EQ(platform.device("second").opens, 0);
}

TEST(MeterLink, WithoutAMeterEveryExchangeSearchesAgainAndSendsNothing)
{
    ScriptedPlatform platform;
    platform.devices = {linktest::foreignDevice("mouse")};
    meterlink::MeterLink link(platform);
    Recorder recorder;
    link.setObserver(&recorder);
    const auto before = link.ReceivedReport;
    for (int i = 0; i < 3; ++i)
        link.Exchange();
    EXPECT_EQ(platform.enumerations, 3);
    EXPECT_EQ(recorder.searches, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(link.ReceivedReport, before);
}

// --- exchanges with the virtual meter ------------------------------------------------------

class LinkWithMeter : public testing::Test
{
protected:
    LinkWithMeter() { link.setObserver(&recorder); }

    void poll()
    {
        link.OutputReport[0] = 0;
        link.OutputReport[1] = cmd::Poll;
        link.Exchange();
    }

    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link{meter};
    Recorder recorder;
};

TEST_F(LinkWithMeter, AMeterPluggedInLaterIsFoundByTheNextPollAndUsedAtOnce)
{
    meter.setPlugged(false);
    poll();
    EXPECT_FALSE(link.Connected());
    EXPECT_TRUE(meter.writes().empty());

    meter.setPlugged(true);
    poll();
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(recorder.searches, (std::vector<bool>{false, true}));
    ASSERT_EQ(meter.writes().size(), 1u);
    EXPECT_EQ(meter.pendingReports(), 1u); // the second half of the frame
}

TEST_F(LinkWithMeter, TheWriteCarriesTheWholeReportWithIdZero)
{
    poll();
    ASSERT_EQ(meter.writes().size(), 1u);
    EXPECT_EQ(meter.writes()[0].size(), 65u);
    EXPECT_EQ(meter.writes()[0][0], 0);
    EXPECT_EQ(meter.writes()[0][1], cmd::Poll);
}

TEST_F(LinkWithMeter, AShorterDeclaredOutputLengthIsWhatTheWriteSends)
{
    meter.setDeclaredLengths(meterlink::platform::ReportLengths{65, 33});
    poll();
    ASSERT_EQ(meter.writes().size(), 1u);
    EXPECT_EQ(meter.writes()[0].size(), 33u);
}

TEST_F(LinkWithMeter, ADeviceDeclaringLongerReportsIsRefused)
{
    meter.setDeclaredLengths(meterlink::platform::ReportLengths{65, 66});
    poll();
    EXPECT_FALSE(link.Connected());
    EXPECT_TRUE(meter.writes().empty());
}

struct FailureRow
{
    const char* name;
    bool unplug; // else silent
    bool receiveOnly;
    const char* text;
};

class ReadFailure : public LinkWithMeter, public testing::WithParamInterface<FailureRow>
{
};

TEST_P(ReadFailure, TakesTheLinkDownAndKeepsThePreviousReport)
{
    const auto& row = GetParam();
    poll();
    link.ReceiveOnly();
    ASSERT_TRUE(link.Connected());
    const auto previous = link.ReceivedReport;

    if (row.unplug)
        meter.setPlugged(false);
    else
        meter.setSilent(true);
    if (row.receiveOnly)
        link.ReceiveOnly();
    else
        poll();

    EXPECT_FALSE(link.Connected());
    EXPECT_FALSE(link.handlesOpen());
    EXPECT_EQ(link.vendorId(), 0);
    EXPECT_EQ(link.productId(), 0);
    EXPECT_EQ(recorder.failures, std::vector<std::string>{row.text});
    EXPECT_EQ(link.ReceivedReport, previous);

    // The next exchange finds the meter again and goes through in the same call.
    meter.setPlugged(true);
    meter.setSilent(false);
    meter.clearWrites();
    poll();
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(link.vendorId(), cmd::VendorId);
    EXPECT_EQ(meter.writes().size(), 1u);
    EXPECT_EQ(recorder.failures.size(), 1u); // the old text is not repeated or cleared
}

INSTANTIATE_TEST_SUITE_P(
    Link, ReadFailure,
    testing::Values(FailureRow{"TimeOutOnExchange", false, false, "Readfile timeout"},
                    FailureRow{"TimeOutOnReceiveOnly", false, true, "Readfile timeout"},
                    FailureRow{"ErrorOnExchange", true, false, "Readfile undefined error"},
                    FailureRow{"ErrorOnReceiveOnly", true, true, "Readfile undefined error"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MeterLink, ATimeOutCancelsThePendingReadAndClosesBothHandles)
{
    ScriptedPlatform platform;
    platform.devices = {linktest::meterDevice("mute")}; // takes writes, never answers
    meterlink::MeterLink link(platform);
    link.Exchange();
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(platform.device("mute").cancels, 1);
    EXPECT_EQ(platform.device("mute").openHandles, 0);
}

TEST_F(LinkWithMeter, SendOnlyWhileDisconnectedFindsTheMeterButSendsNothing)
{
    link.OutputReport[1] = cmd::Command;
    link.OutputReport[2] = cmd::WriteSamplingTime;
    link.SendOnly();
    EXPECT_TRUE(link.Connected());
    EXPECT_TRUE(meter.writes().empty());
    link.SendOnly();
    EXPECT_EQ(meter.writes().size(), 1u);
}

TEST_F(LinkWithMeter, ReceiveOnlyWhileDisconnectedFindsTheMeterButReadsNothing)
{
    meter.queueReport(virtualmeter::Report{0, 42});
    link.ReceiveOnly();
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(meter.readCount(), 0);
    EXPECT_EQ(link.ReceivedReport[1], 0);
    link.ReceiveOnly();
    EXPECT_EQ(link.ReceivedReport[1], 42);
}

TEST_F(LinkWithMeter, BytesLeftByAnEarlierCommandTravelWithTheNextOne)
{
    link.OutputReport[1] = cmd::Command;
    link.OutputReport[2] = cmd::SetSize;
    for (int i = 3; i <= 16; ++i)
        link.OutputReport[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>('0' + i % 10);
    link.Exchange();
    link.OutputReport[2] = cmd::key::Mode; // a key sets bytes 1 and 2 only
    link.Exchange();
    ASSERT_EQ(meter.writes().size(), 2u);
    const auto& second = meter.writes()[1];
    EXPECT_EQ(second[2], cmd::key::Mode);
    for (std::size_t i = 3; i <= 16; ++i)
        EXPECT_EQ(second[i], '0' + i % 10) << i;
}

TEST_F(LinkWithMeter, AShortReportLeavesNoStaleBytesBehindIt)
{
    poll();
    link.ReceiveOnly();
    meter.setShortReports(10);
    meter.queueReport([] {
        virtualmeter::Report r{};
        r.fill(7);
        r[0] = 0;
        return r;
    }());
    link.ReceiveOnly();
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(link.ReceivedReport[9], 7);
    EXPECT_EQ(link.ReceivedReport[10], 0);
    EXPECT_EQ(link.ReceivedReport[64], 0);
}

// --- the drain before a command ------------------------------------------------------------

class Drain : public LinkWithMeter, public testing::WithParamInterface<int>
{
};

TEST_P(Drain, ReadsUpToTwoPendingReportsAndKeepsTheLink)
{
    poll();
    link.ReceiveOnly();
    const int pending = GetParam();
    for (int i = 0; i < pending; ++i)
        meter.queueReport(virtualmeter::Report{0, static_cast<std::uint8_t>(i + 1)});
    link.Drain();
    EXPECT_TRUE(link.Connected());
    EXPECT_TRUE(recorder.failures.empty());
    EXPECT_EQ(meter.pendingReports(), static_cast<std::size_t>(std::max(0, pending - 2)));
}

INSTANTIATE_TEST_SUITE_P(Link, Drain, testing::Values(0, 1, 2, 3));

TEST_F(LinkWithMeter, ADrainWhileDisconnectedOnlyReconnects)
{
    meter.queueReport(virtualmeter::Report{});
    link.Drain();
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(meter.readCount(), 0);
}

TEST_F(LinkWithMeter, ADrainThatHitsAnErrorTakesTheLinkDown)
{
    poll();
    link.ReceiveOnly();
    meter.setPlugged(false);
    link.Drain();
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(recorder.failures, std::vector<std::string>{"Readfile undefined error"});
}

TEST_F(LinkWithMeter, ADrainOnASilentMeterKeepsTheLink)
{
    poll();
    link.ReceiveOnly();
    meter.setSilent(true);
    link.Drain();
    EXPECT_TRUE(link.Connected());
    EXPECT_TRUE(recorder.failures.empty());
}

} // namespace

#include "link/MeterLink.h"

#include "link/MeterCommands.h"
#include "link/platform/HidPlatform.h"
#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

namespace cmd = meterlink::meter;
using meterlink::platform::HidAttributes;
using meterlink::platform::ReportLengths;

// One HID interface of a scripted machine: it takes writes and never answers.
struct FakeDevice
{
    std::string path;
    bool refusesOpen = false;     // keyboards and mice
    bool refusesReadOpen = false; // opens once, fails the second (overlapped) open
    std::optional<HidAttributes> attributes;
    std::optional<ReportLengths> lengths = ReportLengths{65, 65};
    int opens = 0;
    int openHandles = 0;
    int cancels = 0;
};

class ScriptedPlatform : public meterlink::platform::HidPlatform
{
public:
    std::vector<FakeDevice> devices;
    int enumerations = 0;

    FakeDevice& device(const std::string& path)
    {
        for (auto& d : devices)
            if (d.path == path)
                return d;
        throw std::out_of_range(path);
    }
    std::vector<meterlink::platform::HidInterface> interfaces() override
    {
        ++enumerations;
        std::vector<meterlink::platform::HidInterface> list;
        for (const auto& d : devices)
            list.push_back({d.path});
        return list;
    }
    std::unique_ptr<meterlink::platform::HidHandle> openForWriting(const std::string& path) override
    {
        return open(path, false);
    }
    std::unique_ptr<meterlink::platform::HidHandle> openForReading(const std::string& path) override
    {
        return open(path, true);
    }

private:
    class Handle : public meterlink::platform::HidHandle
    {
    public:
        explicit Handle(FakeDevice& device) : m_device(device) { ++m_device.openHandles; }
        ~Handle() override { --m_device.openHandles; }
        std::optional<HidAttributes> attributes() override { return m_device.attributes; }
        std::optional<ReportLengths> reportLengths() override { return m_device.lengths; }
        int write(std::span<const std::uint8_t> report) override
        {
            return static_cast<int>(report.size());
        }
        meterlink::platform::ReadResult read(std::span<std::uint8_t>, int) override
        {
            return {meterlink::platform::ReadOutcome::TimeOut, 0};
        }
        void cancel() override { ++m_device.cancels; }

    private:
        FakeDevice& m_device;
    };

    std::unique_ptr<meterlink::platform::HidHandle> open(const std::string& path, bool forReading)
    {
        FakeDevice& d = device(path);
        if (d.refusesOpen || (forReading && d.refusesReadOpen))
            return nullptr;
        ++d.opens;
        return std::make_unique<Handle>(d);
    }
};

enum class Kind
{
    Keyboard,
    Foreign,
    Meter,
    NoAttributes,
    RefusesReadOpen
};

FakeDevice device(Kind kind, const char* path,
                  std::optional<ReportLengths> lengths = ReportLengths{65, 65})
{
    FakeDevice d;
    d.path = path;
    d.refusesOpen = kind == Kind::Keyboard;
    d.refusesReadOpen = kind == Kind::RefusesReadOpen;
    if (kind == Kind::Foreign)
        d.attributes = HidAttributes{0x046D, 0xC52B, 1};
    else if (kind != Kind::Keyboard && kind != Kind::NoAttributes)
        d.attributes = HidAttributes{cmd::VendorId, cmd::ProductId, 0x100};
    d.lengths = lengths;
    return d;
}

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
    std::vector<FakeDevice> devices;
    std::string chosen; // empty: nothing found
};

class Discovery : public testing::TestWithParam<DiscoveryRow>
{
};

TEST_P(Discovery, FindsTheFirstUsableMeterAndLeavesNothingElseOpen)
{
    const auto& row = GetParam();
    ScriptedPlatform platform;
    platform.devices = row.devices;
    meterlink::MeterLink link(platform);
    Recorder recorder;
    link.setObserver(&recorder);

    link.drain(); // with the link down, this only looks for the meter
    EXPECT_EQ(link.connected(), !row.chosen.empty());
    EXPECT_EQ(recorder.searches, std::vector<bool>{!row.chosen.empty()});
    bool afterChosen = false;
    for (const auto& d : platform.devices) {
        // The chosen meter holds a write and a read handle; every other device holds none,
        // and nothing after the chosen one is even opened.
        EXPECT_EQ(d.openHandles, d.path == row.chosen ? 2 : 0) << d.path;
        if (afterChosen) {
            EXPECT_EQ(d.opens, 0) << d.path;
        }
        afterChosen = afterChosen || d.path == row.chosen;
    }
    if (!row.chosen.empty()) {
        EXPECT_EQ(link.devicePath(), row.chosen);
        EXPECT_EQ(link.vendorId(), cmd::VendorId);
        EXPECT_EQ(link.productId(), cmd::ProductId);
    } else {
        EXPECT_FALSE(link.handlesOpen());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Link, Discovery,
    testing::Values(
        DiscoveryRow{"NoDevicesAtAll", {}, ""},
        DiscoveryRow{"KeyboardAndForeignDeviceAreSkipped",
                     {device(Kind::Keyboard, "kbd"), device(Kind::Foreign, "mouse"),
                      device(Kind::Meter, "meter")},
                     "meter"},
        DiscoveryRow{"TwoMetersTheLowerIndexWins",
                     {device(Kind::Meter, "first"), device(Kind::Meter, "second")},
                     "first"},
        DiscoveryRow{"UnreadableAttributesDoNotMatch",
                     {device(Kind::NoAttributes, "blank"), device(Kind::Meter, "meter")},
                     "meter"},
        DiscoveryRow{"ReportsLongerThan65OrEmptyAreRefused",
                     {device(Kind::Meter, "wideIn", ReportLengths{66, 65}),
                      device(Kind::Meter, "wideOut", ReportLengths{65, 129}),
                      device(Kind::Meter, "empty", ReportLengths{0, 65}),
                      device(Kind::Meter, "meter")},
                     "meter"},
        DiscoveryRow{"UndeclaredLengthsCountAsTheMetersOwn",
                     {device(Kind::Meter, "meter", std::nullopt)},
                     "meter"},
        DiscoveryRow{
            "ASecondOpenThatFailsLeavesNothingOpen", {device(Kind::RefusesReadOpen, "meter")}, ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MeterLink, WithoutAMeterEveryRequestSearchesAgainAndSendsNothing)
{
    ScriptedPlatform platform;
    platform.devices = {device(Kind::Foreign, "mouse")};
    meterlink::MeterLink link(platform);
    Recorder recorder;
    link.setObserver(&recorder);
    for (int i = 0; i < 3; ++i) {
        const auto reply = link.request(meterlink::commands::Poll(), 2);
        EXPECT_EQ(reply.outcome, meterlink::Reply::Outcome::NoMeter);
        EXPECT_TRUE(reply.answers.empty());
    }
    EXPECT_EQ(platform.enumerations, 3);
    EXPECT_EQ(recorder.searches, (std::vector<bool>{false, false, false}));
}

TEST(MeterLink, ATimeOutCancelsThePendingReadAndClosesBothHandles)
{
    ScriptedPlatform platform;
    platform.devices = {device(Kind::Meter, "mute")}; // takes writes, never answers
    meterlink::MeterLink link(platform);
    const auto reply = link.request(meterlink::commands::Poll(), 2);
    EXPECT_EQ(reply.outcome, meterlink::Reply::Outcome::LinkLost);
    EXPECT_EQ(reply.reason, "Readfile timeout");
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(platform.device("mute").cancels, 1);
    EXPECT_EQ(platform.device("mute").openHandles, 0);
}

// --- exchanges with the virtual meter ------------------------------------------------------

class LinkWithMeter : public testing::Test
{
protected:
    LinkWithMeter() { link.setObserver(&recorder); }

    meterlink::Reply poll() { return link.request(meterlink::commands::Poll(), 1); }
    // A poll answered in full, so that nothing is pending.
    void pollBoth() { link.request(meterlink::commands::Poll(), 2); }

    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link{meter};
    Recorder recorder;
};

TEST_F(LinkWithMeter, AMeterPluggedInLaterIsFoundByTheNextPollAndUsedAtOnce)
{
    meter.setPlugged(false);
    EXPECT_EQ(poll().outcome, meterlink::Reply::Outcome::NoMeter);
    EXPECT_TRUE(meter.writes().empty());

    meter.setPlugged(true);
    EXPECT_TRUE(poll().answered());
    EXPECT_EQ(recorder.searches, (std::vector<bool>{false, true}));
    ASSERT_EQ(meter.writes().size(), 1u);
    EXPECT_EQ(meter.pendingReports(), 1u); // the second half of the frame
}

TEST_F(LinkWithMeter, TheWriteIsAsLongAsTheDeclaredOutputReport)
{
    // declared output length -> bytes written (0: refused, nothing written)
    for (const auto& [declared, written] :
         std::vector<std::pair<std::optional<int>, std::size_t>>{{{}, 65}, {33, 33}, {66, 0}}) {
        SCOPED_TRACE(declared.value_or(-1));
        virtualmeter::VirtualMeter m;
        meterlink::MeterLink l{m};
        if (declared)
            m.setDeclaredLengths(ReportLengths{65, *declared});
        l.request(meterlink::commands::Poll(), 1);
        EXPECT_EQ(l.connected(), written > 0);
        ASSERT_EQ(m.writes().size(), written > 0 ? 1u : 0u);
        if (written > 0) {
            EXPECT_EQ(m.writes()[0].size(), written);
            EXPECT_EQ(m.writes()[0][0], 0); // report ID
            EXPECT_EQ(m.writes()[0][1], cmd::Poll);
        }
    }
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

TEST_P(ReadFailure, TakesTheLinkDownAndSaysWhy)
{
    const auto& row = GetParam();
    pollBoth();
    ASSERT_TRUE(link.connected());

    if (row.unplug)
        meter.setPlugged(false);
    else
        meter.setSilent(true);
    if (row.receiveOnly) {
        EXPECT_FALSE(link.receive());
    } else {
        const auto reply = poll();
        EXPECT_EQ(reply.outcome, meterlink::Reply::Outcome::LinkLost);
        EXPECT_EQ(reply.reason, row.text);
        EXPECT_TRUE(reply.answers.empty());
    }

    EXPECT_FALSE(link.connected());
    EXPECT_FALSE(link.handlesOpen());
    EXPECT_EQ(link.vendorId(), 0);
    EXPECT_EQ(link.productId(), 0);
    EXPECT_EQ(recorder.failures, std::vector<std::string>{row.text});

    // The next exchange finds the meter again and goes through in the same call.
    meter.setPlugged(true);
    meter.setSilent(false);
    meter.clearWrites();
    EXPECT_TRUE(poll().answered());
    EXPECT_EQ(link.vendorId(), cmd::VendorId);
    EXPECT_EQ(meter.writes().size(), 1u);
    EXPECT_EQ(recorder.failures.size(), 1u); // the old text is not repeated or cleared
}

INSTANTIATE_TEST_SUITE_P(
    Link, ReadFailure,
    testing::Values(FailureRow{"TimeOutOnRequest", false, false, "Readfile timeout"},
                    FailureRow{"TimeOutOnReceive", false, true, "Readfile timeout"},
                    FailureRow{"ErrorOnRequest", true, false, "Readfile undefined error"},
                    FailureRow{"ErrorOnReceive", true, true, "Readfile undefined error"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LinkWithMeter, SendOrReceiveWhileDisconnectedOnlyReconnects)
{
    const auto command = meterlink::commands::WriteSamplingTime(60);
    EXPECT_EQ(link.request(command, 0).outcome, meterlink::Reply::Outcome::NoMeter);
    EXPECT_TRUE(link.connected());
    EXPECT_TRUE(meter.writes().empty());
    EXPECT_TRUE(link.request(command, 0).answered());
    EXPECT_EQ(meter.writes().size(), 1u);

    virtualmeter::VirtualMeter other;
    meterlink::MeterLink reader{other};
    other.queueReport(virtualmeter::Report{0, 42});
    EXPECT_FALSE(reader.receive());
    EXPECT_TRUE(reader.connected());
    EXPECT_EQ(other.readCount(), 0);
    const auto answer = reader.receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->byte(1), 42);
}

TEST_F(LinkWithMeter, AShortReportLeavesNoStaleBytesBehindIt)
{
    pollBoth();
    meter.setShortReports(10);
    virtualmeter::Report sevens{};
    sevens.fill(7);
    sevens[0] = 0;
    meter.queueReport(sevens);
    const auto answer = link.receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->byte(9), 7);
    EXPECT_EQ(answer->byte(10), 0);
    EXPECT_EQ(answer->byte(64), 0);
}

// --- the drain before a command ------------------------------------------------------------

struct DrainRow
{
    const char* name;
    int pending;
    enum
    {
        Plugged,
        Silent,
        Unplugged,
        NeverConnected
    } state;
    std::size_t left;
    const char* failure; // nullptr: the link stays up
};

class Drain : public LinkWithMeter, public testing::WithParamInterface<DrainRow>
{
};

TEST_P(Drain, ReadsUpToTwoPendingReportsAndKeepsTheLinkUnlessItBreaks)
{
    const auto& row = GetParam();
    if (row.state != DrainRow::NeverConnected)
        pollBoth();
    for (int i = 0; i < row.pending; ++i)
        meter.queueReport(virtualmeter::Report{0, static_cast<std::uint8_t>(i + 1)});
    meter.setSilent(row.state == DrainRow::Silent);
    meter.setPlugged(row.state != DrainRow::Unplugged);
    const int readsBefore = meter.readCount();
    link.drain();
    EXPECT_EQ(link.connected(), row.failure == nullptr);
    EXPECT_EQ(recorder.failures,
              row.failure ? std::vector<std::string>{row.failure} : std::vector<std::string>{});
    if (row.state == DrainRow::NeverConnected) {
        EXPECT_EQ(meter.readCount(), readsBefore); // it only reconnects
    }
    if (row.state != DrainRow::Unplugged) {
        EXPECT_EQ(meter.pendingReports(), row.left);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Link, Drain,
    testing::Values(DrainRow{"NothingPending", 0, DrainRow::Plugged, 0, nullptr},
                    DrainRow{"OnePending", 1, DrainRow::Plugged, 0, nullptr},
                    DrainRow{"TwoPending", 2, DrainRow::Plugged, 0, nullptr},
                    DrainRow{"ThreePendingLeavesOne", 3, DrainRow::Plugged, 1, nullptr},
                    DrainRow{"WhileDisconnected", 1, DrainRow::NeverConnected, 1, nullptr},
                    DrainRow{"SilentMeter", 0, DrainRow::Silent, 0, nullptr},
                    DrainRow{"Unplugged", 0, DrainRow::Unplugged, 0, "Readfile undefined error"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

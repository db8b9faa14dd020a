// Meter sequences: one at a time, the live poll paused while they run and resumed however
// they end, and holds that keep it paused across them.
#include "link/MeterSequence.h"

#include "link/MeterCommands.h"
#include "tests/support/FakePoll.h"
#include "virtualmeter/VirtualMeter.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

namespace commands = meterlink::commands;
using Switches = std::vector<bool>; // false: paused, true: resumed

class Sequences : public testing::Test
{
protected:
    Sequences() { runner.setPollGate(&poll); }

    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link{meter};
    meterlink::SequenceRunner runner{link};
    testsupport::FakePoll poll;
};

struct WayOut
{
    const char* name;
    std::function<void(meterlink::MeterSequence&, virtualmeter::VirtualMeter&)> steps;
};

class EveryWayOut : public Sequences, public testing::WithParamInterface<WayOut>
{
};

TEST_P(EveryWayOut, ResumesThePollOnce)
{
    {
        auto sequence = runner.begin();
        ASSERT_TRUE(sequence);
        EXPECT_TRUE(runner.running());
        GetParam().steps(*sequence, meter);
    }
    EXPECT_FALSE(runner.running());
    EXPECT_EQ(poll.calls, (Switches{false, true}));
    EXPECT_TRUE(runner.begin()); // the next one may begin
}

INSTANTIATE_TEST_SUITE_P(
    Sequence, EveryWayOut,
    testing::Values(
        WayOut{"Answered",
               [](auto& s, auto&) { EXPECT_TRUE(s.request(commands::MemoryStatus()).answered()); }},
        WayOut{"EarlyReturn", [](auto&, auto&) {}},
        WayOut{"NoMeter",
               [](auto& s, auto& m) {
                   m.setPlugged(false);
                   s.drain(); // the link goes down here
                   EXPECT_EQ(s.request(commands::ReadClock()).outcome,
                             meterlink::Reply::Outcome::NoMeter);
               }},
        WayOut{"LinkLostMidway",
               [](auto& s, auto& m) {
                   s.send(commands::Directory());
                   m.setSilent(true);
                   EXPECT_FALSE(s.receive());
               }},
        WayOut{"HandedOnAndEndedThere",
               [](auto& s, auto&) { const meterlink::MeterSequence moved(std::move(s)); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Sequences, ASecondSequenceAndThePollAreRefusedWhileOneRuns)
{
    auto first = runner.begin();
    ASSERT_TRUE(first);
    meter.clearWrites();
    EXPECT_FALSE(runner.begin());
    EXPECT_FALSE(runner.begin(meterlink::SequenceRunner::Drain::Skip));
    EXPECT_FALSE(runner.poll());
    EXPECT_TRUE(meter.writes().empty());
    EXPECT_EQ(poll.calls, Switches{false});
    first.reset();
    EXPECT_TRUE(runner.poll().value().answered());
}

TEST_F(Sequences, AHoldKeepsThePollPausedAcrossSequences)
{
    std::optional<meterlink::PollHold> hold(runner.hold());
    for (int i = 0; i < 2; ++i) {
        auto sequence = runner.begin();
        ASSERT_TRUE(sequence);
        sequence->request(commands::ReadClock());
    }
    EXPECT_FALSE(runner.poll()); // a tick already on its way when the hold began
    EXPECT_EQ(poll.calls, Switches{false});
    hold.reset();
    EXPECT_EQ(poll.calls, (Switches{false, true}));
    EXPECT_TRUE(runner.poll().value().answered());
}

TEST_F(Sequences, OnlyTheKeysSkipTheDrain)
{
    link.drain(); // finds the meter
    for (const auto drain :
         {meterlink::SequenceRunner::Drain::First, meterlink::SequenceRunner::Drain::Skip}) {
        meter.queueReport(virtualmeter::Report{0, 1});
        const auto sequence = runner.begin(drain);
        EXPECT_EQ(meter.pendingReports(),
                  drain == meterlink::SequenceRunner::Drain::Skip ? 1u : 0u);
    }
}

} // namespace

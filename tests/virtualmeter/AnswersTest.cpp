// The virtual meter's answers, byte by byte, as the program sees them through the link.
#include "link/MeterCommands.h"
#include "link/MeterLink.h"
#include "virtualmeter/MeterMemory.h"
#include "virtualmeter/VirtualMeter.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

namespace cmd = meterlink::meter;
namespace commands = meterlink::commands;
using Bytes = std::vector<std::uint8_t>;

class Answers : public testing::Test
{
protected:
    Answers()
    {
        meter.setClock([this] { return m_now; });
        meter.model().setLight(virtualmeter::Light{5000, 0.001, 400});
        meter.model().setMeterTime({2026, 12, 5, 16, 39, 5}, m_now);
    }

    // Byte 1 = 6, byte 2 = sub, the parameters from byte 3; one answer read, or none when the
    // answer is left to the test. Data byte n of the answer at index n.
    Bytes command(std::uint8_t sub, Bytes params = {}, bool exchange = true)
    {
        return request(meterlink::Command(cmd::Command, sub, params), exchange ? 1 : 0);
    }
    Bytes request(const meterlink::Command& command, int answers)
    {
        if (!link.connected())
            link.drain(); // finds the meter
        const auto reply = link.request(command, answers);
        return reply.answers.empty() ? Bytes(65) : data(reply.answers.front());
    }
    void send(std::uint8_t sub, Bytes params = {}) { command(sub, std::move(params), false); }
    Bytes receive()
    {
        const auto answer = link.receive();
        return answer ? data(*answer) : Bytes(65);
    }
    static Bytes data(const meterlink::Answer& answer)
    {
        Bytes bytes{0};
        const auto all = answer.bytes(1, meterlink::Answer::DataBytes);
        bytes.insert(bytes.end(), all.begin(), all.end());
        return bytes;
    }
    // The 128-byte frame, frame byte n at index n.
    Bytes poll()
    {
        const auto reply = link.request(meterlink::commands::Poll(), 2);
        Bytes frame = data(reply.answers.at(0));
        const Bytes second = data(reply.answers.at(1));
        frame.insert(frame.end(), second.begin() + 1, second.end());
        return frame;
    }
    static Bytes bytes(const Bytes& r, int from, int to)
    {
        return {r.begin() + from, r.begin() + to + 1};
    }
    static Bytes digits(const char* text) { return {text, text + 14}; }

    std::chrono::system_clock::time_point m_now =
        std::chrono::system_clock::time_point{std::chrono::seconds{1796000000}};
    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link{meter};
};

TEST_F(Answers, ThePollIsAnsweredByTwoReportsOfOneFrame)
{
    const auto frame = poll();
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(meter.pendingReports(), 0u);
    const auto u32 = [&](int at) {
        return (std::uint32_t{frame[at]} << 24) | (std::uint32_t{frame[at + 1]} << 16) |
               (std::uint32_t{frame[at + 2]} << 8) | frame[at + 3];
    };
    EXPECT_EQ(u32(5), 4000000u);                // Y = 400 lx
    EXPECT_EQ(u32(39), 5000u);                  // Tcp
    EXPECT_EQ(frame[43] * 256 + frame[44], 10); // delta-uv 0.001
    EXPECT_EQ(u32(75), 50000000u);              // default temperature reference 5000 K
    EXPECT_EQ(bytes(frame, 81, 87), (Bytes{0x07, 0xEA, 12, 5, 16, 39, 5}));
    for (int b = 88; b <= 96; ++b)
        EXPECT_EQ(frame[b], 0) << "frame byte " << b;

    // Maximum and minimum follow the lamp.
    meter.model().setLight(virtualmeter::Light{5000, 0, 900});
    poll();
    meter.model().setLight(virtualmeter::Light{5000, 0, 100});
    const auto later = poll();
    EXPECT_EQ(Bytes(later.begin() + 31, later.begin() + 39),
              (Bytes{0x00, 0x89, 0x54, 0x40, 0x00, 0x0F, 0x42, 0x40}));
}

class Memory : public Answers
{
protected:
    std::string download(const char* startDigits)
    {
        const auto size = command(cmd::SetSize, digits(startDigits));
        std::uint64_t s = 0;
        for (int i = 1; i <= 5; ++i)
            s = s * 256 + size[static_cast<std::size_t>(i)];
        const Bytes start = digits(startDigits);
        commands::StartDigits asked{};
        std::copy(start.begin(), start.end(), asked.begin());
        request(commands::SetData(asked), 0);
        std::string text;
        const std::size_t q = (s + 63) / 64;
        for (std::size_t i = 0; i < q; ++i) {
            const auto r = receive();
            text.append(r.begin() + 1, r.end());
        }
        return text;
    }
};

TEST_F(Memory, TheSampleMemoryHoldsTwelveSetsUntilErased)
{
    const auto status = command(cmd::MemoryStatus);
    EXPECT_EQ(status[11] * 256 + status[12], 12);
    const std::uint64_t free = (std::uint64_t{status[6]} << 32) | (std::uint64_t{status[7]} << 24) |
                               (std::uint64_t{status[8]} << 16) | (std::uint64_t{status[9]} << 8) |
                               status[10];
    EXPECT_GT(free, 0u);
    EXPECT_LT(free, virtualmeter::MeterMemory::DefaultCapacity);
    std::set<std::string> starts;
    for (const auto& s : meter.model().memory().sets())
        starts.insert(s.text.substr(0, 60));
    EXPECT_EQ(starts.size(), 12u); // every set starts at its own time

    command(cmd::EraseMemory);
    EXPECT_EQ(bytes(command(cmd::MemoryStatus), 1, 12),
              (Bytes{0, 0, 8, 0, 0, 0, 0, 8, 0, 0, 0, 0}));
    send(cmd::Directory);
    EXPECT_EQ(meter.pendingReports(), 0u);
}

TEST_F(Memory, SampleSetsCarryRecordLinesAndChangeUnitOnRequest)
{
    command(cmd::MemoryStatus);
    const auto& first = meter.model().memory().sets().front();
    const auto digitsText = [&] {
        char d[15];
        std::snprintf(d, sizeof d, "%04d%02d%02d%02d%02d%02d", first.start.year, first.start.month,
                      first.start.day, first.start.hour, first.start.minute, first.start.second);
        return std::string(d);
    }();
    const auto text = download(digitsText.c_str());
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = text.find("\r\n", at);
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(lines[1].rfind("Start Time : ", 0), 0u);
    EXPECT_EQ(lines[2], "Total Records : " + std::to_string(first.records.size()));
    EXPECT_EQ(lines[3].rfind("Interval : ", 0), 0u);
    EXPECT_NE(lines[3].find("Unit : lx"), std::string::npos);
    EXPECT_EQ(lines[5], std::string(33, '*'));
    ASSERT_EQ(lines.size(), 6 + first.records.size());
    for (std::size_t i = 6; i < lines.size(); ++i) {
        const auto& line = lines[i];
        ASSERT_GE(line.size(), 85u);
        EXPECT_EQ(std::string() + line[4] + line[7] + line[14] + line[17], "//::");
        EXPECT_NEAR(std::stod(line.substr(67, 7)), 0.345, 0.055); // x
        EXPECT_NEAR(std::stod(line.substr(78, 7)), 0.35, 0.05);   // y
    }

    // The unit option rewrites the set in the other unit, and back.
    receive(); // the end report of the download
    const auto entry = virtualmeter::directoryEntry(first.start);
    commands::DirectoryEntry option{};
    std::copy(entry.begin(), entry.end(), option.begin());
    request(commands::UnitOption(option), 1);
    EXPECT_EQ(meter.pendingReports(), 0u);
    EXPECT_NE(first.text.find("Unit : fc"), std::string::npos);
    request(commands::UnitOption(option), 1);
    EXPECT_NE(first.text.find("Unit : lx"), std::string::npos);
}

TEST_F(Answers, CodeThirtyFiveStopsTheRecordingIntoMemory)
{
    // A cycling window around the meter's time: the meter records.
    command(cmd::WriteCycling, {16, 0, 0, 17, 0, 0, 0, 10, 1});
    auto frame = poll();
    EXPECT_EQ(frame[95] & 0x80, 0x80);
    EXPECT_EQ(frame[95] & 0x04, 0x04); // "A"
    EXPECT_EQ(frame[96], 1);
    command(cmd::ContinueRecording);
    frame = poll();
    EXPECT_EQ(frame[95] & 0x80, 0);

    // An overnight window runs past midnight.
    command(cmd::WriteCycling, {22, 0, 0, 6, 0, 0, 0, 10, 1});
    EXPECT_EQ(poll()[95] & 0x80, 0); // 16:39 is outside 22:00-06:00
    meter.model().setMeterTime({2026, 12, 6, 2, 0, 0}, m_now);
    EXPECT_EQ(poll()[95] & 0x80, 0x80);
}

TEST_F(Answers, EveryOtherCommandIsAcknowledgedWithItsOwnCode)
{
    for (std::uint8_t sub : {cmd::key::Mode, cmd::ContinueRecording, std::uint8_t{99}}) {
        const auto r = command(sub);
        EXPECT_EQ(r[1], cmd::Command);
        EXPECT_EQ(r[2], sub);
        EXPECT_EQ(meter.pendingReports(), 0u);
    }
}

std::vector<std::uint8_t> pollCommand()
{
    std::vector<std::uint8_t> r(65, 0);
    r[1] = meterlink::meter::Poll;
    return r;
}

TEST(VirtualMeterFailures, UnpluggingDropsPendingReportsAndKillsOldHandles)
{
    virtualmeter::VirtualMeter meter;
    auto old = meter.openForWriting(virtualmeter::VirtualMeter::DevicePath);
    old->write(pollCommand());
    EXPECT_EQ(meter.pendingReports(), 2u);
    meter.setPlugged(false);
    EXPECT_TRUE(meter.interfaces().empty());
    EXPECT_EQ(meter.openForWriting(virtualmeter::VirtualMeter::DevicePath), nullptr);
    meter.setPlugged(true);
    EXPECT_EQ(meter.pendingReports(), 0u);
    std::array<std::uint8_t, 65> buffer{};
    EXPECT_EQ(old->write(pollCommand()), -1);
    EXPECT_EQ(old->read(buffer, 1000).outcome, meterlink::platform::ReadOutcome::Error);
    EXPECT_FALSE(old->attributes().has_value());
    auto fresh = meter.openForWriting(virtualmeter::VirtualMeter::DevicePath);
    EXPECT_EQ(fresh->write(pollCommand()), 65);
    EXPECT_EQ(fresh->read(buffer, 1000).outcome, meterlink::platform::ReadOutcome::Data);
}

} // namespace

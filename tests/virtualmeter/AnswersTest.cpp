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
using virtualmeter::CalendarTime;
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

TEST_F(Answers, SamplingTimeIsReadAndWrittenBigEndianAndClamped)
{
    EXPECT_EQ(bytes(command(cmd::ReadSamplingTime), 1, 2), (Bytes{0, 60}));
    struct Row
    {
        std::uint8_t high, low, readHigh, readLow;
    };
    for (const Row& row :
         {Row{1, 44, 1, 44}, Row{0x0F, 0xA0, 14, 16}, Row{0, 0, 0, 1}, Row{0xFF, 0xFF, 14, 16}}) {
        send(cmd::WriteSamplingTime, {row.high, row.low});
        link.drain(); // the acknowledgement the write left behind
        EXPECT_EQ(meter.pendingReports(), 0u);
        EXPECT_EQ(bytes(command(cmd::ReadSamplingTime), 1, 2), (Bytes{row.readHigh, row.readLow}));
    }
}

TEST_F(Answers, SchedulesAreDisabledAtFirstAndReadBackAsWritten)
{
    EXPECT_EQ(bytes(command(cmd::ReadReservation), 1, 15),
              (Bytes{26, 12, 7, 8, 0, 0, 26, 12, 7, 18, 0, 0, 0, 60, 0}));
    EXPECT_EQ(bytes(command(cmd::ReadCycling), 1, 9), (Bytes{8, 0, 0, 17, 0, 0, 1, 44, 0}));
    const Bytes reservation = {26, 12, 24, 7, 30, 0, 26, 12, 31, 22, 15, 59, 14, 15, 1};
    command(cmd::WriteReservation, reservation);
    EXPECT_EQ(meter.pendingReports(), 0u); // its answer was the one the request read
    EXPECT_EQ(bytes(command(cmd::ReadReservation), 1, 15), reservation);

    const Bytes cycling = {22, 0, 0, 6, 30, 0, 0, 90, 2};
    command(cmd::WriteCycling, cycling);
    EXPECT_EQ(bytes(command(cmd::ReadCycling), 1, 9), cycling);
}

TEST_F(Answers, TheClockRunsAndCanBeSetToDatesThatExist)
{
    for (const auto& bad :
         std::vector<Bytes>{{26, 2, 30, 12, 0, 0}, {26, 13, 1, 0, 0, 0}, {26, 1, 1, 24, 0, 0}}) {
        send(cmd::SetClock, bad); // ignored
        link.drain();
    }
    EXPECT_EQ(bytes(command(cmd::ReadClock), 1, 6), (Bytes{26, 12, 5, 16, 39, 5}));
    m_now += std::chrono::seconds{56};
    EXPECT_EQ(bytes(command(cmd::ReadClock), 1, 6), (Bytes{26, 12, 5, 16, 40, 1}));

    send(cmd::SetClock, {27, 2, 28, 23, 59, 58});
    EXPECT_EQ(meter.pendingReports(), 1u); // the acknowledgement nobody reads
    link.drain();
    m_now += std::chrono::seconds{3};
    EXPECT_EQ(bytes(command(cmd::ReadClock), 1, 6), (Bytes{27, 3, 1, 0, 0, 1}));
}

class Memory : public Answers
{
protected:
    static virtualmeter::StoredSet set(CalendarTime start, std::size_t size)
    {
        virtualmeter::StoredSet s;
        s.start = start;
        s.text = std::string(size, 'a');
        for (std::size_t i = 0; i < size; ++i)
            s.text[i] = static_cast<char>('a' + i % 26);
        return s;
    }
    std::string download(const char* startDigits, std::size_t* reports = nullptr)
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
        if (reports)
            *reports = q;
        return text;
    }
};

TEST_F(Memory, StatusCarriesCapacityFreeSpaceAndSetCount)
{
    auto& memory = meter.model().memory();
    memory.setSets({set({2026, 12, 5, 16, 39, 5}, 1000), set({2026, 12, 6, 8, 0, 0}, 24)});
    EXPECT_EQ(bytes(command(cmd::MemoryStatus), 1, 12),
              (Bytes{0, 0, 8, 0, 0, 0, 0, 7, 0xFC, 0x00, 0, 2}));
    memory.setCapacity(0x0102030405);
    memory.setFreeOverride(0xFFFFFFFFFF);
    EXPECT_EQ(bytes(command(cmd::MemoryStatus), 1, 12),
              (Bytes{1, 2, 3, 4, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2}));
}

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

TEST_F(Memory, TheDirectoryPacksNineEntriesPerReportFromByteTwo)
{
    // stored sets -> reports
    for (const auto& [count, reports] : std::vector<std::pair<int, std::size_t>>{
             {0, 0}, {1, 1}, {9, 1}, {10, 2}, {18, 2}, {19, 3}}) {
        SCOPED_TRACE(count);
        std::vector<virtualmeter::StoredSet> sets;
        for (int k = 0; k < count; ++k)
            sets.push_back(set({2026, 12, 5, 16, 39, k}, 10));
        meter.model().memory().setSets(sets);
        send(cmd::Directory);
        ASSERT_EQ(meter.pendingReports(), reports);
        Bytes entries;
        for (std::size_t p = 0; p < reports; ++p) {
            const auto r = receive();
            EXPECT_EQ(r[1], 0); // byte 1 carries nothing
            entries.insert(entries.end(), r.begin() + 2, r.end());
        }
        for (int k = 0; k < count; ++k) {
            const auto at = entries.begin() + 7 * k;
            const auto second = static_cast<std::uint8_t>(((k / 10) << 4) | (k % 10));
            EXPECT_EQ(Bytes(at, at + 7), (Bytes{0x20, 0x26, 0x12, 0x05, 0x16, 0x39, second}))
                << "set " << k + 1;
        }
    }
}

TEST_F(Memory, SetDataSendsTheTextInWholeReportsThenAnEndReport)
{
    struct Row
    {
        std::size_t stored;
        const char* asked; // start time digits
        std::size_t size;  // answered
        std::size_t reports;
    };
    const char* known = "20261205163905";
    for (const Row& row : std::vector<Row>{{0, known, 0, 0},
                                           {1, known, 1, 1},
                                           {64, known, 64, 1},
                                           {65, known, 65, 2},
                                           {300, known, 300, 5},
                                           {100, "00000000000000", 0, 0}}) { // unknown start
        SCOPED_TRACE(testing::Message() << row.stored << " " << row.asked);
        const auto stored = set({2026, 12, 5, 16, 39, 5}, row.stored);
        meter.model().memory().setSets({stored});
        EXPECT_EQ(bytes(command(cmd::SetSize, digits(row.asked)), 1, 5),
                  (Bytes{0, 0, 0, static_cast<std::uint8_t>(row.size >> 8),
                         static_cast<std::uint8_t>(row.size & 0xFF)}));
        std::size_t reports = 0;
        const auto text = download(row.asked, &reports);
        EXPECT_EQ(reports, row.reports);
        EXPECT_EQ(text.size(), 64 * row.reports);
        EXPECT_EQ(text.substr(0, row.size), stored.text.substr(0, row.size));
        EXPECT_EQ(text.find_first_not_of(' ', row.size), std::string::npos); // padding
        // The end report is what the program's extra read takes.
        ASSERT_EQ(meter.pendingReports(), 1u);
        EXPECT_EQ(receive(), Bytes(65));
    }
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

} // namespace

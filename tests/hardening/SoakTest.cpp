// A long run of the program against the virtual meter with faults at random (fixed seed):
// thousands of polls, keys, listings and clock reads while the meter comes and goes. Memory
// and open handles must stay flat; the figures are printed for the record.
#include "clock/RtcWindow.h"
#include "link/MeterCommands.h"
#include "logger/MemoryWindow.h"
#include "tests/hardening/FaultHarness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define HARDENING_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HARDENING_ASAN 1
#endif
#endif

namespace {

long ResidentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0; // pages of 4 KiB
}

int OpenDescriptors()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

constexpr int Polls = 30000;
constexpr int WarmUpPolls = 1000;

TEST(Soak, MemoryAndHandlesStayFlatUnderRandomFaults)
{
    hardening::Program p;
    std::mt19937 random(582);
    std::uniform_int_distribution<int> percent(0, 99);
    const std::array<std::function<void(hardening::FaultyMeter&)>, 5> faultKinds = {
        [](auto& m) { m.setPlugged(false); },
        [](auto& m) { m.setSilent(true); },
        [](auto& m) { m.setGarbage(true); },
        [&](auto& m) { m.setShortReports(1 + percent(random) % 64); },
        [](auto& m) {
            m.setPlugged(false);
            m.setPlugged(true);
        },
    };
    p.dialogs.messageAnswers.assign(Polls, ui::MsgAnswer::Ok);

    long rssStart = 0;
    int fdStart = 0;
    int faults = 0;
    int lostTicks = 0;
    for (int tick = 0; tick < Polls; ++tick) {
        if (tick == WarmUpPolls) {
            QCoreApplication::processEvents();
            rssStart = ResidentKiB();
            fdStart = OpenDescriptors();
        }
        const int roll = percent(random);
        if (roll < 3) {
            ++faults;
            faultKinds[static_cast<std::size_t>(percent(random) % 5)](p.meter);
        } else if (roll < 10) {
            p.meter.heal();
        }

        const int action = percent(random);
        if (action < 2) {
            p.window->sendKey(meterlink::meter::key::Mode);
        } else if (action < 3) {
            p.withClock([](meterclock::RtcWindow& rtc) {
                rtc.toggleMeterTime();
                rtc.refreshClocks();
            });
        } else if (action == 3 && tick % 10 == 0) {
            p.logger().listMemory();
            // Closed by the user, so that the next listing starts a fresh list; an open one
            // would keep appending, as it should.
            if (auto* memory = p.logger().memoryWindow())
                memory->close();
        } else {
            p.window->pollMeter();
        }
        lostTicks += p.connected() ? 0 : 1;
        if (tick % 64 == 0) {
            QCoreApplication::processEvents();
            // The test's own records of every report would grow without end.
            p.meter.clearWrites();
            p.meter.readTimeouts.clear();
        }
    }

    p.meter.heal();
    ASSERT_TRUE(p.pollUntilConnected());
    EXPECT_TRUE(testsupport::LivePollRunning(*p.window));
    QCoreApplication::processEvents();
    const long rssEnd = ResidentKiB();
    const int fdEnd = OpenDescriptors();

    std::printf("soak: %d ticks, %d faults, %d ticks without the meter, resident %ld KiB -> "
                "%ld KiB, descriptors %d -> %d, meter handles open at the end %d\n",
                Polls, faults, lostTicks, rssStart, rssEnd, fdStart, fdEnd, p.meter.openHandles);
    RecordProperty("rss_start_kib", static_cast<int>(rssStart));
    RecordProperty("rss_end_kib", static_cast<int>(rssEnd));

    EXPECT_GT(faults, 50);
    EXPECT_LE(fdEnd, fdStart + 2);
    EXPECT_LE(p.meter.openHandles, 2);
#ifndef HARDENING_ASAN
    // Generous, for allocator slack; a leak of one report per tick would be ten times this.
    EXPECT_LT(rssEnd - rssStart, 2 * 1024);
#endif
    // Under AddressSanitizer freed memory waits in its quarantine, so resident memory says
    // little; LeakSanitizer checks at exit instead.
}

} // namespace

#pragma once

#include "files/PlotDocument.h"
#include "link/MeterLink.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakePoll.h"
#include "tests/support/TempRoot.h"
#include "ui/Services.h"
#include "virtualmeter/VirtualMeter.h"

#include <QTimer>
#include <utility>
#include <vector>

namespace testsupport {

// Whether the main window's live poll `Timer1` runs.
inline bool LivePollRunning(const QObject& window)
{
    const auto* timer =
        window.findChild<QTimer*>(QStringLiteral("Timer1"), Qt::FindDirectChildrenOnly);
    return timer != nullptr && timer->isActive();
}

// A report from the meter with these data bytes from byte 1 on.
inline virtualmeter::Report ReportWith(std::initializer_list<int> bytes)
{
    virtualmeter::Report report{};
    std::size_t i = 1;
    for (const int b : bytes)
        report[i++] = static_cast<std::uint8_t>(b);
    return report;
}

// Sub-codes (byte 2) of the commands the meter received, in order.
inline std::vector<int> CommandCodes(const virtualmeter::VirtualMeter& meter)
{
    std::vector<int> codes;
    for (const auto& w : meter.writes())
        codes.push_back(w.size() > 2 ? w[2] : -1);
    return codes;
}

// Everything a window is built with: a (virtual) meter on the link, scripted dialogs, a fixed
// clock, a temporary folder for the fixed paths, the opened document and the main window's file
// dialog.
template <typename Meter = virtualmeter::VirtualMeter> struct Harness
{
    Harness() { runner.setPollGate(&poll); }

    Meter meter;
    meterlink::MeterLink link{meter};
    meterlink::SequenceRunner runner{link};
    FakeDialogs dialogs;
    FakeClock clock;
    TempRoot root;
    files::PlotDocument document;
    ui::FileDialogState cmd;
    ui::Services services{dialogs, clock, root.paths};
    FakePoll poll;

    // Every command the meter received as (byte 1, byte 2).
    std::vector<std::pair<int, int>> commands() const
    {
        std::vector<std::pair<int, int>> out;
        for (const auto& w : meter.writes())
            out.emplace_back(w[1], w[2]);
        return out;
    }
};

} // namespace testsupport

#pragma once

#include "link/MeterCommands.h"
#include "link/MeterLink.h"
#include "panel/SetupPictures.h"
#include "panel/Toolbar.h"
#include "tests/support/PanelHarness.h"
#include "virtualmeter/VirtualMeter.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace setuptest {

// The main window as the set-up pictures and the toolbar see it: a window with a picture host,
// `PicRef` and `PicChroma`, the link to a virtual meter with set answers, scripted dialogs and the
// poll. The keys of the other windows only count their clicks.
struct Bench
{
    virtualmeter::VirtualMeter meter;
    meterlink::MeterLink link{meter};
    meterlink::SequenceRunner runner{link};
    testsupport::FakeDialogs dialogs;
    testsupport::FakePoll poll;
    bool memoryBusy = false;
    bool recordOn = false;
    QWidget window;
    QWidget* host = new QWidget(&window);
    QWidget* referenceMenu = new QWidget(&window);
    QWidget* picChroma = new QWidget(&window);
    std::unique_ptr<panel::SetupPictures> pictures;
    panel::MainToolbar* toolbar = new panel::MainToolbar([this] { return recordOn; }, &window);
    std::map<panel::ToolbarKey, int> runs;

    Bench()
    {
        runner.setPollGate(&poll);
        new QVBoxLayout(host);
        referenceMenu->setObjectName(QStringLiteral("PicRef"));
        referenceMenu->hide();
        picChroma->setObjectName(QStringLiteral("PicChroma"));
        pictures = std::make_unique<panel::SetupPictures>(
            panel::SetupContext{runner, dialogs, [this] { return memoryBusy; }}, host,
            referenceMenu, picChroma);
        pictures->attach(*toolbar);
        using panel::ToolbarKey;
        for (const ToolbarKey key : {ToolbarKey::Save, ToolbarKey::Open, ToolbarKey::Rtc,
                                     ToolbarKey::Logger, ToolbarKey::Erase})
            toolbar->setCommand(key, [this, key] { ++runs[key]; });
        // Fixed answers, so that the expected texts do not depend on the meter's own state.
        using testsupport::ReportWith;
        namespace m = meterlink::meter;
        meter.setAnswer(m::Command, m::ReadReservation,
                        {ReportWith({26, 12, 6, 9, 5, 0, 27, 1, 31, 23, 59, 59, 14, 141, 2})});
        meter.setAnswer(m::Command, m::ReadCycling,
                        {ReportWith({8, 30, 0, 17, 0, 5, 6125 / 256, 6125 % 256, 1})});
        meter.setAnswer(m::Command, m::ReadSamplingTime, {ReportWith({300 / 256, 300 % 256})});
    }
    std::vector<int> codes() const { return testsupport::CommandCodes(meter); }
    void click(const char* button) const
    {
        window.findChild<QPushButton*>(QLatin1String(button))->click();
    }
    void choose(const char* option) const
    {
        window.findChild<QRadioButton*>(QLatin1String(option))->setChecked(true);
    }
};

} // namespace setuptest

#pragma once

#include "link/MeterCommands.h"
#include "link/MeterLink.h"
#include "panel/SetupPictures.h"
#include "panel/Toolbar.h"
#include "tests/support/PanelHarness.h"
#include "virtualmeter/VirtualMeter.h"

#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace setuptest {

// A virtual meter whose answers to chosen sub-commands are set by the test, so that the
// expected texts do not depend on the meter's own state.
class ScriptedMeter : public virtualmeter::VirtualMeter
{
public:
    std::map<std::uint8_t, virtualmeter::Report> answers;

    // Sub-codes (byte 2) of the command reports received, in order.
    std::vector<int> codes() const
    {
        std::vector<int> result;
        for (const auto& w : writes())
            result.push_back(w.size() > 2 ? w[2] : -1);
        return result;
    }

protected:
    void process(const virtualmeter::Report& command) override
    {
        const auto answer = answers.find(command[2]);
        if (command[1] == meterlink::meter::Command && answer != answers.end()) {
            send(answer->second);
            return;
        }
        VirtualMeter::process(command);
    }
};

// An answer report with the given data bytes from index 1.
inline virtualmeter::Report answerWith(std::initializer_list<int> bytes)
{
    virtualmeter::Report report{};
    std::size_t i = 1;
    for (const int b : bytes)
        report[i++] = static_cast<std::uint8_t>(b);
    return report;
}

// The main window as the set-up pictures and the toolbar see it: a window with a picture host,
// `PicRef` and `PicChroma`, the link to a scripted virtual meter, scripted dialogs and the poll.
// The keys of the other windows only count their clicks.
struct Bench
{
    ScriptedMeter meter;
    meterlink::MeterLink link{meter};
    meterlink::SequenceRunner runner{link};
    testsupport::FakeDialogs dialogs;
    testsupport::FakePoll poll;
    bool memoryBusy = false;
    bool recordOn = false;
    QWidget window;
    QWidget* host = new QWidget(&window);
    QWidget* picRef = new QWidget(&window);
    QWidget* picChroma = new QWidget(&window);
    std::unique_ptr<panel::SetupPictures> pictures;
    panel::MainToolbar* toolbar = new panel::MainToolbar([this] { return recordOn; }, &window);
    QMap<QString, int> runs;

    Bench()
    {
        runner.setPollGate(&poll);
        new QVBoxLayout(host);
        picRef->setObjectName(QStringLiteral("PicRef"));
        picRef->hide();
        picChroma->setObjectName(QStringLiteral("PicChroma"));
        pictures = std::make_unique<panel::SetupPictures>(
            panel::SetupContext{runner, dialogs, [this] { return memoryBusy; }}, host, picRef,
            picChroma);
        pictures->attach(*toolbar);
        for (const char* key : {"Save", "Open", "RTC", "Logger", "Erase"})
            toolbar->setCommand(QLatin1String(key), [this, key] { ++runs[QLatin1String(key)]; });
        meter.answers[16] =
            answerWith({26, 12, 6, 9, 5, 0, 27, 1, 31, 23, 59, 59, 3725 / 256, 3725 % 256, 2});
        meter.answers[15] = answerWith({8, 30, 0, 17, 0, 5, 6125 / 256, 6125 % 256, 1});
        meter.answers[14] = answerWith({300 / 256, 300 % 256});
    }
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

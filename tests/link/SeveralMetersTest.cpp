// Two meters plugged in, and a meter this user may not open, seen from the main window.
#include "panel/PanelWindow.h"
#include "tests/support/ProgramHarness.h"
#include "virtualmeter/MeterRack.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SeveralMetersTest : public ::testing::Test,
                          protected testsupport::ProgramHarness<virtualmeter::MeterRack>
{
protected:
    QLabel* label(const char* name) { return window->findChild<QLabel*>(QLatin1String(name)); }
    void chooseMeter(int answer)
    {
        dialogs.choiceAnswers = {answer};
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("CmdChooseMeter")),
                          Qt::LeftButton);
    }
    // Polls sent to each meter.
    std::vector<std::size_t> polls(std::size_t meters)
    {
        std::vector<std::size_t> counts;
        for (std::size_t i = 0; i < meters; ++i)
            counts.push_back(static_cast<std::size_t>(
                std::count_if(meter.meter(i).writes().begin(), meter.meter(i).writes().end(),
                              [](const auto& w) { return w[1] == 1 && w[2] != 17; })));
        return counts;
    }
};

TEST_F(SeveralMetersTest, TheChosenMeterGetsThePoll)
{
    meter.add("virtual:meter-a", "A-0001");
    meter.add("virtual:meter-b", "");
    window->pollMeter();
    EXPECT_EQ(polls(2), (std::vector<std::size_t>{1, 0})); // the first match, as ever

    chooseMeter(1);
    ASSERT_EQ(dialogs.choices.size(), 1u);
    EXPECT_EQ(dialogs.choices[0].items,
              (QStringList{QStringLiteral("virtual:meter-a   serial number A-0001"),
                           QStringLiteral("virtual:meter-b")}));
    EXPECT_EQ(dialogs.choices[0].current, 0);
    window->pollMeter();
    window->pollMeter();
    EXPECT_EQ(polls(2), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(label("LblCOM")->text(), QStringLiteral("582"));

    // Gone: the first match again. Cancel changes nothing.
    meter.meter(1).setPlugged(false);
    window->pollMeter();
    window->pollMeter();
    chooseMeter(-1);
    window->pollMeter();
    EXPECT_EQ(polls(2), (std::vector<std::size_t>{4, 2}));
}

TEST_F(SeveralMetersTest, TheChosenMeterIsTakenAgainAfterARestart)
{
    meter.add("virtual:meter-a", "A-0001");
    virtualmeter::VirtualMeter& b = meter.add("virtual:meter-b", "B-0002");
    chooseMeter(1);
    const struct
    {
        const char* step;
        std::function<void()> change;
        std::vector<std::size_t> polls;
    } rows[] = {
        {"the same", [] {}, {0, 1}},
        // Plugged into another port: known by its serial number.
        {"moved", [&b] { b.setIdentity("virtual:meter-b2", "B-0002"); }, {0, 2}},
        {"gone", [&b] { b.setPlugged(false); }, {1, 2}},
    };
    for (const auto& row : rows) {
        row.change();
        start();
        window->pollMeter();
        EXPECT_EQ(polls(2), row.polls) << row.step;
    }
}

TEST_F(SeveralMetersTest, AMeterRefusingToOpenIsNamed)
{
    virtualmeter::VirtualMeter& only = meter.add("virtual:meter-a", "");
    const struct
    {
        bool plugged, denied;
    } rows[] = {{true, true}, {true, false}, {false, false}, {true, true}};
    for (const auto& row : rows) {
        only.setPlugged(row.plugged);
        only.setOpenDenied(row.denied);
        window->pollMeter();
        EXPECT_EQ(label("LblPermission")->isVisibleTo(window), row.denied);
        EXPECT_EQ(label("LblCOM")->text(), row.denied || !row.plugged
                                               ? QStringLiteral("NoDevice Found!\"")
                                               : QStringLiteral("582"));
    }
    EXPECT_TRUE(label("LblPermission")->text().contains(QStringLiteral("packaging/udev")));
}

} // namespace

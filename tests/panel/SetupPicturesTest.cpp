#include "panel/SetupPictures.h"

#include "tests/panel/SetupTestSupport.h"
#include "tests/support/FakeDialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

using panel::ScheduleKind;
using setuptest::answerWith;

constexpr int ContinueCode = 35;
constexpr int ReadReservation = 16;
constexpr int ReadCycling = 15;
constexpr int ReadSampling = 14;
constexpr int WriteSampling = 20;

// The main window as far as the pictures see it: a window with a picture host, the link to a
// scripted virtual meter, scripted dialogs and the poll.
struct Bench
{
    setuptest::ScriptedMeter meter;
    meterlink::MeterLink link{meter};
    testsupport::FakeDialogs dialogs;
    setuptest::FakePoll poll;
    bool memoryBusy = false;
    int pcInterval = 1;
    QWidget window;
    QWidget* host = new QWidget(&window);
    QWidget* picRef = new QWidget(&window);
    std::unique_ptr<panel::SetupPictures> pictures;

    Bench()
    {
        new QVBoxLayout(host);
        picRef->setObjectName(QStringLiteral("PicRef"));
        pictures = std::make_unique<panel::SetupPictures>(
            panel::SetupContext{link, dialogs, poll, [this] { return memoryBusy; }, pcInterval},
            host);
        meter.answers[ReadReservation] =
            answerWith({26, 12, 6, 9, 5, 0, 27, 1, 31, 23, 59, 59, 3725 / 256, 3725 % 256, 2});
        meter.answers[ReadCycling] = answerWith({8, 30, 0, 17, 0, 5, 6125 / 256, 6125 % 256, 1});
        meter.answers[ReadSampling] = answerWith({300 / 256, 300 % 256});
    }

    QPushButton* button(const char* name) const
    {
        return window.findChild<QPushButton*>(QLatin1String(name));
    }
    void choose(const char* option) const
    {
        window.findChild<QRadioButton*>(QLatin1String(option))->setChecked(true);
    }
    QStringList fields(const panel::SchedulePicture* picture) const
    {
        return picture->texts().fields;
    }
};

// ---------------------------------------------------------------------------------------------
// The set-up menu

struct MenuRow
{
    const char* name;
    const char* option;
    bool memoryBusy;
    ui::MsgAnswer answer;
    std::vector<int> codes;
    bool menuStaysOpen;
    const char* shown; // the picture open afterwards, or nullptr
};

class SetupMenu : public testing::TestWithParam<MenuRow>
{
};

TEST_P(SetupMenu, OkRunsTheChoice)
{
    const auto& row = GetParam();
    Bench bench;
    bench.memoryBusy = row.memoryBusy;
    bench.dialogs.messageAnswers.push_back(row.answer);
    bench.pictures->picSetup()->show();
    bench.pictures->picCycling()->show(); // an earlier picture closes first
    bench.choose(row.option);

    bench.button("CmdSetUpOK")->click();

    EXPECT_EQ(bench.meter.codes(), row.codes);
    if (row.memoryBusy) {
        ASSERT_EQ(bench.dialogs.messages.size(), 1u);
        EXPECT_EQ(bench.dialogs.messages[0].text,
                  QStringLiteral("Error! Memory in procceeding, continue?"));
        EXPECT_EQ(bench.dialogs.messages[0].buttons, ui::MsgButtons::OkCancel);
    } else {
        EXPECT_TRUE(bench.dialogs.messages.empty());
    }
    EXPECT_EQ(bench.pictures->picSetup()->isHidden(), !row.menuStaysOpen);
    for (QWidget* picture : std::initializer_list<QWidget*>{
             bench.pictures->picReservation(), bench.pictures->picCycling(), bench.picRef}) {
        const bool expectOpen = row.shown && picture->objectName() == QLatin1String(row.shown);
        EXPECT_EQ(!picture->isHidden(), expectOpen) << picture->objectName().toStdString();
    }
    EXPECT_EQ(bench.poll.switches, (std::vector<bool>{false, true}));
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SetupMenu,
    testing::Values(
        MenuRow{"Reservation",
                "OptSetup0",
                false,
                ui::MsgAnswer::Ok,
                {ReadReservation},
                false,
                "PicReservation"},
        MenuRow{
            "Cycling", "OptSetup1", false, ui::MsgAnswer::Ok, {ReadCycling}, false, "PicCycling"},
        MenuRow{
            "ReferenceSendsNothing", "OptSetup2", false, ui::MsgAnswer::Ok, {}, false, "PicRef"},
        MenuRow{"BusyOkThenReservation",
                "OptSetup0",
                true,
                ui::MsgAnswer::Ok,
                {ContinueCode, ReadReservation},
                false,
                "PicReservation"},
        MenuRow{"BusyOkThenCycling",
                "OptSetup1",
                true,
                ui::MsgAnswer::Ok,
                {ContinueCode, ReadCycling},
                false,
                "PicCycling"},
        MenuRow{"BusyOkThenReference",
                "OptSetup2",
                true,
                ui::MsgAnswer::Ok,
                {ContinueCode},
                false,
                "PicRef"},
        MenuRow{
            "BusyCancelSendsNothing", "OptSetup0", true, ui::MsgAnswer::Cancel, {}, true, nullptr},
        MenuRow{
            "BusyCancelOnReference", "OptSetup2", true, ui::MsgAnswer::Cancel, {}, true, nullptr}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SetupMenu, FillsThePicturesFromTheAnswers)
{
    Bench bench;
    bench.choose("OptSetup0");
    bench.button("CmdSetUpOK")->click();
    EXPECT_EQ(bench.fields(bench.pictures->picReservation()),
              (QStringList{"26", "12", "06", "09", "05", "00", "27", "01", "31", "23", "59", "59",
                           "62", "05"}));
    EXPECT_TRUE(bench.window.findChild<QRadioButton*>("OptRes1")->isChecked()); // flag 2

    bench.choose("OptSetup1");
    bench.button("CmdSetUpOK")->click();
    EXPECT_EQ(bench.fields(bench.pictures->picCycling()),
              (QStringList{"08", "30", "00", "17", "00", "05", "02", "05"}));
    EXPECT_TRUE(bench.window.findChild<QRadioButton*>("OptCyc0")->isChecked());
    EXPECT_TRUE(bench.pictures->picReservation()->isHidden());
}

TEST(SetupMenu, MeterAbsentFillsFromTheLastAnswerAndPollsAgain)
{
    Bench bench;
    bench.meter.setPlugged(false);
    bench.link.ReceivedReport = answerWith({1, 2, 3, 4, 5, 6, 0, 61, 0});
    bench.choose("OptSetup1");
    bench.button("CmdSetUpOK")->click();
    EXPECT_TRUE(bench.meter.writes().empty());
    EXPECT_TRUE(bench.dialogs.messages.empty());
    EXPECT_EQ(bench.fields(bench.pictures->picCycling()),
              (QStringList{"01", "02", "03", "04", "05", "06", "01", "01"}));
    EXPECT_TRUE(bench.poll.polling());
}

TEST(SetupMenu, DrainsWhatTheMeterStillSendsBeforeTheRead)
{
    Bench bench;
    ASSERT_TRUE(bench.link.FindMeter()); // the poll has found the meter before
    bench.meter.queueReport(answerWith({99, 99, 99, 99, 99, 99, 99, 99, 99}));
    bench.meter.queueReport(answerWith({98, 98, 98, 98, 98, 98, 98, 98, 98}));
    bench.choose("OptSetup1");
    bench.button("CmdSetUpOK")->click();
    EXPECT_EQ(bench.fields(bench.pictures->picCycling()).front(), QStringLiteral("08"));
    EXPECT_EQ(bench.meter.pendingReports(), 0u);
}

TEST(SetupMenu, ExitOnlyCloses)
{
    Bench bench;
    bench.pictures->picSetup()->show();
    bench.button("CmdExitSetup")->click();
    EXPECT_TRUE(bench.pictures->picSetup()->isHidden());
    EXPECT_TRUE(bench.meter.writes().empty());
    EXPECT_TRUE(bench.poll.switches.empty());
}

// ---------------------------------------------------------------------------------------------
// Sampling interval

struct IntervalRow
{
    const char* name;
    const char* option;
    QString answer;
    std::vector<int> codes;
    std::vector<int> writtenBytes; // bytes 3 and 4 of the write, when there is one
    int pcInterval;                // afterwards
};

class SamplingInterval : public testing::TestWithParam<IntervalRow>
{
};

TEST_P(SamplingInterval, OkAsksAndWrites)
{
    const auto& row = GetParam();
    Bench bench;
    bench.pcInterval = 7;
    bench.dialogs.inputAnswers.push_back(row.answer);
    bench.pictures->picIntv()->show();
    bench.choose(row.option);

    bench.button("CmdIntvOK")->click();

    EXPECT_TRUE(bench.pictures->picIntv()->isHidden());
    EXPECT_EQ(bench.meter.codes(), row.codes);
    ASSERT_EQ(bench.dialogs.inputs.size(), 1u);
    const auto& asked = bench.dialogs.inputs[0];
    EXPECT_EQ(asked.title, QStringLiteral("Input Sampling Time"));
    const bool meterBranch = QLatin1String(row.option) == QLatin1String("OptMeter");
    EXPECT_EQ(asked.prompt, meterBranch ? QStringLiteral("Enter the SAMPLING TIME in "
                                                         "seconds\r\n(1 <= t <= 3600 ) ")
                                        : QStringLiteral("Enter the SAMPLING TIME in "
                                                         "seconds\r\n(1 <= t <= 86400 ) "));
    // The meter's own value is read first and offered; the PC's current value otherwise.
    EXPECT_EQ(asked.defaultText, meterBranch ? QStringLiteral("300") : QStringLiteral("7"));
    if (!row.writtenBytes.empty()) {
        const auto& write = bench.meter.writes().back();
        EXPECT_EQ(write[1], 6);
        EXPECT_EQ(write[3], row.writtenBytes[0]);
        EXPECT_EQ(write[4], row.writtenBytes[1]);
    }
    EXPECT_EQ(bench.pcInterval, row.pcInterval);
    EXPECT_TRUE(bench.poll.polling());
    if (meterBranch)
        EXPECT_EQ(bench.poll.switches.front(), false);
    else
        EXPECT_TRUE(bench.poll.switches.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SamplingInterval,
    testing::Values(
        IntervalRow{"Pc0Gives1", "OptPC", "0", {}, {}, 1},
        IntervalRow{"Pc100000Gives86400", "OptPC", "100000", {}, {}, 86400},
        IntervalRow{"Pc2p5Gives2", "OptPC", "2.5", {}, {}, 2},
        IntervalRow{"PcCancelKeeps", "OptPC", "", {}, {}, 7},
        IntervalRow{"PcLettersKeep", "OptPC", "abc", {}, {}, 7},
        IntervalRow{
            "Meter4000Gives3600", "OptMeter", "4000", {ReadSampling, WriteSampling}, {14, 16}, 7},
        IntervalRow{"Meter300", "OptMeter", "300", {ReadSampling, WriteSampling}, {1, 44}, 7},
        IntervalRow{"Meter0Gives1", "OptMeter", "0", {ReadSampling, WriteSampling}, {0, 1}, 7},
        IntervalRow{"MeterCancelWritesNothing", "OptMeter", "", {ReadSampling}, {}, 7},
        IntervalRow{"MeterLettersWriteNothing", "OptMeter", "x5", {ReadSampling}, {}, 7}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SamplingInterval, MeterAbsentOffersTheLastAnswerAndPollsAgain)
{
    Bench bench;
    bench.meter.setPlugged(false);
    bench.link.ReceivedReport = answerWith({0x0E, 0x10});
    bench.dialogs.inputAnswers.push_back(QStringLiteral("60"));
    bench.choose("OptMeter");
    bench.button("CmdIntvOK")->click();
    ASSERT_EQ(bench.dialogs.inputs.size(), 1u);
    EXPECT_EQ(bench.dialogs.inputs[0].defaultText, QStringLiteral("3600"));
    EXPECT_TRUE(bench.meter.writes().empty());
    EXPECT_TRUE(bench.dialogs.messages.empty());
    EXPECT_TRUE(bench.poll.polling());
}

TEST(SamplingInterval, WriteGoesOutWithoutAnswerAndIsDrained)
{
    Bench bench;
    bench.dialogs.inputAnswers.push_back(QStringLiteral("90"));
    bench.choose("OptMeter");
    bench.button("CmdIntvOK")->click();
    // The meter's reply to the write must not be left for the next poll.
    EXPECT_EQ(bench.meter.pendingReports(), 0u);
    EXPECT_EQ(bench.poll.switches, (std::vector<bool>{false, false, true}));
}

// ---------------------------------------------------------------------------------------------
// Writing the schedules

TEST(ScheduleWrite, ReservationOkSendsEveryFieldAndCloses)
{
    Bench bench;
    auto* picture = bench.pictures->picReservation();
    picture->fill(
        {{"26", "12", "06", "09", "05", "01", "27", "01", "31", "23", "59", "58", "01", "30"},
         true});
    picture->show();
    bench.link.OutputReport[40] = 0xAB; // bytes the command does not set travel unchanged

    bench.button("CmdResOK")->click();

    ASSERT_EQ(bench.meter.writes().size(), 1u);
    const auto& w = bench.meter.writes()[0];
    const std::vector<int> expected = {0,  6, 22, 26, 12, 6,  9, 5,  1,
                                       27, 1, 31, 23, 59, 58, 0, 90, 1};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(w[i], expected[i]) << "byte " << i;
    EXPECT_EQ(w[40], 0xAB);
    EXPECT_TRUE(picture->isHidden());
    EXPECT_EQ(bench.poll.switches, (std::vector<bool>{false, true}));
}

TEST(ScheduleWrite, CyclingOkSendsEveryFieldAndCloses)
{
    Bench bench;
    auto* picture = bench.pictures->picCycling();
    picture->fill({{"08", "00", "00", "17", "30", "00", "59", "59"}, false});
    picture->show();
    bench.button("CmdCycOK")->click();
    ASSERT_EQ(bench.meter.writes().size(), 1u);
    const auto& w = bench.meter.writes()[0];
    const std::vector<int> expected = {0, 6, 21, 8, 0, 0, 17, 30, 0, 14, 15, 0};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(w[i], expected[i]) << "byte " << i;
    EXPECT_TRUE(picture->isHidden());
}

struct RefuseRow
{
    const char* name;
    ScheduleKind kind;
    int field;
    QString text;
};

class ScheduleRefused : public testing::TestWithParam<RefuseRow>
{
};

TEST_P(ScheduleRefused, MessageNothingSentPictureStaysWithItsValues)
{
    const auto& row = GetParam();
    Bench bench;
    auto* picture = row.kind == ScheduleKind::Reservation ? bench.pictures->picReservation()
                                                          : bench.pictures->picCycling();
    picture->show();
    picture->field(row.field)->setEditText(row.text);

    picture->okButton()->click();

    EXPECT_TRUE(bench.meter.writes().empty());
    ASSERT_EQ(bench.dialogs.messages.size(), 1u);
    EXPECT_EQ(bench.dialogs.messages[0].buttons, ui::MsgButtons::Ok);
    EXPECT_FALSE(picture->isHidden());
    EXPECT_EQ(picture->field(row.field)->currentText(), row.text);
    EXPECT_TRUE(bench.poll.switches.empty());
    EXPECT_TRUE(bench.poll.polling());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ScheduleRefused,
    testing::Values(RefuseRow{"ReservationYear300", ScheduleKind::Reservation, 0, "300"},
                    RefuseRow{"ReservationIntervalMinutes", ScheduleKind::Reservation, 12, "1093"},
                    RefuseRow{"CyclingNegativeHour", ScheduleKind::Cycling, 3, "-2"},
                    RefuseRow{"CyclingIntervalMinutes", ScheduleKind::Cycling, 6, "99999"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ScheduleWrite, MeterAbsentStillClosesAndPollsAgain)
{
    Bench bench;
    bench.meter.setPlugged(false);
    auto* picture = bench.pictures->picReservation();
    picture->show();
    bench.button("CmdResOK")->click();
    EXPECT_TRUE(bench.meter.writes().empty());
    EXPECT_TRUE(bench.dialogs.messages.empty());
    EXPECT_TRUE(picture->isHidden());
    EXPECT_TRUE(bench.poll.polling());
}

TEST(ScheduleWrite, ExitSendsNothing)
{
    Bench bench;
    for (auto* picture : {bench.pictures->picReservation(), bench.pictures->picCycling()}) {
        picture->show();
        picture->exitButton()->click();
        EXPECT_TRUE(picture->isHidden());
    }
    EXPECT_TRUE(bench.meter.writes().empty());
    EXPECT_TRUE(bench.poll.switches.empty());
}

// The virtual meter keeps what is written, so a second visit reads it back.
TEST(ScheduleWrite, WrittenSchedulesAndTimeReadBackFromTheMeter)
{
    Bench bench;
    bench.meter.answers.clear();
    const panel::ScheduleTexts reservation{
        {"26", "12", "24", "18", "30", "00", "27", "01", "02", "06", "00", "00", "02", "05"}, true};
    const panel::ScheduleTexts cycling{{"07", "15", "00", "19", "45", "30", "00", "10"}, false};
    bench.pictures->picReservation()->fill(reservation);
    bench.button("CmdResOK")->click();
    bench.pictures->picCycling()->fill(cycling);
    bench.button("CmdCycOK")->click();
    bench.dialogs.inputAnswers = {QStringLiteral("1234"), QString()};
    bench.choose("OptMeter");
    bench.button("CmdIntvOK")->click();
    bench.button("CmdIntvOK")->click();

    bench.pictures->picReservation()->fill({});
    bench.pictures->picCycling()->fill({});
    bench.choose("OptSetup0");
    bench.button("CmdSetUpOK")->click();
    EXPECT_EQ(bench.pictures->picReservation()->texts().fields, reservation.fields);
    EXPECT_TRUE(bench.pictures->picReservation()->texts().enabled);
    bench.choose("OptSetup1");
    bench.button("CmdSetUpOK")->click();
    EXPECT_EQ(bench.pictures->picCycling()->texts().fields, cycling.fields);
    EXPECT_FALSE(bench.pictures->picCycling()->texts().enabled);
    ASSERT_EQ(bench.dialogs.inputs.size(), 2u);
    EXPECT_EQ(bench.dialogs.inputs[1].defaultText, QStringLiteral("1234"));
    EXPECT_EQ(bench.meter.pendingReports(), 0u);
    EXPECT_TRUE(bench.poll.polling());
}

// ---------------------------------------------------------------------------------------------
// Key filter and lists of the schedule fields

struct TypingRow
{
    const char* name;
    ScheduleKind kind;
    bool onLineEdit; // typed into the edit part rather than the box
    std::vector<Qt::Key> keys;
    QString expected;
};

class ScheduleTyping : public testing::TestWithParam<TypingRow>
{
};

TEST_P(ScheduleTyping, WhatReachesTheField)
{
    const auto& row = GetParam();
    Bench bench;
    auto* picture = row.kind == ScheduleKind::Reservation ? bench.pictures->picReservation()
                                                          : bench.pictures->picCycling();
    QComboBox* combo = picture->field(0);
    combo->setEditText(QStringLiteral("1"));
    combo->lineEdit()->setCursorPosition(1);
    QWidget* target = row.onLineEdit ? static_cast<QWidget*>(combo->lineEdit()) : combo;
    for (const Qt::Key key : row.keys)
        QTest::keyClick(target, key);
    EXPECT_EQ(combo->currentText(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ScheduleTyping,
    testing::Values(
        TypingRow{"DigitsPass", ScheduleKind::Reservation, false, {Qt::Key_2, Qt::Key_3}, "123"},
        TypingRow{"LettersDropped",
                  ScheduleKind::Reservation,
                  false,
                  {Qt::Key_A, Qt::Key_4, Qt::Key_Minus},
                  "14"},
        TypingRow{"BackspaceDropped", ScheduleKind::Reservation, false, {Qt::Key_Backspace}, "1"},
        TypingRow{"FilteredOnTheEditPartToo",
                  ScheduleKind::Reservation,
                  true,
                  {Qt::Key_Backspace, Qt::Key_B, Qt::Key_7},
                  "17"},
        TypingRow{"CursorKeysStillMove",
                  ScheduleKind::Reservation,
                  true,
                  {Qt::Key_Home, Qt::Key_9},
                  "91"},
        TypingRow{"CyclingHasNoFilter",
                  ScheduleKind::Cycling,
                  true,
                  {Qt::Key_Backspace, Qt::Key_A},
                  "a"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SchedulePictures, FreshPicturesShowTheFirstItems)
{
    Bench bench;
    EXPECT_EQ(bench.fields(bench.pictures->picReservation()),
              (QStringList{"00", "01", "01", "00", "00", "00", "00", "01", "01", "00", "00", "00",
                           "00", "00"}));
    EXPECT_EQ(bench.pictures->picReservation()->field(0)->count(), 100);
    EXPECT_EQ(bench.pictures->picCycling()->field(3)->count(), 24);
    for (QWidget* picture :
         bench.host->findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(picture->isHidden()) << picture->objectName().toStdString();
}

} // namespace

#include "panel/SetupPictures.h"

#include "tests/panel/SetupTestSupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using panel::ScheduleKind;
using setuptest::Bench;
using testsupport::ReportWith;
using Switches = std::vector<bool>;

constexpr int Continue = 35;
constexpr int ReadRes = 16;
constexpr int ReadCyc = 15;
constexpr int ReadTime = 14;
constexpr int WriteTime = 20;

// --- the set-up menu --------------------------------------------------------------------------

struct MenuRow
{
    const char* name;
    const char* option;
    bool memoryBusy;
    ui::MsgAnswer answer;
    std::vector<int> codes;
    const char* shown; // the picture open afterwards; nullptr: the menu stays open
};

TEST(SetupMenu, OkRunsTheChoice)
{
    // clang-format off
    const MenuRow rows[] = {
        MenuRow{"Reservation", "OptSetup0", false, ui::MsgAnswer::Ok, {ReadRes}, "PicReservation"},
        MenuRow{"Cycling", "OptSetup1", false, ui::MsgAnswer::Ok, {ReadCyc}, "PicCycling"},
        MenuRow{"ReferenceSendsNothing", "OptSetup2", false, ui::MsgAnswer::Ok, {}, "PicRef"},
        MenuRow{"BusyOkReservation", "OptSetup0", true, ui::MsgAnswer::Ok, {Continue, ReadRes},
                "PicReservation"},
        MenuRow{"BusyOkReference", "OptSetup2", true, ui::MsgAnswer::Ok, {Continue}, "PicRef"},
        MenuRow{"BusyCancelSendsNothing", "OptSetup1", true, ui::MsgAnswer::Cancel, {}, nullptr}};
    // clang-format on
    for (const MenuRow& row : rows) {
        SCOPED_TRACE(row.name);
        Bench bench;
        bench.memoryBusy = row.memoryBusy;
        bench.dialogs.messageAnswers.push_back(row.answer);
        bench.pictures->picSetup()->show();
        bench.pictures->picCycling()->show(); // an earlier picture closes first
        bench.choose(row.option);

        bench.click("CmdSetUpOK");

        EXPECT_EQ(bench.codes(), row.codes);
        ASSERT_EQ(bench.dialogs.messages.size(), row.memoryBusy ? 1u : 0u);
        if (row.memoryBusy) {
            EXPECT_EQ(bench.dialogs.messages[0].text,
                      QStringLiteral("Error! Memory in procceeding, continue?"));
            EXPECT_EQ(bench.dialogs.messages[0].buttons, ui::MsgButtons::OkCancel);
        }
        EXPECT_EQ(bench.pictures->picSetup()->isHidden(), row.shown != nullptr);
        for (QWidget* picture :
             std::initializer_list<QWidget*>{bench.pictures->picReservation(),
                                             bench.pictures->picCycling(), bench.referenceMenu})
            EXPECT_EQ(!picture->isHidden(), row.shown && picture->objectName() == row.shown)
                << picture->objectName().toStdString();
        EXPECT_EQ(bench.poll.calls, (Switches{false, true}));
    }
}

TEST(SetupMenu, DrainsWhatTheMeterStillSendsBeforeTheRead)
{
    Bench bench;
    bench.link.drain(); // the poll has found the meter before
    ASSERT_TRUE(bench.link.connected());
    bench.meter.queueReport(ReportWith({99, 99, 99}));
    bench.meter.queueReport(ReportWith({98, 98, 98}));
    bench.choose("OptSetup1");
    bench.click("CmdSetUpOK");
    EXPECT_EQ(bench.pictures->picCycling()->texts().fields.front(), QStringLiteral("08"));
    EXPECT_EQ(bench.meter.pendingReports(), 0u);
}

// --- sampling interval ------------------------------------------------------------------------

struct IntervalRow
{
    const char* name;
    bool meter; // OptMeter rather than OptPC
    QString answer;
    std::vector<int> codes;
    std::vector<int> written; // bytes 3 and 4 of the write, when there is one
    int pcInterval;           // afterwards
};

TEST(SamplingInterval, OkAsksAndWrites)
{
    // clang-format off
    const IntervalRow rows[] = {
        IntervalRow{"Pc100000Gives86400", false, "100000", {}, {}, 86400},
        IntervalRow{"PcCancelKeeps", false, "", {}, {}, 1},
        IntervalRow{"Meter4000Gives3600", true, "4000", {ReadTime, WriteTime}, {14, 16}, 1},
        IntervalRow{"Meter300", true, "300", {ReadTime, WriteTime}, {1, 44}, 1},
        IntervalRow{"MeterCancelWritesNothing", true, "", {ReadTime}, {}, 1}};
    // clang-format on
    for (const IntervalRow& row : rows) {
        SCOPED_TRACE(row.name);
        Bench bench;
        bench.dialogs.inputAnswers.push_back(row.answer);
        bench.pictures->picIntv()->show();
        bench.choose(row.meter ? "OptMeter" : "OptPC");

        bench.click("CmdIntvOK");

        EXPECT_TRUE(bench.pictures->picIntv()->isHidden());
        EXPECT_EQ(bench.codes(), row.codes);
        ASSERT_EQ(bench.dialogs.inputs.size(), 1u);
        const auto& asked = bench.dialogs.inputs[0];
        EXPECT_EQ(asked.title, QStringLiteral("Input Sampling Time"));
        EXPECT_EQ(asked.prompt,
                  QStringLiteral("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= ") +
                      (row.meter ? "3600" : "86400") + " ) ");
        // The meter's own value is read first and offered; otherwise the PC's current one.
        EXPECT_EQ(asked.defaultText, row.meter ? QStringLiteral("300") : QStringLiteral("1"));
        if (!row.written.empty()) {
            EXPECT_EQ(bench.meter.writes().back()[3], row.written[0]);
            EXPECT_EQ(bench.meter.writes().back()[4], row.written[1]);
        }
        EXPECT_EQ(bench.pictures->pcInterval(), row.pcInterval);
        EXPECT_TRUE(bench.poll.polling());
        EXPECT_EQ(bench.poll.calls.empty(), !row.meter);
    }
}

TEST(SamplingInterval, ReplyToTheWriteIsDrained)
{
    Bench bench;
    bench.dialogs.inputAnswers.push_back(QStringLiteral("90"));
    bench.choose("OptMeter");
    bench.click("CmdIntvOK");
    EXPECT_EQ(bench.meter.pendingReports(), 0u); // nothing left for the next poll
    EXPECT_EQ(bench.poll.calls, (Switches{false, true}));
}

// Without the meter: the pictures open as they would, nothing is asked twice, a schedule that
// was not written keeps its picture open and says so, and the poll runs again.
TEST(SetupPictures, MeterAbsent)
{
    Bench bench;
    bench.dialogs.inputAnswers = {QString(), QStringLiteral("60")};
    bench.choose("OptMeter");
    bench.click("CmdIntvOK"); // reads 300; cancelled
    bench.meter.setPlugged(false);
    bench.click("CmdIntvOK");
    EXPECT_EQ(bench.dialogs.inputs.at(1).defaultText, QStringLiteral("300")); // the time last read
    const QStringList shown{"01", "02", "03", "04", "05", "06", "01", "01"};
    bench.pictures->picCycling()->fill({shown, true});
    bench.choose("OptSetup1");
    bench.click("CmdSetUpOK");
    EXPECT_FALSE(bench.pictures->picCycling()->isHidden());
    EXPECT_EQ(bench.pictures->picCycling()->texts().fields, shown);
    bench.click("CmdCycOK");
    EXPECT_FALSE(bench.pictures->picCycling()->isHidden());
    EXPECT_EQ(bench.codes(), std::vector<int>{ReadTime});
    ASSERT_EQ(bench.dialogs.messages.size(), 1u);
    EXPECT_EQ(
        bench.dialogs.messages[0].text.toStdString(),
        "The schedule was not written: no meter was found.\r\nNothing was sent to the meter.");
    EXPECT_TRUE(bench.poll.polling());
}

// --- writing the schedules --------------------------------------------------------------------

TEST(ScheduleOk, SendsWhatWasTypedAndCloses)
{
    // One digit per box, each one its list would complete to another item ("1" to "10" ...).
    const std::vector<std::tuple<const char*, const char*, std::vector<int>>> rows = {
        {"OptSetup0", "31215431215415", {0, 6, 22, 3, 1, 2, 1, 5, 4, 3, 1, 2, 1, 5, 4, 0, 65, 0}},
        {"OptSetup1", "15415415", {0, 6, 21, 1, 5, 4, 1, 5, 4, 0, 65, 1}}};
    for (const auto& [option, typed, sent] : rows) {
        Bench bench;
        (new QVBoxLayout(&bench.window))->addWidget(bench.host);
        bench.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&bench.window));
        bench.choose(option);
        bench.click("CmdSetUpOK");
        auto* picture = std::string(option) == "OptSetup0" ? bench.pictures->picReservation()
                                                           : bench.pictures->picCycling();
        for (int i = 0; typed[i] != 0; ++i) {
            QComboBox* box = picture->field(i);
            QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
            QTest::keyClick(box, Qt::Key_End);
            QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
            QTest::keyClicks(box, QString(QLatin1Char(typed[i])));
            EXPECT_EQ(box->currentText().toStdString(), std::string(1, typed[i]))
                << box->objectName().toStdString();
        }
        bench.meter.clearWrites();
        bench.poll.calls.clear();

        QTest::mouseClick(picture->okButton(), Qt::LeftButton);

        ASSERT_EQ(bench.meter.writes().size(), 1u) << option;
        const auto& w = bench.meter.writes()[0];
        EXPECT_EQ(std::vector<int>(w.begin(), w.begin() + static_cast<long>(sent.size())), sent);
        EXPECT_TRUE(picture->isHidden());
        EXPECT_EQ(bench.poll.calls, (Switches{false, true}));
    }
}

// A meter that takes the write and falls silent, and a click while another sequence runs: the
// picture stays open with what was typed, the message says what happened.
TEST(ScheduleOk, NotTakenByTheMeterKeepsThePictureOpen)
{
    const std::vector<std::tuple<const char*, std::size_t, const char*>> rows = {
        {"Silent", 1,
         "The meter did not answer the schedule (Readfile timeout), so it may not have been "
         "written.\r\nOpen the set-up menu again to read what the meter holds."},
        {"Busy", 0,
         "The schedule was not written: the meter is busy with another command.\r\nNothing was "
         "sent to the meter."}};
    for (const auto& [name, writes, message] : rows) {
        SCOPED_TRACE(name);
        Bench bench;
        bench.choose("OptSetup0");
        bench.click("CmdSetUpOK");
        bench.pictures->picReservation()->field(2)->setEditText(QStringLiteral("15"));
        bench.meter.clearWrites();
        bench.meter.setSilent(writes == 1);
        auto other = writes == 0 ? bench.runner.begin() : std::nullopt;
        bench.click("CmdResOK");
        EXPECT_EQ(bench.meter.writes().size(), writes);
        EXPECT_FALSE(bench.pictures->picReservation()->isHidden());
        EXPECT_EQ(bench.pictures->picReservation()->field(2)->currentText(), "15");
        ASSERT_EQ(bench.dialogs.messages.size(), 1u);
        EXPECT_EQ(bench.dialogs.messages[0].text.toStdString(), message);
        other.reset();
        EXPECT_TRUE(bench.poll.polling());
    }
}

// The message names the field and the range its list offers; 1093 min = 65580 s.
TEST(ScheduleOk, OutOfRangeFieldIsRefusedNothingSentPictureKeepsItsValues)
{
    const std::vector<std::tuple<ScheduleKind, int, QString, QString>> rows = {
        {ScheduleKind::Reservation, 0, "300", "Start Year: \"300\" is out of range (0 to 99)."},
        {ScheduleKind::Reservation, 8, "00", "Stop Date: \"00\" is out of range (1 to 31)."},
        {ScheduleKind::Cycling, 0, "-1", "Start Hour: \"-1\" is out of range (0 to 23)."},
        {ScheduleKind::Cycling, 6, "1093",
         "Interval: 65580 seconds is out of range (0 to 65535 seconds)."}};
    for (const auto& [kind, field, text, message] : rows) {
        SCOPED_TRACE(text.toStdString());
        Bench bench;
        auto* picture = kind == ScheduleKind::Reservation ? bench.pictures->picReservation()
                                                          : bench.pictures->picCycling();
        picture->show();
        picture->field(field)->setEditText(text);
        picture->okButton()->click();
        EXPECT_TRUE(bench.meter.writes().empty());
        ASSERT_EQ(bench.dialogs.messages.size(), 1u);
        EXPECT_EQ(bench.dialogs.messages[0].text,
                  message + QStringLiteral("\r\nNothing was sent to the meter."));
        EXPECT_EQ(bench.dialogs.messages[0].buttons, ui::MsgButtons::Ok);
        EXPECT_FALSE(picture->isHidden());
        EXPECT_EQ(picture->field(field)->currentText(), text);
        EXPECT_TRUE(bench.poll.calls.empty());
    }
}

// --- typing into the fields -------------------------------------------------------------------

// The reservation's fields type digits only, and can be put right: Backspace, Delete, the
// arrows and select-all work; a paste, which could bring in any text, does not.
TEST(ScheduleTyping, WhatReachesTheField)
{
    struct Row
    {
        const char* name;
        ScheduleKind kind;
        bool onLineEdit; // typed into the edit part rather than the box
        std::vector<QKeySequence> keys;
        QString expected;
    };
    const auto keys = [](std::initializer_list<QKeySequence> list) {
        return std::vector<QKeySequence>(list);
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("x5"));
    const std::vector<Row> rows = {
        {"OnlyDigits", ScheduleKind::Reservation, false,
         keys({Qt::Key_A, Qt::Key_4, Qt::Key_Minus, Qt::Key_Space, Qt::Key_Period}), "14"},
        {"BackspaceDeletes", ScheduleKind::Reservation, true,
         keys({Qt::Key_Backspace, Qt::Key_B, Qt::Key_7}), "7"},
        {"DeleteDeletes", ScheduleKind::Reservation, false,
         keys({Qt::Key_Left, Qt::Key_Delete, Qt::Key_8}), "8"},
        {"CursorKeysMove", ScheduleKind::Reservation, true, keys({Qt::Key_Home, Qt::Key_9}), "91"},
        {"SelectAllReplaces", ScheduleKind::Reservation, true,
         keys({QKeySequence::SelectAll, Qt::Key_2, Qt::Key_5}), "25"},
        {"NoPaste", ScheduleKind::Reservation, true, keys({QKeySequence::Paste}), "1"},
        {"CyclingUnfiltered", ScheduleKind::Cycling, true, keys({Qt::Key_Backspace, Qt::Key_A}),
         "a"}};
    for (const Row& row : rows) {
        Bench bench;
        auto* picture = row.kind == ScheduleKind::Reservation ? bench.pictures->picReservation()
                                                              : bench.pictures->picCycling();
        QComboBox* combo = picture->field(0);
        combo->setEditText(QStringLiteral("1"));
        combo->lineEdit()->setCursorPosition(1);
        QWidget* target = row.onLineEdit ? static_cast<QWidget*>(combo->lineEdit()) : combo;
        for (const QKeySequence& key : row.keys)
            QTest::keySequence(target, key);
        EXPECT_EQ(combo->currentText(), row.expected) << row.name;
    }
}

} // namespace

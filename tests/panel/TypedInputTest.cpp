// Whatever a person types or pastes into the main window's boxes: huge and negative numbers,
// exponents, letters, empty and very long texts. Each is read by its leading number, or refused
// with a message; nothing crashes and nothing odd reaches the meter.
#include "link/MeterCommands.h"
#include "panel/ChromaPicture.h"
#include "panel/Schedules.h"
#include "tests/support/PanelHarness.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

namespace {

const QString LongDigits = QString(100000, QLatin1Char('9'));
const QString LongLetters = QString(100000, QLatin1Char('x'));

// The PC interval (1..86400) is rounded, halves to even, and clamped without a word; the meter
// (1..3600) gets two bytes in its range or nothing.
TEST(TypedInput, SamplingTimeIsReadByItsLeadingNumber)
{
    const struct
    {
        QString typed;
        std::optional<int> pc, meter;
    } rows[] = {{"30", 30, 30},
                {" 2.5", 2, 2},
                {"3.5 s", 4, 4},
                {"-5", 1, 1},
                {"0.4", 1, 1},
                {"1e3", 1000, 1000},
                {"1E-3", 1, 1},
                {"86400.5", 86400, 3600},
                {"99999999999999999999999", 86400, 3600},
                {"1e400", 86400, 3600},
                {"-1e400", 1, 1},
                {LongDigits, 86400, 3600},
                {"12abc", 12, 12},
                {".7", 1, 1},
                {"abc", {}, {}},
                {"x5", {}, {}},
                {"-", {}, {}},
                {"", {}, {}},
                {LongLetters, {}, {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed.left(20).toStdString());
        testsupport::Harness<> h;
        h.dialogs.inputAnswers = {row.typed, row.typed};
        EXPECT_EQ(panel::AskPcInterval(h.dialogs, 7), row.pc);
        EXPECT_TRUE(h.dialogs.messages.empty());
        int meterInterval = 0;
        EXPECT_EQ(panel::SetMeterInterval({h.runner, h.dialogs}, meterInterval), row.meter);
        EXPECT_TRUE(h.poll.polling());
        std::optional<int> sent;
        for (const auto& w : h.meter.writes()) {
            if (w.size() > 4 && w[1] == meterlink::meter::Command &&
                w[2] == meterlink::meter::WriteSamplingTime)
                sent = w[3] * 256 + w[4];
        }
        EXPECT_EQ(sent, row.meter);
    }
}

// Every field of both schedules in turn gets the text, "01" the others: a value outside the
// range the field's list offers is refused with a message, and so is an interval beyond 65535
// seconds.
TEST(TypedInput, ScheduleFieldWithinItsListOrIsRefused)
{
    const auto refusal = [](panel::ScheduleKind kind, int field, const QString& typed) {
        panel::ScheduleTexts texts;
        for (int i = 0; i < panel::ScheduleFieldCount(kind); ++i)
            texts.fields << (i == field ? typed : QStringLiteral("01"));
        const auto command = panel::ScheduleCommand(kind, texts);
        const auto* text = std::get_if<QString>(&command);
        return text ? std::optional(*text) : std::nullopt;
    };
    // Each text with the value it reads as: its leading number, halves rounded to even.
    constexpr double Huge = std::numeric_limits<double>::infinity();
    const std::pair<QString, double> rows[] = {
        {"", 0},           {"abc", 0},         {"2e1", 20},     {"12.5", 12},
        {"-0.4", 0},       {"31.5", 32},       {"-1", -1},      {"1e999", Huge},
        {"-1e999", -Huge}, {LongDigits, Huge}, {LongLetters, 0}};
    for (const auto& [typed, value] : rows) {
        for (const auto kind : {panel::ScheduleKind::Reservation, panel::ScheduleKind::Cycling}) {
            for (int f = 0; f < panel::ScheduleByteFields(kind); ++f) {
                const QStringList items = panel::ScheduleItems(kind)[static_cast<std::size_t>(f)];
                const bool outside = value < items.first().toInt() || value > items.last().toInt();
                const auto told = refusal(kind, f, typed);
                EXPECT_EQ(told.has_value(), outside) << typed.left(20).toStdString() << " " << f;
                EXPECT_FALSE(told && told->isEmpty());
            }
        }
    }
    const auto cycling = panel::ScheduleKind::Cycling;
    for (const QString& minutes : {QString("1092.3"), QString("1e300"), LongDigits})
        EXPECT_TRUE(refusal(cycling, panel::ScheduleByteFields(cycling), minutes));
}

// Pasted text passes the key filter; the picture reads each box's leading number, a decimal
// comma as the point, and answers, or names the first box (P1 to P4, then the point; x before
// y) that holds no number.
TEST(TypedInput, ChromaPictureAnswersOrNamesTheBoxWithoutANumber)
{
    const struct
    {
        std::array<const char*, 10> texts; // P1 x, y ... P4 x, y, then the point
        const char* expected;              // nullptr: either answer, as long as there is one
    } rows[] = {
        {{"0", "0", "1e0", "0", "1", "1", "0", "1.0e0", "5e-1", ".5"}, "Inside"},
        {{"0", "0", "1x", "0", "1 ", "1", " 0", "1", "0.5abc", "0.5"}, "Inside"},
        {{"0.2", "0.2", "0.8", "0.2", "0.8", "0.8", "0.2", "0.8", "0,5", "0,3127"}, "Inside"},
        {{"0", "0", "1", "0", "1", "1", "0", "1", "1,5", "0,5"}, "Outside"},
        {{"0", "0", "1", "0", "1", "1", "0", "1", "0.5", "xyz"}, "Y of the point is not a number"},
        {{"", "", "", "", "", "", "", "", "", ""}, "X of P1 is not a number"},
        {{"0", "0", "1", "-", "1", "1", "0", "1", "0", "0"}, "Y of P2 is not a number"},
        {{"-1e308", "-1e308", "1e308", "-1e308", "1e308", "1e308", "-1e308", "1e308", "0", "0"},
         nullptr},
        {{"1e999", "-1e999", "1e999", "1e999", "-1e999", "1e999", "-1e999", "-1e999", "1e999",
          "1e-999"},
         nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.texts[8]);
        panel::ChromaPicture picture;
        for (std::size_t i = 0; i < 10; ++i) { // corners 1..4, then the point in box 0
            const QString box = QStringLiteral("TxtNo%1(%2)")
                                    .arg(QLatin1Char(i % 2 ? 'Y' : 'X'))
                                    .arg((i / 2 + 1) % 5);
            picture.findChild<QLineEdit*>(box)->setText(QString::fromLatin1(row.texts[i]));
        }
        QTest::mouseClick(picture.findChild<QPushButton*>(QStringLiteral("CmdChromaOK")),
                          Qt::LeftButton);
        const QString answer =
            picture.findChild<QLabel*>(QStringLiteral("LblChromaResult"))->text();
        if (row.expected)
            EXPECT_EQ(answer.toStdString(), row.expected);
        else
            EXPECT_TRUE(answer == QLatin1String("Inside") || answer == QLatin1String("Outside"));
    }
}

// The corners' x boxes type only what a number may hold, under any locale, and can be put
// right: Backspace, Delete, the arrows and select-all work. The y boxes do not filter.
TEST(TypedInput, ChromaXBoxesFilterCharactersButEditYBoxesDoNot)
{
    panel::ChromaPicture picture;
    QLineEdit* x = picture.findChild<QLineEdit*>(QStringLiteral("TxtNoX(1)"));
    QLineEdit* y = picture.findChild<QLineEdit*>(QStringLiteral("TxtNoY(1)"));
    x->setFocus();
    QTest::keyClick(x, Qt::Key_End);
    QTest::keyClicks(x, QStringLiteral("0.3"));
    EXPECT_EQ(x->text(), "1234.56780.3"); // a typo: the old text was not replaced
    QTest::keySequence(x, QKeySequence::SelectAll);
    QTest::keyClicks(x, QStringLiteral("a0,3-.1e"));
    EXPECT_EQ(x->text(), "03-.1");
    QTest::keyClick(x, Qt::Key_Backspace);
    QTest::keyClick(x, Qt::Key_Left);
    QTest::keyClick(x, Qt::Key_Backspace);
    QTest::keyClick(x, Qt::Key_Home);
    QTest::keyClick(x, Qt::Key_Delete);
    EXPECT_EQ(x->text(), "3.");

    y->clear();
    QTest::keyClicks(y, QStringLiteral("xyz"));
    EXPECT_EQ(y->text(), "xyz");
}

} // namespace

#include "files/RecordCsv.h"

#include "files/CsvWriter.h"
#include "files/RecordLine.h"

#include <QBuffer>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string recordLine(int second, double X, double Ev, double Tcp, double duv)
{
    files::Reading r;
    r.year = 2026;
    r.month = 12;
    r.day = 6;
    r.hour = 9;
    r.minute = 5;
    r.second = second;
    r.X = X;
    r.Y = 512.5;
    r.Z = 559.1;
    r.Ev = Ev;
    r.Tcp = Tcp;
    r.x = 0.3127;
    r.y = 0.3290;
    r.u = 0.1978;
    r.v = 0.4683;
    r.duv = duv;
    return files::RecordLine(r) + "\r\n";
}

std::string csvOf(std::string_view fileText, long long* records = nullptr)
{
    std::ostringstream out;
    files::CsvWriter writer(out);
    const long long written = files::WriteRecordsCsv(fileText, writer);
    if (records != nullptr)
        *records = written;
    EXPECT_TRUE(writer.finish());
    return out.str();
}

const std::string Titles = "Date and time,X,Y,Z,Ev (lx),Tcp (K),x,y,u',v',delta-uv\r\n";

struct ExportRow
{
    const char* name;
    std::string file;
    std::string csv;
    long long records;
};

const std::vector<ExportRow>& exportRows()
{
    static const std::vector<ExportRow> rows = {
        {"stopped recording: column lines skipped, a cut and a bad line, nothing after the end",
         "TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\nStart Time : 26/12/06 09:05:07\r\n"
         "Total Records : 3\r\nInterval :   1 Second     Unit : \r\nX       Y       Z     XYZ\r\n"
         "*********************************\r\n" +
             files::RecordColumnLine() + "\r\n" + recordLine(7, 487.3, 512.5, 6504, 0.0032) +
             recordLine(8, -1.5, 12345.6, 2700, -0.0125) +
             "2026/13/06  09:05:09    487.3      abc\r\nend of data\r\n" +
             recordLine(10, 1, 1, 1, 0),
         Titles + "2026-12-06T09:05:07,487.3,512.5,559.1,512.5,6504,0.3127,0.3290,0.1978,0.4683,0."
                  "0032\r\n"
                  "2026-12-06T09:05:08,-1.5,512.5,559.1,12345.6,2700,0.3127,0.3290,0.1978,0.4683,"
                  "-0.0125\r\n"
                  ",487.3,,,,,,,,,\r\n",
         3},
        {"downloaded set in foot-candles",
         "582 Data Logger\r\nStart Time : 2026/12/06 09:05:07\r\nTotal Records : 1\r\n"
         "Interval : 1 Second     Unit : fc\r\n" +
             files::RecordColumnLine() + "\r\n*********************************\r\n" +
             recordLine(7, 487.3, 47.6, 6504, 0.0032),
         "Date and time,X,Y,Z,Ev (fc),Tcp (K),x,y,u',v',delta-uv\r\n"
         "2026-12-06T09:05:07,487.3,512.5,559.1,47.6,6504,0.3127,0.3290,0.1978,0.4683,0.0032\r\n",
         1},
        {"header only", "a\r\nb\r\n\r\nd\r\ne\r\n", Titles, 0},
        {"empty second item", "a\r\n\r\nc\r\nd\r\ne\r\n" + recordLine(7, 1, 1, 1, 0), Titles, 0},
        {"empty file", "", Titles, 0},
    };
    return rows;
}

// Numbers go out with "." whatever the locale; the comma locale runs where it is installed.
TEST(RecordCsv, ExportsEveryFieldOfEveryRecordByteForByte)
{
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, locale) == nullptr)
            continue;
        for (const ExportRow& row : exportRows()) {
            SCOPED_TRACE(testing::Message() << locale << ": " << row.name);
            long long records = -1;
            EXPECT_EQ(csvOf(row.file, &records), row.csv);
            EXPECT_EQ(records, row.records);
        }
    }
    std::setlocale(LC_NUMERIC, "C");
}

// What a field of the record line holds, put at the x position, and what the CSV shows of it.
struct FieldRow
{
    const char* field; // 7 characters
    const char* csv;
};

const FieldRow FieldRows[] = {
    {" 0.3127", "0.3127"}, {"0.31275", "0.31275"}, {"   +.5 ", "0.5"}, {" -0.000", "-0.000"},
    {"     12", "12"},     {"    nan", ""},        {"  inf  ", ""},    {"  1e-3 ", ""},
    {"  1.2.3", ""},       {"      -", ""},        {" 12 34 ", ""},    {"       ", ""},
};

TEST(RecordCsv, KeepsTheDigitsOfAFieldAndLeavesNonNumbersEmpty)
{
    const std::string line = recordLine(7, 1, 1, 1, 0);
    for (const FieldRow& row : FieldRows) {
        const std::string item = line.substr(0, 67) + row.field;
        std::ostringstream out;
        files::CsvWriter writer(out);
        files::WriteRecordRow(writer, files::ParseRecordFields(item));
        ASSERT_TRUE(writer.finish());
        // Date, X, Y, Z, Ev, Tcp, then x; y and the rest lie beyond the end of the item.
        EXPECT_EQ(out.str(),
                  std::string("2026-12-06T09:05:07,1.0,512.5,559.1,1.0,1,") + row.csv + ",,,,\r\n")
            << '"' << row.field << '"';
    }
}

TEST(CsvWriter, QuotesWhatRfc4180AsksAndFormatsNumbersWithAPoint)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::ostringstream out;
    files::CsvWriter writer(out);
    for (const char* text : {"plain", "a,b", "say \"hi\"", "two\r\nlines", "cr\r", "lf\n",
                             "\xce\x94u'v' \xc2\xb0", "", " spaced "})
        writer.text(text);
    writer.endRow();
    writer.number(2.0 / 3, 4);
    writer.number(0.31275, 4); // just below the half in binary
    writer.number(-0.00004, 4);
    writer.number(1e20, 1);
    writer.number(5, -3);
    writer.number(nan, 2);
    writer.number(std::nullopt, 2);
    writer.endRow();
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(out.str(), "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"cr\r\",\"lf\n\","
                         "\xce\x94u'v' \xc2\xb0,, spaced \r\n"
                         "0.6667,0.3127,-0.0000,100000000000000000000.0,5,,\r\n");
}

TEST(CsvWriter, StreamsLargeExportsInBlocksAndReportsAFailedWrite)
{
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    files::CsvWriter writer(buffer);
    constexpr int Rows = 200'000; // (10 * 7 + 90 * 8 + 900 * 9) bytes a thousand: two blocks
    for (int i = 0; i < Rows; ++i) {
        writer.number(i % 1000, 3);
        writer.endRow();
    }
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(buffer.size(), 1'778'000);
    EXPECT_TRUE(buffer.data().endsWith("\r\n999.000\r\n"));

    // A full disk: the device takes nothing.
    class FullDevice : public QIODevice
    {
        qint64 readData(char*, qint64) override { return -1; }
        qint64 writeData(const char*, qint64) override { return -1; }
    } full;
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    files::CsvWriter failing(full);
    failing.text("lost");
    failing.endRow();
    EXPECT_FALSE(failing.finish());
}

} // namespace

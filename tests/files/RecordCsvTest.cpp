#include "files/RecordCsv.h"

#include "files/CsvWriter.h"
#include "files/RecordLine.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>

namespace {

// A record line as the recorder writes it, at 2026/12/06 09:05:<second>.
std::string line(int second, double X, double Ev, double Tcp, double duv)
{
    return files::RecordLine({.year = 2026,
                              .month = 12,
                              .day = 6,
                              .hour = 9,
                              .minute = 5,
                              .second = second,
                              .X = X,
                              .Y = 512.5,
                              .Z = 559.1,
                              .Ev = Ev,
                              .Tcp = Tcp,
                              .x = 0.3127,
                              .y = 0.3290,
                              .u = 0.1978,
                              .v = 0.4683,
                              .duv = duv}) +
           "\r\n";
}

struct ExportRow
{
    const char* name;
    std::string file;
    std::string csv; // after the title row
    const char* evUnit;
    long long records;
};

TEST(RecordCsv, ExportsEveryFieldOfEveryRecordByteForByte)
{
    const std::string recording =
        "TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\nStart Time : 26/12/06 09:05:07\r\n"
        "Total Records : 3\r\nInterval :   1 Second     Unit : \r\nX       Y       Z     XYZ\r\n"
        "*********************************\r\n" +
        files::RecordColumnLine() + "\r\n";
    const ExportRow rows[] = {
        {"recording: a cut line with a bad date and a word, nothing after the end",
         recording + line(7, 487.3, 512.5, 6504, 0.0032) + line(8, -1.5, 12345.6, 2700, -0.0125) +
             "2026/13/06  09:05:09    487.3      abc\r\nend\r\n" + line(10, 1, 1, 1, 0),
         "2026-12-06T09:05:07,487.3,512.5,559.1,512.5,0.3127,0.3290,0.1978,0.4683,6504,0.0032\r\n"
         "2026-12-06T09:05:08,-1.5,512.5,559.1,12345.6,0.3127,0.3290,0.1978,0.4683,2700,-0.0125\r\n"
         ",487.3,,,,,,,,,\r\n",
         "lx", 3},
        {"a comma in the blank after x ends the record: nothing of what follows it",
         recording + line(7, 487.3, 512.5, 6504, 0.0032).replace(74, 1, ",") + "end\r\n" +
             line(10, 1, 1, 1, 0),
         "2026-12-06T09:05:07,487.3,512.5,559.1,512.5,0.3127,,,,6504,\r\n", "lx", 1},
        {"downloaded set in foot-candles",
         "582 Data Logger\r\nStart Time : 2026/12/06 09:05:07\r\nTotal Records : 1\r\n"
         "Interval : 1 Second     Unit : fc\r\n*********************************\r\n" +
             line(7, 487.3, 47.6, 6504, 0.0032),
         "2026-12-06T09:05:07,487.3,512.5,559.1,47.6,0.3127,0.3290,0.1978,0.4683,6504,0.0032\r\n",
         "fc", 1},
        {"empty second item: no data file", "a\r\n\r\nc\r\nd\r\ne\r\n" + line(7, 1, 1, 1, 0), "",
         "lx", 0},
        {"empty file", "", "", "lx", 0},
    };
    // Numbers go out with "." whatever the locale: this program runs under a comma locale too.
    for (const ExportRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::ostringstream out;
        files::CsvWriter writer(out);
        EXPECT_EQ(files::WriteRecordsCsv(row.file, writer), row.records);
        ASSERT_TRUE(writer.finish());
        EXPECT_EQ(out.str(), "Time,X,Y,Z,Ev (" + std::string(row.evUnit) +
                                 "),x,y,u',v',Tcp (K),delta-uv\r\n" + row.csv);
    }
}

// A text at the x position of a record line (7 characters) and what the CSV shows of it, the
// same from the fields taken apart as from a file's text, where each line comes twice and lines
// laid out alike follow each other.
TEST(RecordCsv, KeepsTheDigitsOfAFieldAndLeavesNonNumbersEmpty)
{
    const std::pair<const char*, const char*> fields[] = {
        {" 0.3127", "0.3127"}, {"0.31275", "0.31275"}, {"   +.5 ", "0.5"},  {" -0.000", "-0.000"},
        {"     12", "12"},     {"  112.5", "112.5"},   {"  012.5", "12.5"}, {"     5.", "5"},
        {"     -0", "-0"},     {"  -.50 ", "-0.50"},   {"    nan", ""},     {"  inf  ", ""},
        {"  1e-3 ", ""},       {"  1.2.3", ""},        {"      -", ""},     {" 12 34 ", ""},
        {"       ", ""},       {"     00", "0"},       {"  -00.5", "-0.5"}, {"  1.-5 ", ""},
        {"-  1.5 ", ""},       {"\t0.5   ", ""},       {"   -0.0", "-0.0"}, {" 5.5.  ", ""},
        {"    -.5", "-0.5"},
    };
    std::string text = "a\r\nb\r\nc\r\nd\r\ne\r\n";
    std::string rows;
    for (const auto& [field, csv] : fields) {
        const std::string item = line(7, 1, 1, 1, 0).substr(0, 67) + field;
        std::ostringstream row;
        files::CsvWriter rowWriter(row);
        files::WriteRecordRow(rowWriter, files::ParseRecordFields(item));
        ASSERT_TRUE(rowWriter.finish());
        // y and the fields after it lie beyond the end of the item.
        const std::string expected =
            "2026-12-06T09:05:07,1.0,512.5,559.1,1.0," + std::string(csv) + ",,,,1,\r\n";
        EXPECT_EQ(row.str(), expected) << '"' << field << '"';
        text += item + "\r\n" + item + "\r\n";
        rows += expected + expected;
    }
    std::ostringstream file;
    files::CsvWriter fileWriter(file);
    files::WriteRecordsCsv(text, fileWriter);
    ASSERT_TRUE(fileWriter.finish());
    EXPECT_EQ(file.str().substr(file.str().find("\r\n") + 2), rows);
}

TEST(CsvWriter, QuotesAsRfc4180AsksAndWritesNumbersWithAPoint)
{
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
    writer.number(std::numeric_limits<double>::quiet_NaN(), 2);
    writer.number(std::nullopt, 2);
    writer.endRow();
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(out.str(), "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"cr\r\",\"lf\n\","
                         "\xce\x94u'v' \xc2\xb0,, spaced \r\n"
                         "0.6667,0.3127,-0.0000,100000000000000000000.0,5,,\r\n");
}

TEST(CsvWriter, StreamsInBlocksWithoutLosingARow)
{
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    files::CsvWriter writer(buffer);
    for (int i = 0; i < 200'000; ++i) {
        writer.number(i % 1000, 3);
        writer.endRow();
    }
    ASSERT_TRUE(writer.finish());
    // (10 * 7 + 90 * 8 + 900 * 9) bytes a thousand rows: two blocks and the rest.
    EXPECT_EQ(buffer.size(), 1'778'000);
    EXPECT_TRUE(buffer.data().endsWith("\r\n999.000\r\n"));
}

} // namespace

#include "files/RecordCsv.h"

#include "files/DataFileReader.h"
#include "files/ItemReader.h"

#include <algorithm>

namespace files {

namespace {

constexpr int HeaderItems = 5;

// The item names foot-candles after "Unit :".
bool namesFootCandles(std::string_view item)
{
    constexpr std::string_view Label = "Unit :";
    const std::size_t at = item.find(Label);
    if (at == std::string_view::npos)
        return false;
    std::string_view unit = item.substr(at + Label.size());
    while (!unit.empty() && unit.front() == ' ')
        unit.remove_prefix(1);
    while (!unit.empty() && unit.back() == ' ')
        unit.remove_suffix(1);
    return unit == "fc";
}

// A field text that the CSV shows as it stands: an optional minus, a whole part without
// leading zeros, and an optional point with digits after it. Reading such a text and writing its
// value with its decimals gives the same characters again, so it is copied instead.
bool isPlainDecimal(std::string_view text)
{
    std::size_t i = !text.empty() && text.front() == '-' ? 1 : 0;
    const std::size_t whole = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i == whole || (i - whole > 1 && text[whole] == '0'))
        return false;
    if (i == text.size())
        return true;
    if (text[i] != '.' || i + 1 == text.size())
        return false;
    for (++i; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::string_view withoutBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The row WriteRecordRow writes for ParseRecordFields(item), without taking apart the fields
// that can be copied: a million records are exported in a fraction of the time.
void writeRecordItem(CsvWriter& out, std::string_view item)
{
    // A valid time holds its digits where IsoDateTime would put them back.
    char iso[] = "YYYY-MM-DDThh:mm:ss";
    if (ParseRecordTime(item)) {
        for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
            iso[i] = item[i < 11 ? i : i + 1];
        out.text(std::string_view(iso, sizeof iso - 1));
    } else {
        out.text({});
    }
    for (int i = 0; i < RecordValueCount; ++i) {
        const auto field = static_cast<RecordValue>(i);
        const std::string_view text = withoutBlanks(RecordFieldText(item, field));
        if (isPlainDecimal(text)) {
            out.text(text);
        } else if (const std::optional<RecordNumber> n = ParseRecordValue(item, field)) {
            out.number(n->value, n->decimals);
        } else {
            out.text({});
        }
    }
    out.endRow();
}

} // namespace

std::array<std::string, 1 + RecordValueCount> RecordColumnTitles(std::string_view evUnit)
{
    return {"Date and time", "X", "Y", "Z",  "Ev (" + std::string(evUnit) + ")",
            "Tcp (K)",       "x", "y", "u'", "v'",
            "delta-uv"};
}

void WriteRecordRow(CsvWriter& out, const RecordFields& fields)
{
    out.text(fields.time ? IsoDateTime(*fields.time) : std::string());
    for (const std::optional<RecordNumber>& n : fields.values) {
        if (n)
            out.number(n->value, n->decimals);
        else
            out.text({});
    }
    out.endRow();
}

long long WriteRecordsCsv(std::string_view fileText, CsvWriter& out)
{
    ItemScanner items(fileText);
    // The header: five items, of which only the third may be empty.
    bool footCandles = false;
    int header = 0;
    for (; header < HeaderItems && !items.atEnd(); ++header) {
        const std::string_view item = items.next();
        if (item.empty() && header != 2)
            break;
        footCandles = footCandles || namesFootCandles(item);
    }
    for (const std::string& title : RecordColumnTitles(footCandles ? "fc" : "lx"))
        out.text(title);
    out.endRow();
    if (header < HeaderItems)
        return 0;

    // A few lines may stand between the header and the records (the column lines of a
    // recording); the records end at the first item that is not one.
    long long records = 0;
    int extra = 0;
    while (!items.atEnd()) {
        const std::string_view item = items.next();
        if (IsRecordItem(item)) {
            writeRecordItem(out, item);
            ++records;
        } else if (records > 0 || item.empty() || ++extra > RecordCollector::MaxExtraHeaderItems) {
            break;
        }
    }
    return records;
}

} // namespace files

#include "files/RecordCsv.h"

#include "files/DataFileReader.h"
#include "files/ItemReader.h"

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
            WriteRecordRow(out, ParseRecordFields(item));
            ++records;
        } else if (records > 0 || item.empty() || ++extra > RecordCollector::MaxExtraHeaderItems) {
            break;
        }
    }
    return records;
}

} // namespace files

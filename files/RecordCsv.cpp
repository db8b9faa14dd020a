#include "files/RecordCsv.h"

#include "files/DataFileReader.h"
#include "files/ItemReader.h"

#include <algorithm>
#include <cstring>

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

// The ISO 8601 date and time of a record item, written at `iso` (19 characters); nothing
// when its time is not valid. A valid time holds its digits where IsoDateTime would put them.
std::string_view isoTime(std::string_view item, char* iso)
{
    if (!ParseRecordTime(item))
        return {};
    std::memcpy(iso, "YYYY-MM-DDThh:mm:ss", 19);
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
        iso[i] = item[i < 11 ? i : i + 1];
    return {iso, 19};
}

// The row of a record item whose fields are all blank or plain decimals (the lines this
// program and the meter write), gathered and handed to the writer in one go; false, with
// nothing written, for any other.
bool writePlainRecordItem(CsvWriter& out, std::string_view item)
{
    // The date and time, then each field with its comma; room for a copy of sixteen bytes
    // after the last.
    constexpr std::size_t Copied = 16;
    char row[19 + RecordValueCount * 10 + Copied];
    const char* itemEnd = item.data() + item.size();
    char* at = row + isoTime(item, row).size();
    for (int i = 0; i < RecordValueCount; ++i) {
        const std::string_view text =
            withoutBlanks(RecordFieldText(item, static_cast<RecordValue>(i)));
        *at++ = ',';
        if (text.empty()) // it may point nowhere
            continue;
        if (!isPlainDecimal(text))
            return false;
        // A field is followed by more of the line except at its end: sixteen bytes copied at
        // once cost less than a copy of the field's length.
        if (itemEnd - text.data() >= static_cast<std::ptrdiff_t>(Copied))
            std::memcpy(at, text.data(), Copied);
        else
            std::copy(text.begin(), text.end(), at);
        at += text.size();
    }
    out.plainRow(std::string_view(row, static_cast<std::size_t>(at - row)));
    return true;
}

// The row WriteRecordRow writes for ParseRecordFields(item), without taking apart the fields
// that can be copied: a million records are exported in a fraction of the time.
void writeRecordItem(CsvWriter& out, std::string_view item)
{
    if (writePlainRecordItem(out, item))
        return;
    char iso[19];
    out.text(isoTime(item, iso));
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

void RecordsCsv::writeTitles()
{
    for (const std::string& title : RecordColumnTitles(m_footCandles ? "fc" : "lx"))
        m_out.text(title);
    m_out.endRow();
    m_titled = true;
}

bool RecordsCsv::add(std::string_view item)
{
    if (m_done)
        return false;
    if (m_headerItems < HeaderItems) {
        // Five items, of which only the third may be empty.
        if (item.empty() && m_headerItems != 2) {
            writeTitles();
            m_done = true;
        } else {
            m_footCandles = m_footCandles || namesFootCandles(item);
            if (++m_headerItems == HeaderItems)
                writeTitles();
        }
    } else if (IsRecordItem(item)) {
        writeRecordItem(m_out, item);
        ++m_records;
    } else if (m_records > 0 || item.empty() ||
               ++m_extraItems > RecordCollector::MaxExtraHeaderItems) {
        // A few lines may stand between the header and the records (the column lines of a
        // recording); the records end at the first item that is not one.
        m_done = true;
    }
    return !m_done;
}

bool RecordsCsv::addItems(std::string_view text)
{
    for (ItemScanner items(text); !items.atEnd();) {
        if (!add(items.next()))
            return false;
    }
    return true;
}

long long RecordsCsv::finish()
{
    if (!m_titled)
        writeTitles();
    m_done = true;
    return m_records;
}

long long WriteRecordsCsv(std::string_view fileText, CsvWriter& out)
{
    RecordsCsv csv(out);
    csv.addItems(fileText);
    return csv.finish();
}

} // namespace files

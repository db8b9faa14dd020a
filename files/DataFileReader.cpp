#include "files/DataFileReader.h"

#include "files/ItemReader.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace files {

namespace {

QString field(std::string_view item, std::size_t firstPosition)
{
    const std::size_t offset = firstPosition - 1;
    if (item.size() <= offset)
        return QString();
    const std::size_t length = std::min<std::size_t>(7, item.size() - offset);
    return QString::fromLatin1(item.data() + offset, static_cast<qsizetype>(length));
}

// Blocks of this size are read at a time; a line longer than that grows the buffer.
constexpr qsizetype BlockSize = 1 << 20;
// A text without a line end in this many bytes is no data file (a device such as /dev/zero,
// or binary data): what was read so far is taken as the whole file, so the read always ends.
constexpr qsizetype MaxLineBytes = 64 << 20;

} // namespace

bool IsRecordItem(std::string_view item)
{
    return item.size() >= 18 && item[4] == '/' && item[7] == '/' && item[14] == ':' &&
           item[17] == ':';
}

QString RecordFieldX(std::string_view item)
{
    return field(item, 68);
}

QString RecordFieldY(std::string_view item)
{
    return field(item, 79);
}

void RecordCollector::store(std::string_view item)
{
    m_x.push_back(RecordFieldX(item));
    m_y.push_back(RecordFieldY(item));
}

bool RecordCollector::add(std::string_view item)
{
    switch (m_stage) {
    case Stage::Header:
        // Item 3 (the total line) may be empty; any other empty header item ends the file.
        if (item.empty() && m_headerItems != 2) {
            m_stage = Stage::Done;
            break;
        }
        if (++m_headerItems == 5)
            m_stage = Stage::BeforeRecords;
        break;
    case Stage::BeforeRecords:
        if (item.empty()) {
            m_stage = Stage::Done;
        } else if (IsRecordItem(item)) {
            store(item);
            m_stage = Stage::Records;
        } else if (++m_extraItems > MaxExtraHeaderItems) {
            m_stage = Stage::Done;
        }
        break;
    case Stage::Records:
        if (IsRecordItem(item))
            store(item);
        else
            m_stage = Stage::Done;
        break;
    case Stage::Done:
        break;
    }
    return m_stage != Stage::Done;
}

ReadOutcome ReadDataFile(const QString& path, PlotData& plot)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadOutcome::CannotOpen;

    RecordCollector collector;
    QByteArray buffer(BlockSize, Qt::Uninitialized);
    qsizetype filled = 0;
    bool anyItem = false;
    bool more = true;
    bool atFileEnd = false;
    while (more && !atFileEnd) {
        if (filled == buffer.size())
            buffer.resize(buffer.size() * 2);
        const qint64 got = file.read(buffer.data() + filled, buffer.size() - filled);
        if (got < 0)
            return ReadOutcome::ReadFailed;
        atFileEnd = got == 0;
        filled += got;

        // Items never run past a line end, so every complete line can be read now; the rest
        // waits for the next block unless the file has ended.
        const char* begin = buffer.constData();
        const char* end = begin + filled;
        if (!atFileEnd) {
            const char* lastLf = begin + filled;
            while (lastLf != begin && lastLf[-1] != '\n')
                --lastLf;
            if (lastLf != begin)
                end = lastLf;
            else if (filled < MaxLineBytes)
                continue; // no line end yet: read more
            else
                atFileEnd = true;
        }
        ItemScanner items(begin, end);
        while (more && !items.atEnd()) {
            anyItem = true;
            more = collector.add(items.next());
        }
        const auto used = static_cast<qsizetype>(end - begin);
        std::memmove(buffer.data(), buffer.constData() + used,
                     static_cast<std::size_t>(filled - used));
        filled -= used;
    }

    if (!anyItem)
        return ReadOutcome::Empty;
    if (!collector.headerComplete())
        return ReadOutcome::HeaderTooShort;

    plot.RecordCount = collector.recordCount();
    plot.RecordX = std::move(collector.recordX());
    plot.RecordY = std::move(collector.recordY());
    plot.PlotCount = plot.RecordCount;
    plot.PlotFrom = 1;
    plot.PlotTo = plot.RecordCount;
    plot.DefaultAxisMin = 0;
    plot.DefaultAxisMax = 1;
    return ReadOutcome::Ok;
}

} // namespace files

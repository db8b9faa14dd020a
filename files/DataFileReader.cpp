#include "files/DataFileReader.h"

#include "files/ItemReader.h"
#include "files/MemoryLimit.h"
#include "files/RecordFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace files {

namespace {

// Blocks of this size are read at a time; a line longer than that grows the buffer.
constexpr qsizetype BlockSize = 1 << 20;
// A line is held whole while it is read; one longer than this is refused, so the buffer stays
// bounded (no data file has such lines; binary data may).
qsizetype maxLineBytes = DefaultMaxLineBytes;
// Bytes of memory the program can still take, within any limit on its control group.
std::uint64_t availableMemory()
{
    return MemoryAtHand();
}

// The most records one read may hold: half the memory at hand, and what an int can count.
std::size_t recordLimit()
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(
        availableMemory() / 2 / RecordTable::bytesPerRecord(), INT_MAX - 1));
}

void appendRecord(RecordTable& records, std::string_view item)
{
    // A line that ends before Ev holds none of the fields kept (the shortest lines a file can
    // have): no field to look for.
    if (RecordFieldText(item, RecordValue::Ev).empty()) {
        records.append({}, {});
        return;
    }
    records.append(RecordFieldText(item, RecordValue::x), RecordFieldText(item, RecordValue::y),
                   {RecordFieldText(item, RecordValue::Ev), RecordFieldText(item, RecordValue::Tcp),
                    RecordFieldText(item, RecordValue::duv)});
}

ReadResult failure(ReadOutcome outcome, const QString& systemError = QString())
{
    return {outcome, systemError, {}};
}

// Where the complete lines in [begin, end) end: after the last LF, or after the last CR that is
// not the final byte (the LF of a CR LF may still be on its way); `begin` when there is none.
const char* endOfLastLine(const char* begin, const char* end)
{
    for (const char* pos = end; pos != begin; --pos) {
        if (pos[-1] == '\n' || (pos[-1] == '\r' && pos != end))
            return pos;
    }
    return begin;
}

} // namespace

void SetMaxLineBytes(qsizetype bytes)
{
    maxLineBytes = bytes;
}

ReadResult OpenRegularFile(const QString& path, QFile& file)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) != 0)
        return failure(ReadOutcome::CannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        return failure(ReadOutcome::NotAFile);
    // Non-blocking, and checked again once open: the name may have become a pipe meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(ReadOutcome::CannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return failure(ReadOutcome::NotAFile);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return failure(ReadOutcome::CannotOpen, file.errorString());
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return failure(ReadOutcome::NotAFile);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(ReadOutcome::CannotOpen, file.errorString());
#endif
    return {};
}

std::string_view RecordFieldX(std::string_view item)
{
    return RecordFieldText(item, RecordValue::x);
}

std::string_view RecordFieldY(std::string_view item)
{
    return RecordFieldText(item, RecordValue::y);
}

void RecordCollector::store(std::string_view item)
{
    ++m_seen;
    for (std::size_t i = 0; i < m_watched.size(); ++i)
        if (m_seen == m_watched[i])
            m_stamps[i] = std::string(item.substr(0, 20));
    if (m_keepRecords)
        appendRecord(m_records, item);
    else if (m_seen >= m_watched[1])
        m_stage = Stage::Done;
}

void RecordCollector::watchStamps(std::size_t first, std::size_t last)
{
    m_keepRecords = false;
    m_watched = {first, last};
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
        m_header[static_cast<std::size_t>(m_headerItems)] = std::string(item);
        if (++m_headerItems == 5)
            m_stage = Stage::BeforeRecords;
        break;
    case Stage::BeforeRecords:
        if (item.empty()) {
            m_stage = Stage::Done;
        } else if (IsRecordItem(item)) {
            m_stage = Stage::Records;
            store(item);
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

ReadResult ReadLines(QFile& file, const std::function<bool(std::string_view)>& take,
                     const ReadProgress& progress)
{
    const qint64 size = file.size();
    QByteArray buffer(std::clamp<qint64>(size + 1, 4096, BlockSize), Qt::Uninitialized);
    qsizetype filled = 0;
    qint64 consumed = 0;
    int percent = -1;
    bool anyText = false;
    bool more = true;
    bool atFileEnd = false;
    while (more && !atFileEnd) {
        if (filled == buffer.size())
            buffer.resize(buffer.size() * 2);
        const qint64 got = file.read(buffer.data() + filled, buffer.size() - filled);
        if (got < 0)
            return failure(ReadOutcome::ReadFailed, file.errorString());
        atFileEnd = got == 0;
        filled += got;
        consumed += got;
        if (progress && size > BlockSize) {
            const auto now = static_cast<int>(std::min<qint64>(100, consumed * 100 / size));
            if (now != percent)
                progress(percent = now);
        }

        // Items never run past a line end, so every complete line can be read now; the rest
        // waits for the next block unless the file has ended.
        const char* begin = buffer.constData();
        const char* end = begin + filled;
        if (!atFileEnd) {
            end = endOfLastLine(begin, end);
            if (end == begin) {
                if (filled >= maxLineBytes)
                    return failure(ReadOutcome::LineTooLong);
                continue; // no line end yet: read more
            }
        }
        if (end != begin) {
            anyText = true;
            more = take({begin, static_cast<std::size_t>(end - begin)});
        }
        const auto used = static_cast<qsizetype>(end - begin);
        std::memmove(buffer.data(), buffer.constData() + used,
                     static_cast<std::size_t>(filled - used));
        filled -= used;
    }
    return anyText ? ReadResult{} : failure(ReadOutcome::Empty);
}

ReadResult ReadDataFile(const QString& path, RecordTable& records, const ReadProgress& progress)
{
    QFile file;
    if (const ReadResult opened = OpenRegularFile(path, file); opened.outcome != ReadOutcome::Ok)
        return opened;
    // Before the read: a write while it runs makes the stamp differ from the file.
    const FileStamp stamp = StampOf(file);
    const std::size_t limit = recordLimit();

    RecordCollector collector;
    bool tooLarge = false;
    const auto fileSize = static_cast<double>(file.size());
    double handed = 0;
    bool sized = false;
    try {
        const ReadResult read = ReadLines(
            file,
            [&](std::string_view lines) {
                for (ItemScanner items(lines); !items.atEnd();) {
                    if (!collector.add(items.next()))
                        return false;
                    if (collector.recordCount() > limit) {
                        tooLarge = true;
                        return false;
                    }
                }
                handed += static_cast<double>(lines.size());
                if (!sized && collector.recordCount() > 0) {
                    // The rest of the file as the part read so far, and a little more.
                    sized = true;
                    collector.records().expectTimes(fileSize / handed * 1.05);
                }
                return true;
            },
            progress);
        if (read.outcome != ReadOutcome::Ok)
            return read;
    } catch (const std::bad_alloc&) {
        tooLarge = true;
    }
    if (tooLarge)
        return failure(ReadOutcome::TooLarge);
    if (!collector.headerComplete())
        return failure(ReadOutcome::HeaderTooShort);

    collector.records().shrinkToFit();
    records = std::move(collector.records());
    return {ReadOutcome::Ok, {}, stamp};
}

bool ReadSetText(std::string_view text, RecordTable& records)
{
    RecordCollector collector;
    for (ItemScanner items(text); !items.atEnd() && collector.add(items.next());) {
    }
    RecordTable found;
    if (collector.headerComplete() && collector.recordCount() > 0) {
        found = std::move(collector.records());
    } else {
        for (ItemScanner items(text); !items.atEnd();) {
            const std::string_view item = items.next();
            if (IsRecordItem(item))
                appendRecord(found, item);
        }
    }
    if (found.count() == 0)
        return false;
    found.shrinkToFit();
    records = std::move(found);
    return true;
}

namespace {

// The text of a header item after its name and colon ("Interval :   1 Second"), trimmed.
QString HeaderValue(const std::array<std::string, 5>& header, std::string_view name)
{
    for (const std::string& item : header) {
        const std::size_t colon = item.find(':');
        if (item.starts_with(name) && colon != std::string::npos)
            return QString::fromLatin1(item.substr(colon + 1)).trimmed();
    }
    return {};
}

DataFileFacts FactsOf(const RecordCollector& collector)
{
    DataFileFacts facts;
    facts.startTime = HeaderValue(collector.header(), "Start Time");
    facts.interval = HeaderValue(collector.header(), "Interval");
    if (const qsizetype unit = facts.interval.indexOf(QLatin1String("Second")); unit >= 0)
        facts.interval = facts.interval.left(unit).trimmed() + QStringLiteral(" s");
    facts.firstRecord = QString::fromLatin1(collector.firstStamp()).trimmed();
    facts.lastRecord = QString::fromLatin1(collector.lastStamp()).trimmed();
    return facts;
}

} // namespace

ReadResult ReadDataFileFacts(const QString& path, std::size_t first, std::size_t last,
                             DataFileFacts& facts)
{
    QFile file;
    if (const ReadResult opened = OpenRegularFile(path, file); opened.outcome != ReadOutcome::Ok)
        return opened;
    RecordCollector collector;
    collector.watchStamps(first, last);
    const ReadResult read = ReadLines(file, [&collector](std::string_view lines) {
        for (ItemScanner items(lines); !items.atEnd();)
            if (!collector.add(items.next()))
                return false;
        return true;
    });
    if (read.outcome == ReadOutcome::Ok)
        facts = FactsOf(collector);
    return read;
}

DataFileFacts DataTextFacts(std::string_view text, std::size_t first, std::size_t last)
{
    RecordCollector collector;
    collector.watchStamps(first, last);
    for (ItemScanner items(text); !items.atEnd() && collector.add(items.next());) {
    }
    DataFileFacts facts = FactsOf(collector);
    // A set that is no data file: its record items wherever they stand, as ReadSetText takes
    // them.
    if (collector.firstStamp().empty()) {
        std::size_t n = 0;
        for (ItemScanner items(text); !items.atEnd();) {
            const std::string_view item = items.next();
            if (!IsRecordItem(item))
                continue;
            ++n;
            if (n == first)
                facts.firstRecord = QString::fromLatin1(item.substr(0, 20)).trimmed();
            if (n == last)
                facts.lastRecord = QString::fromLatin1(item.substr(0, 20)).trimmed();
        }
    }
    return facts;
}

QString ReadFailureReason(const ReadResult& result)
{
    switch (result.outcome) {
    case ReadOutcome::Ok:
        break;
    case ReadOutcome::CannotOpen:
        return result.systemError;
    case ReadOutcome::NotAFile:
        return QStringLiteral("it is not a file but a folder, a device or a pipe");
    case ReadOutcome::ReadFailed:
        return QStringLiteral("reading it failed (%1)").arg(result.systemError);
    case ReadOutcome::Empty:
        return QStringLiteral("the file is empty");
    case ReadOutcome::HeaderTooShort:
        return QStringLiteral("it is not a data file (fewer than five header lines)");
    case ReadOutcome::TooLarge:
        return QStringLiteral("it holds more records than the memory at hand can take");
    case ReadOutcome::LineTooLong:
        return QStringLiteral("it is not a data file (a line longer than %1 MiB)")
            .arg(static_cast<double>(maxLineBytes) / (1 << 20));
    }
    return QString();
}

QString ReadFailureText(const QString& path, const ReadResult& result)
{
    if (result.outcome == ReadOutcome::Ok)
        return QString();
    return QStringLiteral("\"%1\" cannot be opened: %2.")
        .arg(QDir::toNativeSeparators(path), ReadFailureReason(result));
}

} // namespace files

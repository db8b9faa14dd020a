#pragma once

#include "files/FileStamp.h"
#include "files/SharedData.h"

#include <QString>
#include <array>
#include <functional>
#include <string>
#include <string_view>

class QFile;

namespace files {

// The time-stamp test of a record item: "/" at positions 5 and 8 and ":" at 15 and 18
// (counting from 1); a position beyond the end of the item does not match.
inline bool IsRecordItem(std::string_view item)
{
    return item.size() >= 18 && item[4] == '/' && item[7] == '/' && item[14] == ':' &&
           item[17] == ':';
}

// Positions 68-74 (x) and 79-85 (y) of a record item, as far as the item reaches.
std::string_view RecordFieldX(std::string_view item);
std::string_view RecordFieldY(std::string_view item);

// Decides, item by item, what a data file holds. Items 1 to 5 are the header (any text, only
// item 3 may be empty). After it, a few lines that are not records may follow (the asterisk
// line and the column line of a recording); records start at the first item that passes the
// time-stamp test and end at the first item after them that is empty or fails it. A file whose
// item 6 is a record therefore reads as a run of records from item 6.
class RecordCollector
{
public:
    // Lines after the header that may stand before the first record.
    static constexpr int MaxExtraHeaderItems = 4;

    // Takes the next item; false once the records have ended and no further item matters.
    bool add(std::string_view item);
    // The header had its five items: the file is a data file (with 0 or more records).
    bool headerComplete() const { return m_headerItems == 5; }
    std::size_t recordCount() const { return m_seen; }
    RecordTable& records() { return m_records; }
    // The header items as read, as many as were.
    const std::array<std::string, 5>& header() const { return m_header; }

    // Keeps the time stamps of records `first` and `last` (1-based) as they pass, and keeps no
    // records: the collector then stops after `last`.
    void watchStamps(std::size_t first, std::size_t last);
    // The date and time of record `first` or `last` as its item begins ("2026/12/06  10:30:01");
    // empty when it did not pass.
    const std::string& firstStamp() const { return m_stamps[0]; }
    const std::string& lastStamp() const { return m_stamps[1]; }

private:
    enum class Stage
    {
        Header,
        BeforeRecords,
        Records,
        Done
    };
    void store(std::string_view item);

    Stage m_stage = Stage::Header;
    int m_headerItems = 0;
    int m_extraItems = 0;
    RecordTable m_records;
    std::size_t m_seen = 0;
    std::array<std::string, 5> m_header;
    bool m_keepRecords = true;
    std::array<std::size_t, 2> m_watched{};
    std::array<std::string, 2> m_stamps;
};

enum class ReadOutcome
{
    Ok,
    CannotOpen,     // missing or not readable
    NotAFile,       // a folder, device or pipe
    ReadFailed,     // the read broke off
    Empty,          // the first read found the end of the file
    HeaderTooShort, // fewer than five header items
    TooLarge,       // more records than the memory at hand can hold
    LineTooLong     // a line too long to hold: binary data, not text
};

struct ReadResult
{
    ReadOutcome outcome = ReadOutcome::Ok;
    // The system's reason, for CannotOpen and ReadFailed.
    QString systemError;
    // Ok: the file as it was when the read began.
    FileStamp stamp;
};

// Opens `path` for reading when it is a regular file once links are followed. Anything else is
// refused at once: opening a pipe or a terminal would wait for a writer that may never come.
ReadResult OpenRegularFile(const QString& path, QFile& file);

// Told how far a long read has come, in percent of the file, each time the figure changes.
using ReadProgress = std::function<void(int percent)>;

// The longest line a read holds whole. Tests lower it (SetMaxLineBytes) to reach it with small
// files; the program keeps the default.
inline constexpr qsizetype DefaultMaxLineBytes = 64 << 20;
void SetMaxLineBytes(qsizetype bytes);

// Reads an open file block by block and hands `take` the complete lines of each block in one
// text (ItemScanner splits it into items), until `take` returns false or the file ends; a block
// and a line are all that is held at a time. CR, LF and CR LF end a line; the last line needs
// no end. Ok, ReadFailed, Empty when the file holds nothing at all, or LineTooLong for a line
// beyond the limit that `take` still waited for.
ReadResult ReadLines(QFile& file, const std::function<bool(std::string_view lines)>& take,
                     const ReadProgress& progress = {});

// Reads a data file in one pass into `records`; on any failure they are left exactly as they
// were. A record takes a byte and the characters of its x and y, 12 bytes more with the texts of
// Ev, Tcp and delta-uv: a recording less than a quarter of its size; the shortest lines, which
// hold none of them, next to nothing. One with more records than half the memory available can
// hold is refused.
ReadResult ReadDataFile(const QString& path, RecordTable& records,
                        const ReadProgress& progress = {});

// Reads the text of a set downloaded from the meter as a data file, into `records` as
// ReadDataFile does. A text that is no data file (no five-item header, or no record after it)
// gives its record items wherever they stand. False, with `records` as they were, when the text
// holds no record item at all.
bool ReadSetText(std::string_view text, RecordTable& records);

// What the header of a data file and its records' time stamps tell about a range of records:
// texts as the file holds them, empty where it holds none.
struct DataFileFacts
{
    QString startTime;   // "26/12/06 10:30:00" after "Start Time :"
    QString interval;    // "1 s", from "Interval :   1 Second"
    QString firstRecord; // "2026/12/06  10:30:01"
    QString lastRecord;
};

// The facts of records `first` to `last` (1-based) of a data file, read up to the last of them.
ReadResult ReadDataFileFacts(const QString& path, std::size_t first, std::size_t last,
                             DataFileFacts& facts);
// The same from the text of a set, read as ReadSetText reads it.
DataFileFacts DataTextFacts(std::string_view text, std::size_t first, std::size_t last);

// Why a read failed, for the user ("the file is empty").
QString ReadFailureReason(const ReadResult& result);
// The message that tells the user which file could not be opened, and why.
QString ReadFailureText(const QString& path, const ReadResult& result);

} // namespace files

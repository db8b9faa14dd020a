#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

class QIODevice;

namespace files {

// Writes comma-separated values as RFC 4180 has them: fields separated by commas, rows ended by
// CR LF, a field that holds a comma, a double quote, CR or LF enclosed in double quotes with its
// quotes doubled. Text goes out as given (UTF-8); numbers with "." as decimal point whatever the
// locale. The text is gathered into large blocks, so a million rows cost a few hundred writes.
class CsvWriter
{
public:
    // The device or stream must stay open until finish().
    explicit CsvWriter(QIODevice& device);
    explicit CsvWriter(std::ostream& stream);

    void text(std::string_view field);
    // `decimals` digits after the point (0 to 17), rounded; an empty field for nothing or for
    // a value that is not finite.
    void number(std::optional<double> value, int decimals);
    void endRow();
    // Room for a whole row of at most `bytes` bytes that the caller writes itself: fields
    // joined by commas, none of which holds a comma, a double quote, CR or LF. finishRow()
    // then takes what was written up to `end` and ends the row.
    char* rowRoom(std::size_t bytes);
    void finishRow(const char* end);
    // Writes what is still gathered; call it at the end. False when any write failed: after a
    // failed write nothing more is written.
    bool finish();

private:
    explicit CsvWriter(std::function<bool(std::string_view)> sink);
    // Where the next `bytes` bytes go, in the block.
    char* room(std::size_t bytes);
    // The same for a field of `bytes` bytes, after the comma that separates it from the last.
    char* startField(std::size_t bytes);
    void writeBlock();

    std::function<bool(std::string_view)> m_sink;
    std::string m_block; // its first m_used bytes are gathered
    std::size_t m_used = 0;
    bool m_rowStarted = false;
    bool m_failed = false;
};

} // namespace files

#pragma once

#include <string_view>

namespace files {

// Reads a text file item by item. An item is the text up to the next comma or line end
// (CR LF, LF or CR); blanks (spaces) at its start are skipped, trailing blanks are kept; an
// item that starts with a double quote is the text up to the closing quote, commas included,
// and whatever follows the closing quote up to the next comma or line end is dropped. An empty
// line is one empty item. A final line end does not start another item.
//
// The scanner does not copy: items are views into the text it was given.
class ItemScanner
{
public:
    ItemScanner(const char* begin, const char* end) : m_pos(begin), m_end(end) {}
    explicit ItemScanner(std::string_view text)
        : ItemScanner(text.data(), text.data() + text.size())
    {
    }

    bool atEnd() const { return m_pos == m_end; }
    // The next item; call only when not atEnd().
    std::string_view next();
    // Where the scanner stands: everything before it has been read.
    const char* position() const { return m_pos; }

private:
    const char* m_pos;
    const char* m_end;
};

} // namespace files

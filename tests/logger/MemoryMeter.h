#pragma once

#include "link/MeterCommands.h"
#include "virtualmeter/VirtualMeter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace loggertest {

// A virtual meter whose memory the test sets up: it answers the memory commands from the
// fields below and leaves everything else to the ordinary virtual meter.
class MemoryMeter : public virtualmeter::VirtualMeter
{
public:
    using Entry = std::array<std::uint8_t, 7>;

    std::uint64_t capacity = 512 * 1024;
    std::uint64_t free = 256 * 1024;
    std::vector<Entry> entries;
    // Reported set size and text, by the 14 request digits.
    std::map<std::string, std::uint64_t> sizes;
    std::map<std::string, std::string> texts;
    int statusSets = -1; // the set count reported; -1: the number of entries

protected:
    void process(const virtualmeter::Report& command) override
    {
        namespace m = meterlink::meter;
        if (command[1] == m::Command && command[2] == m::MemoryStatus)
            return sendStatus();
        if (command[1] == m::Command && command[2] == m::Directory)
            return sendDirectory();
        if (command[1] == m::Command && command[2] == m::SetSize)
            return sendSize(digits(command));
        if (command[1] == m::Command && command[2] == m::SetData)
            return sendData(digits(command));
        if ((command[1] == m::Command && command[2] == m::EraseMemory) ||
            (command[1] == m::Poll && command[2] == m::UnitOption))
            return send(virtualmeter::Report{});
        VirtualMeter::process(command);
    }

private:
    static std::string digits(const virtualmeter::Report& command)
    {
        return std::string(command.begin() + 3, command.begin() + 17);
    }
    static void putNumber(virtualmeter::Report& r, int at, int bytes, std::uint64_t value)
    {
        for (int i = bytes - 1; i >= 0; --i, value >>= 8)
            r[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(value);
    }
    void sendStatus()
    {
        virtualmeter::Report r{};
        putNumber(r, 1, 5, capacity);
        putNumber(r, 6, 5, free);
        putNumber(r, 11, 2,
                  statusSets >= 0 ? static_cast<std::uint64_t>(statusSets) : entries.size());
        send(r);
    }
    void sendDirectory()
    {
        std::vector<std::uint8_t> bytes;
        for (const auto& e : entries)
            bytes.insert(bytes.end(), e.begin(), e.end());
        for (std::size_t at = 0; at < bytes.size(); at += 63) {
            virtualmeter::Report r{};
            r[1] = 0xEE; // carries no entry; a reader that keeps it shifts every entry
            for (std::size_t i = 0; i < 63 && at + i < bytes.size(); ++i)
                r[2 + i] = bytes[at + i];
            send(r);
        }
    }
    void sendSize(const std::string& key)
    {
        virtualmeter::Report r{};
        putNumber(r, 1, 5, sizes.count(key) ? sizes[key] : 0);
        send(r);
    }
    void sendData(const std::string& key)
    {
        // A device that claims a huge set sends far less of it.
        const std::uint64_t size =
            std::min<std::uint64_t>(sizes.count(key) ? sizes[key] : 0, 1 << 20);
        const std::string text = texts.count(key) ? texts[key] : std::string();
        for (std::uint64_t at = 0; at < size; at += 64) {
            virtualmeter::Report r{};
            for (std::size_t i = 0; i < 64; ++i) {
                const auto pos = static_cast<std::size_t>(at) + i;
                r[1 + i] = static_cast<std::uint8_t>(pos < text.size() ? text[pos] : '#');
            }
            send(r);
        }
    }
};

} // namespace loggertest

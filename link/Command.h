#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace meterlink {

// One report as it travels: the report ID at index 0, then the 64 data bytes.
using Report = std::array<std::uint8_t, 65>;

// One command to the meter: the code (byte 1), the sub-command (byte 2) and its parameters
// (from byte 3). The meter's own commands are made in link/MeterCommands.h.
class Command
{
public:
    // Bytes 3 to 64.
    static constexpr std::size_t MaxParameters = 62;

    // Parameters beyond the 62 that fit into a report are not sent.
    Command(std::uint8_t code, std::uint8_t subCommand,
            std::span<const std::uint8_t> parameters = {});

    std::uint8_t code() const { return m_code; }
    std::uint8_t subCommand() const { return m_subCommand; }
    std::span<const std::uint8_t> parameters() const { return {m_parameters.data(), m_count}; }

private:
    std::uint8_t m_code;
    std::uint8_t m_subCommand;
    std::array<std::uint8_t, MaxParameters> m_parameters{};
    std::size_t m_count = 0;
};

// The output report that carries `command`: report ID 0, the command, and 0 in every byte the
// command does not set, so that nothing of an earlier command travels with it.
Report OutputReport(const Command& command);

} // namespace meterlink

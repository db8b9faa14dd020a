#include "link/Command.h"

#include <algorithm>

namespace meterlink {

Command::Command(std::uint8_t code, std::uint8_t subCommand,
                 std::span<const std::uint8_t> parameters)
    : m_code(code), m_subCommand(subCommand), m_count(std::min(parameters.size(), MaxParameters))
{
    std::copy_n(parameters.begin(), m_count, m_parameters.begin());
}

Report OutputReport(const Command& command)
{
    Report report{};
    report[1] = command.code();
    report[2] = command.subCommand();
    std::ranges::copy(command.parameters(), report.begin() + 3);
    return report;
}

} // namespace meterlink

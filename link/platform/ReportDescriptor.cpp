#include "link/platform/ReportDescriptor.h"

#include <map>
#include <vector>

namespace meterlink::platform {

namespace {

struct Globals
{
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

std::uint32_t itemValue(std::span<const std::uint8_t> data)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size(); ++i)
        value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    return value;
}

int bytesOf(const std::map<std::uint32_t, std::uint64_t>& bitsById)
{
    std::uint64_t longest = 0;
    for (const auto& [id, bits] : bitsById)
        longest = std::max(longest, (bits + 7) / 8);
    if (bitsById.empty())
        return 0;
    // Whatever the numbering, a transfer carries one report ID byte in front of the data.
    const auto total = longest + 1;
    return total > 0x7fff ? 0x7fff : static_cast<int>(total);
}

} // namespace

ReportLengths reportLengthsFromDescriptor(std::span<const std::uint8_t> descriptor)
{
    std::map<std::uint32_t, std::uint64_t> inputBits;
    std::map<std::uint32_t, std::uint64_t> outputBits;
    Globals globals;
    std::vector<Globals> stack;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == 0xFE) { // long item: size in the next byte, skipped whole
            if (pos + 1 >= descriptor.size())
                break;
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        static constexpr std::size_t sizes[] = {0, 1, 2, 4};
        const std::size_t size = sizes[prefix & 0x03];
        if (pos + 1 + size > descriptor.size())
            break;
        const auto value = itemValue(descriptor.subspan(pos + 1, size));
        const std::uint8_t tag = prefix & 0xFC;
        const std::uint64_t bits = std::uint64_t{globals.reportSize} * globals.reportCount;
        switch (tag) {
        case 0x80: // Input
            inputBits[globals.reportId] += bits;
            break;
        case 0x90: // Output
            outputBits[globals.reportId] += bits;
            break;
        case 0x74:
            globals.reportSize = value;
            break;
        case 0x94:
            globals.reportCount = value;
            break;
        case 0x84:
            globals.reportId = value;
            break;
        case 0xA4:
            stack.push_back(globals);
            break;
        case 0xB4:
            if (!stack.empty()) {
                globals = stack.back();
                stack.pop_back();
            }
            break;
        default:
            break;
        }
        pos += 1 + size;
    }
    return ReportLengths{bytesOf(inputBits), bytesOf(outputBits)};
}

} // namespace meterlink::platform

// The report descriptor a device hands us: any bytes at all.
#include "link/platform/ReportDescriptor.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto lengths =
        meterlink::platform::reportLengthsFromDescriptor(std::span<const std::uint8_t>(data, size));
    if (lengths.input < 0 || lengths.input > 0x7fff || lengths.output < 0 ||
        lengths.output > 0x7fff)
        std::abort();
    return 0;
}

#pragma once

#include "link/platform/HidPlatform.h"

#include <cstdint>
#include <span>

namespace meterlink::platform {

// Report byte lengths declared by a HID report descriptor: the longest input and output report,
// plus the report ID byte that every transfer carries (0 when the device numbers no reports).
ReportLengths reportLengthsFromDescriptor(std::span<const std::uint8_t> descriptor);

} // namespace meterlink::platform

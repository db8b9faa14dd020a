#pragma once

#include "link/platform/HidPlatform.h"

namespace meterlink::platform {

// HID services of the running system through hidapi (hidraw backend on Linux).
class HidapiPlatform : public HidPlatform
{
public:
    HidapiPlatform();
    ~HidapiPlatform() override;

    std::vector<HidInterface> interfaces() override;
    std::unique_ptr<HidHandle> openForWriting(const std::string& path) override;
    std::unique_ptr<HidHandle> openForReading(const std::string& path) override;
};

} // namespace meterlink::platform

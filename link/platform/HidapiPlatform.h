#pragma once

#include "link/platform/HidPlatform.h"

#include <string>

namespace meterlink::platform {

// HID services of the running system through hidapi (hidraw backend on Linux).
class HidapiPlatform : public HidPlatform
{
public:
    // Only interfaces with these identifiers are listed: hidapi reads them from the system's
    // device records, so no other device (keyboards, other instruments) is ever opened.
    HidapiPlatform(std::uint16_t vendorId, std::uint16_t productId);
    ~HidapiPlatform() override;

    std::vector<HidInterface> interfaces() override;
    std::unique_ptr<HidHandle> openForWriting(const std::string& path) override;
    std::unique_ptr<HidHandle> openForReading(const std::string& path) override;
    bool lastOpenDenied() const override { return m_lastOpenDenied; }

private:
    std::unique_ptr<HidHandle> open(const std::string& path);

    std::uint16_t m_vendorId;
    std::uint16_t m_productId;
    bool m_lastOpenDenied = false;
};

// The version of the HID library the program runs with ("0.13.1").
std::string HidLibraryVersion();

} // namespace meterlink::platform

#pragma once

#include "virtualmeter/VirtualMeter.h"

#include <memory>
#include <vector>

namespace virtualmeter {

// Several virtual meters plugged in at once, each with its own path, serial number and state,
// listed in the order they were added.
class MeterRack : public meterlink::platform::HidPlatform
{
public:
    // Adds a meter listed as `path` with the serial number `serial`.
    VirtualMeter& add(const std::string& path, const std::string& serial);
    VirtualMeter& meter(std::size_t index) { return *m_meters.at(index); }

    std::vector<meterlink::platform::HidInterface> interfaces() override;
    std::unique_ptr<meterlink::platform::HidHandle>
    openForWriting(const std::string& path) override;
    std::unique_ptr<meterlink::platform::HidHandle>
    openForReading(const std::string& path) override;
    bool lastOpenDenied() const override { return m_lastOpenDenied; }

private:
    VirtualMeter* find(const std::string& path);

    std::vector<std::unique_ptr<VirtualMeter>> m_meters;
    bool m_lastOpenDenied = false;
};

} // namespace virtualmeter

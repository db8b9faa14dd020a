#include "virtualmeter/MeterRack.h"

namespace virtualmeter {

VirtualMeter& MeterRack::add(const std::string& path, const std::string& serial)
{
    m_meters.push_back(std::make_unique<VirtualMeter>());
    m_meters.back()->setIdentity(path, serial);
    return *m_meters.back();
}

std::vector<meterlink::platform::HidInterface> MeterRack::interfaces()
{
    std::vector<meterlink::platform::HidInterface> all;
    for (const auto& meter : m_meters)
        for (auto& interface : meter->interfaces())
            all.push_back(std::move(interface));
    return all;
}

VirtualMeter* MeterRack::find(const std::string& path)
{
    for (const auto& meter : m_meters)
        for (const auto& interface : meter->interfaces())
            if (interface.path == path)
                return meter.get();
    return nullptr;
}

std::unique_ptr<meterlink::platform::HidHandle> MeterRack::openForWriting(const std::string& path)
{
    VirtualMeter* meter = find(path);
    auto handle = meter ? meter->openForWriting(path) : nullptr;
    m_lastOpenDenied = meter != nullptr && meter->lastOpenDenied();
    return handle;
}

std::unique_ptr<meterlink::platform::HidHandle> MeterRack::openForReading(const std::string& path)
{
    VirtualMeter* meter = find(path);
    auto handle = meter ? meter->openForReading(path) : nullptr;
    m_lastOpenDenied = meter != nullptr && meter->lastOpenDenied();
    return handle;
}

} // namespace virtualmeter

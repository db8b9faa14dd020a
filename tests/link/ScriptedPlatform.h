#pragma once

#include "link/MeterCommands.h"
#include "link/platform/HidPlatform.h"
#include "virtualmeter/VirtualMeter.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace linktest {

using meterlink::platform::HidAttributes;
using meterlink::platform::ReportLengths;

// One HID interface of the scripted machine. A device with a virtual meter behind it passes
// reads and writes on to that meter; any other device takes writes and never answers.
struct FakeDevice
{
    std::string path;
    bool refusesOpen = false;     // keyboards and mice
    bool refusesReadOpen = false; // opens once, fails the second (overlapped) open
    std::optional<HidAttributes> attributes;
    std::optional<ReportLengths> lengths = ReportLengths{65, 65};
    virtualmeter::VirtualMeter* meter = nullptr;

    int opens = 0;
    int openHandles = 0;
    int cancels = 0;
};

inline FakeDevice keyboard(std::string path)
{
    FakeDevice d;
    d.path = std::move(path);
    d.refusesOpen = true;
    return d;
}

inline FakeDevice foreignDevice(std::string path)
{
    FakeDevice d;
    d.path = std::move(path);
    d.attributes = HidAttributes{0x046D, 0xC52B, 1};
    return d;
}

inline FakeDevice meterDevice(std::string path, virtualmeter::VirtualMeter* meter = nullptr)
{
    FakeDevice d;
    d.path = std::move(path);
    d.attributes = HidAttributes{meterlink::meter::VendorId, meterlink::meter::ProductId, 0x100};
    d.meter = meter;
    return d;
}

class ScriptedPlatform : public meterlink::platform::HidPlatform
{
public:
    std::vector<FakeDevice> devices;
    int enumerations = 0;

    FakeDevice& device(const std::string& path)
    {
        for (auto& d : devices)
            if (d.path == path)
                return d;
        throw std::out_of_range(path);
    }

    std::vector<meterlink::platform::HidInterface> interfaces() override
    {
        ++enumerations;
        std::vector<meterlink::platform::HidInterface> list;
        for (const auto& d : devices)
            list.push_back({d.path});
        return list;
    }
    std::unique_ptr<meterlink::platform::HidHandle> openForWriting(const std::string& path) override
    {
        return open(path, false);
    }
    std::unique_ptr<meterlink::platform::HidHandle> openForReading(const std::string& path) override
    {
        return open(path, true);
    }

private:
    class Handle : public meterlink::platform::HidHandle
    {
    public:
        Handle(FakeDevice& device, std::unique_ptr<meterlink::platform::HidHandle> inner)
            : m_device(device), m_inner(std::move(inner))
        {
            ++m_device.openHandles;
        }
        ~Handle() override { --m_device.openHandles; }
        std::optional<HidAttributes> attributes() override { return m_device.attributes; }
        std::optional<ReportLengths> reportLengths() override { return m_device.lengths; }
        int write(std::span<const std::uint8_t> report) override
        {
            return m_inner ? m_inner->write(report) : static_cast<int>(report.size());
        }
        meterlink::platform::ReadResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
        {
            if (m_inner)
                return m_inner->read(buffer, timeoutMs);
            return {meterlink::platform::ReadOutcome::TimeOut, 0};
        }
        void cancel() override { ++m_device.cancels; }

    private:
        FakeDevice& m_device;
        std::unique_ptr<meterlink::platform::HidHandle> m_inner;
    };

    std::unique_ptr<meterlink::platform::HidHandle> open(const std::string& path, bool forReading)
    {
        FakeDevice& d = device(path);
        if (d.refusesOpen || (forReading && d.refusesReadOpen))
            return nullptr;
        ++d.opens;
        std::unique_ptr<meterlink::platform::HidHandle> inner;
        if (d.meter) {
            inner = d.meter->openForWriting(virtualmeter::VirtualMeter::DevicePath);
            if (!inner)
                return nullptr;
        }
        return std::make_unique<Handle>(d, std::move(inner));
    }
};

} // namespace linktest

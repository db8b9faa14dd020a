#include "link/platform/HidapiPlatform.h"

#include "link/platform/ReportDescriptor.h"

#include <fcntl.h>
#include <hidapi.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace meterlink::platform {

namespace {

// hidraw hands out the descriptor, hidapi 0.13 does not; ask the node itself.
std::optional<ReportLengths> lengthsFromNode(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<ReportLengths> lengths;
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size > 0 && size <= HID_MAX_DESCRIPTOR_SIZE) {
        hidraw_report_descriptor descriptor{};
        descriptor.size = static_cast<__u32>(size);
        if (::ioctl(fd, HIDIOCGRDESC, &descriptor) == 0)
            lengths = reportLengthsFromDescriptor(
                std::span<const std::uint8_t>(descriptor.value, descriptor.size));
    }
    ::close(fd);
    return lengths;
}

class HidapiHandle : public HidHandle
{
public:
    HidapiHandle(hid_device* device, std::string path) : m_device(device), m_path(std::move(path))
    {
    }
    ~HidapiHandle() override { hid_close(m_device); }

    std::optional<HidAttributes> attributes() override
    {
        const hid_device_info* info = hid_get_device_info(m_device);
        if (!info)
            return std::nullopt;
        return HidAttributes{info->vendor_id, info->product_id, info->release_number};
    }

    std::optional<ReportLengths> reportLengths() override { return lengthsFromNode(m_path); }

    int write(std::span<const std::uint8_t> report) override
    {
        return hid_write(m_device, report.data(), report.size());
    }

    ReadResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        if (buffer.size() < 2)
            return {ReadOutcome::Error, 0};
        // The meter numbers no reports, so hidraw delivers the data without the ID byte;
        // put the ID 0 in front as the rest of the program expects.
        buffer[0] = 0;
        const int n = hid_read_timeout(m_device, buffer.data() + 1, buffer.size() - 1, timeoutMs);
        if (n > 0)
            return {ReadOutcome::Data, n + 1};
        if (n == 0)
            return {ReadOutcome::TimeOut, 0};
        return {ReadOutcome::Error, 0};
    }

private:
    hid_device* m_device;
    std::string m_path;
};

std::unique_ptr<HidHandle> openPath(const std::string& path)
{
    hid_device* device = hid_open_path(path.c_str());
    if (!device)
        return nullptr;
    return std::make_unique<HidapiHandle>(device, path);
}

} // namespace

HidapiPlatform::HidapiPlatform(std::uint16_t vendorId, std::uint16_t productId)
    : m_vendorId(vendorId), m_productId(productId)
{
    hid_init();
}

HidapiPlatform::~HidapiPlatform()
{
    hid_exit();
}

std::vector<HidInterface> HidapiPlatform::interfaces()
{
    std::vector<HidInterface> result;
    hid_device_info* list = hid_enumerate(m_vendorId, m_productId);
    for (const hid_device_info* info = list; info; info = info->next)
        result.push_back(HidInterface{info->path});
    hid_free_enumeration(list);
    return result;
}

std::unique_ptr<HidHandle> HidapiPlatform::openForWriting(const std::string& path)
{
    return openPath(path);
}

std::unique_ptr<HidHandle> HidapiPlatform::openForReading(const std::string& path)
{
    return openPath(path);
}

} // namespace meterlink::platform

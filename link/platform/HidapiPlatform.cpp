#include "link/platform/HidapiPlatform.h"

#include "link/platform/ReportDescriptor.h"

#include <cerrno>
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

bool isDenial(int error)
{
    return error == EACCES || error == EPERM;
}

// The serial number string as UTF-8; hidapi hands it out as wide characters.
std::string utf8(const wchar_t* text)
{
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        const auto c = static_cast<std::uint32_t>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
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
        result.push_back(HidInterface{info->path, utf8(info->serial_number)});
    hid_free_enumeration(list);
    return result;
}

std::unique_ptr<HidHandle> HidapiPlatform::open(const std::string& path)
{
    errno = 0;
    hid_device* device = hid_open_path(path.c_str());
    if (device) {
        m_lastOpenDenied = false;
        return std::make_unique<HidapiHandle>(device, path);
    }
    // hidapi may have changed errno on its way out; the node itself tells whether this user
    // may open it (a path that is no node, as the libusb backend's, is no denial).
    m_lastOpenDenied =
        isDenial(errno) || (::access(path.c_str(), R_OK | W_OK) != 0 && isDenial(errno));
    return nullptr;
}

std::unique_ptr<HidHandle> HidapiPlatform::openForWriting(const std::string& path)
{
    return open(path);
}

std::unique_ptr<HidHandle> HidapiPlatform::openForReading(const std::string& path)
{
    return open(path);
}

std::string HidLibraryVersion()
{
    return hid_version_str();
}

} // namespace meterlink::platform

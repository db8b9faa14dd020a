#include "virtualmeter/VirtualMeter.h"

#include "link/MeterCommands.h"

#include <algorithm>
#include <thread>

namespace virtualmeter {

using meterlink::platform::ReadOutcome;
using meterlink::platform::ReadResult;

namespace {

class VirtualHandle : public meterlink::platform::HidHandle
{
public:
    explicit VirtualHandle(VirtualMeter& meter) : m_meter(meter), m_generation(meter.generation())
    {
        m_meter.countHandle(1);
    }
    ~VirtualHandle() override { m_meter.countHandle(-1); }
    VirtualHandle(const VirtualHandle&) = delete;
    VirtualHandle& operator=(const VirtualHandle&) = delete;

    std::optional<meterlink::platform::HidAttributes> attributes() override
    {
        if (m_generation != m_meter.generation())
            return std::nullopt;
        return meterlink::platform::HidAttributes{meterlink::meter::VendorId,
                                                  meterlink::meter::ProductId, 0x0100};
    }
    std::optional<meterlink::platform::ReportLengths> reportLengths() override
    {
        return m_meter.declaredLengths();
    }
    int write(std::span<const std::uint8_t> report) override
    {
        return m_meter.handleWrite(report, m_generation);
    }
    ReadResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        return m_meter.handleRead(buffer, m_generation, timeoutMs);
    }

private:
    VirtualMeter& m_meter;
    std::uint64_t m_generation;
};

} // namespace

VirtualMeter::VirtualMeter() : m_clock([] { return std::chrono::system_clock::now(); }) {}

VirtualMeter::~VirtualMeter() = default;

void VirtualMeter::setPlugged(bool plugged)
{
    if (m_plugged && !plugged) {
        ++m_generation;
        m_pending.clear();
    }
    m_plugged = plugged;
}

std::vector<meterlink::platform::HidInterface> VirtualMeter::interfaces()
{
    if (!m_plugged)
        return {};
    return {meterlink::platform::HidInterface{m_path, m_serial}};
}

void VirtualMeter::setIdentity(std::string path, std::string serial)
{
    m_path = std::move(path);
    m_serial = std::move(serial);
}

std::unique_ptr<meterlink::platform::HidHandle>
VirtualMeter::openForWriting(const std::string& path)
{
    m_lastOpenDenied = m_plugged && path == m_path && m_openDenied;
    if (!m_plugged || path != m_path || m_openDenied)
        return nullptr;
    ++m_opens;
    return std::make_unique<VirtualHandle>(*this);
}

std::unique_ptr<meterlink::platform::HidHandle>
VirtualMeter::openForReading(const std::string& path)
{
    return openForWriting(path);
}

int VirtualMeter::handleWrite(std::span<const std::uint8_t> report, std::uint64_t generation)
{
    if (!m_plugged || generation != m_generation)
        return -1;
    m_writes.emplace_back(report.begin(), report.end());
    Report command{};
    std::copy_n(report.begin(), std::min(report.size(), command.size()), command.begin());
    if (!m_silent) {
        if (m_onCommand)
            m_onCommand(command);
        process(command);
    }
    return static_cast<int>(report.size());
}

ReadResult VirtualMeter::handleRead(std::span<std::uint8_t> buffer, std::uint64_t generation,
                                    int timeoutMs)
{
    ++m_reads;
    m_longestReadWait = std::max(m_longestReadWait, timeoutMs);
    if (!m_plugged || generation != m_generation)
        return {ReadOutcome::Error, 0};
    // Nothing to send ends the wait at once: tests never sit out a real time-out.
    if (m_silent || m_pending.empty())
        return {ReadOutcome::TimeOut, 0};
    if (m_reportDelay.count() > 0)
        std::this_thread::sleep_for(m_reportDelay);
    Report report = m_pending.front();
    m_pending.pop_front();
    if (m_garbage) {
        std::uniform_int_distribution<int> byte(0, 255);
        for (auto& b : report)
            b = static_cast<std::uint8_t>(byte(m_random));
        report[0] = 0;
    }
    std::size_t n = std::min(buffer.size(), report.size());
    if (m_shortReports > 0)
        n = std::min(n, static_cast<std::size_t>(m_shortReports));
    std::copy_n(report.begin(), n, buffer.begin());
    return {ReadOutcome::Data, static_cast<int>(n)};
}

void VirtualMeter::setAnswer(std::uint8_t kind, std::uint8_t code, Answer answer)
{
    if (answer)
        m_answers[{kind, code}] = std::move(answer);
    else
        m_answers.erase({kind, code});
}

void VirtualMeter::setAnswer(std::uint8_t kind, std::uint8_t code, std::vector<Report> reports)
{
    setAnswer(kind, code, [reports = std::move(reports)](const Report&) { return reports; });
}

void VirtualMeter::process(const Report& command)
{
    const auto chosen = m_answers.find({command[1], command[2]});
    const auto answers =
        chosen != m_answers.end() ? chosen->second(command) : m_model.answer(command, m_clock());
    m_pending.insert(m_pending.end(), answers.begin(), answers.end());
}

} // namespace virtualmeter

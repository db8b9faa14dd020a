#include "tests/hardening/FaultHarness.h"

#include <QLabel>

namespace hardening {

using meterlink::platform::HidHandle;

namespace {

class WatchedHandle : public HidHandle
{
public:
    WatchedHandle(std::unique_ptr<HidHandle> inner, FaultyMeter& meter)
        : m_inner(std::move(inner)), m_meter(meter)
    {
        ++m_meter.openHandles;
    }
    ~WatchedHandle() override { --m_meter.openHandles; }
    WatchedHandle(const WatchedHandle&) = delete;
    WatchedHandle& operator=(const WatchedHandle&) = delete;

    std::optional<meterlink::platform::HidAttributes> attributes() override
    {
        return m_inner->attributes();
    }
    std::optional<meterlink::platform::ReportLengths> reportLengths() override
    {
        return m_inner->reportLengths();
    }
    int write(std::span<const std::uint8_t> report) override { return m_inner->write(report); }
    meterlink::platform::ReadResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        m_meter.readTimeouts.push_back(timeoutMs);
        return m_inner->read(buffer, timeoutMs);
    }
    void cancel() override { m_inner->cancel(); }

private:
    std::unique_ptr<HidHandle> m_inner;
    FaultyMeter& m_meter;
};

std::unique_ptr<HidHandle> Watch(std::unique_ptr<HidHandle> handle, FaultyMeter& meter)
{
    // One open may go through the other; such a handle is watched once.
    if (!handle || dynamic_cast<WatchedHandle*>(handle.get()))
        return handle;
    return std::make_unique<WatchedHandle>(std::move(handle), meter);
}

} // namespace

void FaultyMeter::heal()
{
    setPlugged(true);
    setSilent(false);
    setGarbage(false);
    setShortReports(0);
    setReportDelay(std::chrono::microseconds(0));
    setDeclaredLengths(meterlink::platform::ReportLengths{65, 65});
    faultAfter = -1;
}

std::unique_ptr<HidHandle> FaultyMeter::openForWriting(const std::string& path)
{
    return Watch(VirtualMeter::openForWriting(path), *this);
}

std::unique_ptr<HidHandle> FaultyMeter::openForReading(const std::string& path)
{
    return Watch(VirtualMeter::openForReading(path), *this);
}

void FaultyMeter::process(const virtualmeter::Report& command)
{
    if (faultAfter >= 0 && commandsSeen++ == faultAfter && fault)
        fault(*this);
    VirtualMeter::process(command);
}

QString Program::labelText(const char* name) const
{
    const auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label>");
}

bool Program::pollUntilConnected(int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        window->pollMeter();
        if (connected())
            return true;
    }
    return false;
}

void Program::withClock(const std::function<void(meterclock::RtcWindow&)>& steps)
{
    dialogs.onModal = [&steps](ui::ModalWindow& modal) {
        steps(dynamic_cast<meterclock::RtcWindow&>(modal));
        return 0;
    };
    window->toolbar()->click(QStringLiteral("RTC"));
    dialogs.onModal = nullptr;
}

} // namespace hardening

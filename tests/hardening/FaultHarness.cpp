#include "tests/hardening/FaultHarness.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace hardening {

using meterlink::platform::HidHandle;

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

void FaultyMeter::process(const virtualmeter::Report& command)
{
    if (faultAfter >= 0 && commandsSeen++ == faultAfter && fault)
        fault(*this);
    VirtualMeter::process(command);
}

namespace {

class WatchedHandle : public HidHandle
{
public:
    WatchedHandle(std::unique_ptr<HidHandle> inner, WatchedPlatform& platform)
        : m_inner(std::move(inner)), m_platform(platform)
    {
        ++m_platform.openHandles;
    }
    ~WatchedHandle() override { --m_platform.openHandles; }
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
        m_platform.readTimeouts.push_back(timeoutMs);
        return m_inner->read(buffer, timeoutMs);
    }
    void cancel() override { m_inner->cancel(); }

private:
    std::unique_ptr<HidHandle> m_inner;
    WatchedPlatform& m_platform;
};

} // namespace

std::vector<meterlink::platform::HidInterface> WatchedPlatform::interfaces()
{
    return m_inner.interfaces();
}

std::unique_ptr<HidHandle> WatchedPlatform::openForWriting(const std::string& path)
{
    return watch(m_inner.openForWriting(path));
}

std::unique_ptr<HidHandle> WatchedPlatform::openForReading(const std::string& path)
{
    return watch(m_inner.openForReading(path));
}

std::unique_ptr<HidHandle> WatchedPlatform::watch(std::unique_ptr<HidHandle> handle)
{
    if (!handle)
        return nullptr;
    return std::make_unique<WatchedHandle>(std::move(handle), *this);
}

Program::Program()
{
    window = std::make_unique<panel::PanelWindow>(services);
    // The live poll is driven by the tests, tick by tick.
    window->setPolling(false);
    logger = std::make_unique<logger::LoggerCommands>(services, *window, window.get());
}

Program::~Program()
{
    logger.reset();
    window.reset();
}

QString Program::labelText(const char* name) const
{
    const auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label>");
}

bool Program::pollUntilConnected(int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        window->PollMeter();
        if (link.Connected())
            return true;
    }
    return false;
}

QStringList LeftoverTemporaries(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        // QSaveFile writes "<name>.XXXXXX" next to its target and renames it at the commit.
        const QString name = QFileInfo(path).fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0 && name.size() - dot == 7 && !name.endsWith(QLatin1String(".user")))
            found << path;
    }
    return found;
}

bool EndsWithCompleteLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return bytes.isEmpty() || bytes.endsWith("\r\n");
}

} // namespace hardening

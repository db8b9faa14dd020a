#include "logger/LoggerCommands.h"

#include "logger/MemoryWindow.h"
#include "logger/ReportTransfer.h"
#include "logger/SetListModel.h"

#include <QCoreApplication>
#include <algorithm>

namespace logger {

namespace {

const QString NoData = QStringLiteral("No Data in Memory!");
const QString EraseAllText = QStringLiteral("All the data in memory will be deleted!");
const QString EraseWindowText =
    QStringLiteral("All the Automatically Recorded data in memory will be deleted!");

} // namespace

// Marks a transfer as running for the length of one command.
class BusyScope
{
public:
    explicit BusyScope(LoggerCommands& commands) : m_commands(commands)
    {
        m_commands.setBusy(true);
    }
    ~BusyScope() { m_commands.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    LoggerCommands& m_commands;
};

const QString LoggerCommands::LinkLostText =
    QStringLiteral("The meter does not answer! The transfer was stopped.");
const QString LoggerCommands::SetTooLargeText =
    QStringLiteral("The meter reported a set larger than its memory! Nothing was saved.");

LoggerCommands::LoggerCommands(meterlink::SequenceRunner& runner, ui::Services& services,
                               QWidget* mainWindow, QObject* parent)
    : QObject(parent), m_runner(runner), m_services(services), m_mainWindow(mainWindow)
{
}

LoggerCommands::~LoggerCommands()
{
    // Without a parent the window is ours to remove.
    if (m_window != nullptr && m_window->parent() == nullptr)
        delete m_window;
}

void LoggerCommands::openWindow()
{
    if (m_window == nullptr) {
        m_window = new MemoryWindow(m_mainWindow);
        // The main window may remove it first, as its child.
        connect(m_window, &QObject::destroyed, this, [this] { m_window = nullptr; });
        connect(m_window, &MemoryWindow::gridClicked, this, &LoggerCommands::downloadSet);
        connect(m_window, &MemoryWindow::eraseClicked, this, &LoggerCommands::eraseFromWindow);
        connect(m_window, &MemoryWindow::unitOptionClicked, this, &LoggerCommands::sendUnitOption);
        connect(m_window, &MemoryWindow::cancelClicked, this, [this] { m_cancelRequested = true; });
    }
    // A closed window opens again as new; an open one keeps its list and its place.
    MemoryWindow& window = *m_window;
    if (window.isHidden())
        window.startFresh();
    window.setTransferRunning(m_busy);
    window.show();
    window.raise();
}

int LoggerCommands::currentSet(int row) const
{
    return m_window ? SetNumber(m_window->sets().cellText(row, 0)) : 0;
}

bool LoggerCommands::progress(int percent)
{
    if (m_window)
        m_window->showProgress(percent);
    QCoreApplication::processEvents();
    return !m_cancelRequested;
}

void LoggerCommands::transferCancelled()
{
    if (m_window)
        m_window->showProgress(0);
}

void LoggerCommands::setBusy(bool busy)
{
    m_busy = busy;
    m_cancelRequested = false;
    if (m_window)
        m_window->setTransferRunning(busy);
    Q_EMIT busyChanged(busy);
}

void LoggerCommands::linkLost()
{
    m_services.dialogs.message(LinkLostText, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
}

void LoggerCommands::listMemory()
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return;
    BusyScope scope(*this);
    const meterlink::Reply reply = sequence->request(meterlink::commands::MemoryStatus());
    if (!reply.answered())
        return linkLost();
    const MemoryStatus status = DecodeMemoryStatus(reply.answers.front());
    m_memory.capacity = status.capacity;
    if (MemoryEmpty(status)) {
        m_services.dialogs.message(NoData, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return;
    }

    openWindow();
    m_window->showMemorySize(UsedPercent(status), CapacityText(status.capacity));

    const int reports = DirectoryReports(status.sets);
    sequence->send(meterlink::commands::Directory());
    ReportTransfer transfer(*sequence, 2);
    const auto outcome = transfer.collect(static_cast<std::uint64_t>(reports),
                                          [this](int percent) { return progress(percent); });
    if (outcome == ReportTransfer::Outcome::Cancelled)
        return transferCancelled();
    if (outcome == ReportTransfer::Outcome::LinkLost)
        return linkLost();

    const std::vector<QString> times = DecodeDirectory(transfer.bytes(), status.sets);
    std::vector<QString> shown;
    shown.reserve(times.size());
    for (std::size_t k = 0; k < times.size(); ++k) {
        m_memory.SetStartTimes[k + 1] = times[k];
        shown.push_back(StartTimeDisplay(times[k]));
    }
    if (m_window)
        m_window->sets().appendSets(shown);
}

void LoggerCommands::downloadSet(int row)
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return;
    BusyScope scope(*this);
    const int k = currentSet(row);
    const auto start = RequestDigits(m_memory.SetStartTimes[static_cast<std::size_t>(k)]);
    const meterlink::Reply reply = sequence->request(meterlink::commands::SetSize(start));
    if (!reply.answered())
        return linkLost();
    const std::uint64_t size = DecodeSetSize(reply.answers.front());
    m_memory.SetSizes[static_cast<std::size_t>(k)] = size;
    // A size beyond what the memory can hold is no answer to trust: reading it would keep the
    // program busy for hours.
    if (size > std::min(CapacityBytes(m_memory.capacity), MaxSetBytes)) {
        m_services.dialogs.message(SetTooLargeText, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return;
    }

    sequence->send(meterlink::commands::SetData(start));
    ReportTransfer transfer(*sequence, 1);
    const auto outcome =
        transfer.collect(DataReports(size), [this](int percent) { return progress(percent); });
    if (outcome == ReportTransfer::Outcome::Cancelled) {
        // Nothing half is saved: the download file stays as it was.
        transferCancelled();
        sequence->drain();
        return;
    }
    if (outcome == ReportTransfer::Outcome::LinkLost)
        return linkLost();

    const QString path = m_services.paths.downloadFile();
    if (SaveSetText(path, transfer.bytes())) {
        m_services.cmd.fileName = path;
        m_services.dialogs.openTextViewer(path);
    } else {
        m_services.dialogs.message(QStringLiteral("The set could not be saved as ") + path +
                                       QLatin1Char('.'),
                                   ui::MsgButtons::Ok, ui::MsgIcon::Critical);
    }
    sequence->drain();
}

void LoggerCommands::eraseAll()
{
    // Not even the question while a transfer runs.
    if (m_runner.running())
        return;
    if (m_services.dialogs.message(EraseAllText, ui::MsgButtons::OkCancel, ui::MsgIcon::None) !=
        ui::MsgAnswer::Ok)
        return;
    sendErase();
}

void LoggerCommands::eraseFromWindow()
{
    // Not even the question while a transfer runs.
    if (m_runner.running())
        return;
    if (m_services.dialogs.message(EraseWindowText, ui::MsgButtons::OkCancel,
                                   ui::MsgIcon::Exclamation,
                                   QStringLiteral("Warning")) != ui::MsgAnswer::Ok)
        return;
    sendErase();
    if (m_window)
        m_window->close();
}

void LoggerCommands::sendErase()
{
    if (auto sequence = m_runner.begin())
        sequence->request(meterlink::commands::EraseMemory());
}

void LoggerCommands::sendUnitOption()
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return;
    const int k = currentSet(m_window ? m_window->currentRow() : -1);
    const auto entry = EntryFromText(m_memory.SetStartTimes[static_cast<std::size_t>(k)]);
    sequence->request(meterlink::commands::UnitOption(entry));
}

} // namespace logger

#include "logger/LoggerCommands.h"

#include "logger/MemoryWindow.h"
#include "logger/SetDownload.h"
#include "logger/SetListModel.h"

namespace logger {

namespace {
const QString NoData = QStringLiteral("No Data in Memory!");
const QString EraseWindowText =
    QStringLiteral("All the Automatically Recorded data in memory will be deleted!");
} // namespace

LoggerCommands::LoggerCommands(meterlink::SequenceRunner& runner, ui::Services& services,
                               files::PlotDocument& document, ui::FileDialogState& cmd,
                               QWidget* mainWindow, QObject* parent)
    : QObject(parent), m_runner(runner), m_services(services), m_cmd(cmd), m_mainWindow(mainWindow),
      m_transfer([this] { return m_window; }, mainWindow), m_lastSet(services, document)
{
}

LoggerCommands::~LoggerCommands()
{
    // Without a parent the window is ours to remove.
    if (m_window != nullptr && m_window->parent() == nullptr)
        delete m_window;
}

void LoggerCommands::setPlotShower(std::function<void()> showPlot)
{
    m_lastSet.setPlotShower(std::move(showPlot));
}

void LoggerCommands::openWindow()
{
    if (m_window == nullptr) {
        m_window = new MemoryWindow(m_directory, m_mainWindow);
        // The main window may remove it first, as its child.
        connect(m_window, &QObject::destroyed, this, [this] { m_window = nullptr; });
        connect(m_window, &MemoryWindow::setRowClicked, this, &LoggerCommands::downloadSet);
        connect(m_window, &MemoryWindow::eraseClicked, this, &LoggerCommands::eraseFromWindow);
        connect(m_window, &MemoryWindow::unitOptionClicked, this, &LoggerCommands::sendUnitOption);
        connect(m_window, &MemoryWindow::cancelClicked, &m_transfer, &TransferView::cancel);
        connect(m_window, &MemoryWindow::plotSetClicked, this, [this] { m_lastSet.plotSet(); });
        connect(m_window, &MemoryWindow::saveSetClicked, this, [this] { m_lastSet.saveSet(); });
        connect(m_window, &MemoryWindow::exportSetClicked, this, [this] { m_lastSet.exportSet(); });
    }
    // A closed window opens again as new; an open one keeps its list and its place.
    MemoryWindow& window = *m_window;
    if (window.isHidden()) {
        window.startFresh();
        m_lastSet.forget();
    }
    window.setTransferRunning(m_runner.running());
    window.show();
    window.raise();
}

int LoggerCommands::currentSet(int row) const
{
    return m_window ? SetNumber(m_window->sets().cellText(row, 0)) : 0;
}

void LoggerCommands::showSetActions()
{
    if (m_window)
        m_window->setSetActionsEnabled(m_lastSet.held());
}

void LoggerCommands::linkLost()
{
    m_services.dialogs.message(LinkLostText, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
}

void LoggerCommands::listMemory()
{
    readListing(true);
}

void LoggerCommands::readListing(bool opening)
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return;
    // The window opens before the directory comes, so that it shows its progress.
    const auto wantSets = [this, opening](const MemoryStatus& status) {
        if (opening && !MemoryEmpty(status))
            openWindow();
        return !opening || !MemoryEmpty(status);
    };
    MemoryListing listing;
    ReportTransfer::Outcome outcome;
    {
        const TransferScope scope(m_transfer);
        outcome = ReadListing(
            *sequence, listing, [this](int percent) { return m_transfer.advance(percent); },
            wantSets);
    }
    if (outcome == ReportTransfer::Outcome::LinkLost)
        return linkLost();
    if (outcome == ReportTransfer::Outcome::Cancelled)
        return;
    if (opening && MemoryEmpty(listing.status))
        m_services.dialogs.message(NoData, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
    else
        m_directory.list(listing);
}

void LoggerCommands::downloadSet(int row)
{
    if (m_runner.running())
        return;
    m_lastSet.forget();
    showSetActions();
    const int k = currentSet(row);
    const QString digits = m_directory.startTime(k);
    const auto text = DownloadSet(m_runner, m_services.dialogs, m_transfer, digits,
                                  SetLimit(m_directory.status().capacity));
    if (!text)
        return;

    const QString path = m_services.paths.downloadFile();
    const bool saved = SaveSetText(m_services.paths, *text);
    m_lastSet.keep(k, digits, *text);
    showSetActions();
    if (saved) {
        m_cmd.fileName = path;
        m_services.dialogs.openTextViewer(path);
    } else {
        m_services.dialogs.message(QStringLiteral("The set could not be saved as ") + path +
                                       QLatin1Char('.'),
                                   ui::MsgButtons::Ok, ui::MsgIcon::Critical);
    }
}

bool LoggerCommands::erase(const MemoryErase::Confirmation& confirmation)
{
    MemoryErase erase(m_runner, m_services.dialogs, m_services.clock, m_services.paths, m_transfer);
    if (!erase.run(confirmation))
        return false;
    m_directory.clear();
    return true;
}

void LoggerCommands::eraseAll()
{
    if (erase({EraseAllText, ui::MsgIcon::None, QString()}) && m_window && m_window->isVisible())
        readListing(false);
}

void LoggerCommands::eraseFromWindow()
{
    if (erase({EraseWindowText, ui::MsgIcon::Exclamation, QStringLiteral("Warning")}) && m_window)
        m_window->close();
}

void LoggerCommands::sendUnitOption()
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return;
    const int k = currentSet(m_window ? m_window->currentRow() : -1);
    sequence->request(meterlink::commands::UnitOption(EntryFromText(m_directory.startTime(k))));
}

} // namespace logger

#include "logger/LoggerCommands.h"

#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/FileCommands.h"
#include "logger/MemoryWindow.h"
#include "logger/ReportTransfer.h"
#include "logger/SetBackup.h"
#include "logger/SetListModel.h"
#include "ui/WorkingFiles.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QStandardPaths>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace logger {

namespace {

const QString NoData = QStringLiteral("No Data in Memory!");
const QString EraseAllText = QStringLiteral("All the data in memory will be deleted!");
const QString EraseWindowText =
    QStringLiteral("All the Automatically Recorded data in memory will be deleted!");
const QString NoAnswer = QStringLiteral("the meter does not answer");

// Where a file dialog of the set starts: the folder chosen last, else the documents folder.
QString StartName(const QString& last, const QString& name)
{
    const QString folder = last.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : QFileInfo(last).absolutePath();
    return QDir(folder).filePath(name);
}

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
const QString LoggerCommands::NoRecordsText = QStringLiteral("This set holds no record lines.");

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
        connect(m_window, &MemoryWindow::plotSetClicked, this, &LoggerCommands::plotSet);
        connect(m_window, &MemoryWindow::saveSetClicked, this, &LoggerCommands::saveSet);
        connect(m_window, &MemoryWindow::exportSetClicked, this, &LoggerCommands::exportSet);
    }
    // A closed window opens again as new; an open one keeps its list and its place.
    MemoryWindow& window = *m_window;
    if (window.isHidden()) {
        window.startFresh();
        m_lastSet.reset();
    }
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
    if (m_window) {
        m_window->setTransferRunning(busy);
        m_window->setSetActionsEnabled(!busy && m_lastSet.has_value());
    }
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

    std::vector<QString> times;
    const auto outcome = ReadDirectory(*sequence, status.sets, times,
                                       [this](int percent) { return progress(percent); });
    if (outcome == ReportTransfer::Outcome::Cancelled)
        return transferCancelled();
    if (outcome == ReportTransfer::Outcome::LinkLost)
        return linkLost();

    keepStartTimes(times);
    if (m_window)
        m_window->sets().appendSets(StartTimeDisplays(times));
}

void LoggerCommands::keepStartTimes(const std::vector<QString>& times)
{
    for (std::size_t k = 0; k < times.size(); ++k)
        m_memory.SetStartTimes[k + 1] = times[k];
}

LoggerCommands::SetRead LoggerCommands::readSet(meterlink::MeterSequence& sequence, int k,
                                                const QString& digits, std::uint64_t limit,
                                                QByteArray& text,
                                                const std::function<bool(int)>& progress)
{
    const auto start = RequestDigits(digits);
    const meterlink::Reply reply = sequence.request(meterlink::commands::SetSize(start));
    if (!reply.answered())
        return SetRead::LinkLost;
    const std::uint64_t size = DecodeSetSize(reply.answers.front());
    m_memory.SetSizes[static_cast<std::size_t>(k)] = size;
    // A size beyond what the memory can hold is no answer to trust: reading it would keep the
    // program busy for hours.
    if (size > limit)
        return SetRead::TooLarge;

    sequence.send(meterlink::commands::SetData(start));
    ReportTransfer transfer(sequence, 1);
    const auto outcome = transfer.collect(DataReports(size), progress);
    if (outcome == ReportTransfer::Outcome::Cancelled)
        return SetRead::Cancelled;
    if (outcome == ReportTransfer::Outcome::LinkLost)
        return SetRead::LinkLost;
    text = transfer.bytes();
    return SetRead::Complete;
}

void LoggerCommands::setDownloaded(std::optional<DownloadedSet> set)
{
    m_lastSet = std::move(set);
    if (m_window)
        m_window->setSetActionsEnabled(!m_busy && m_lastSet.has_value());
}

void LoggerCommands::downloadSet(int row)
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return;
    BusyScope scope(*this);
    setDownloaded(std::nullopt);
    const int k = currentSet(row);
    const QString digits = m_memory.SetStartTimes[static_cast<std::size_t>(k)];
    QByteArray text;
    switch (readSet(*sequence, k, digits, SetLimit(m_memory.capacity), text,
                    [this](int percent) { return progress(percent); })) {
    case SetRead::LinkLost:
        return linkLost();
    case SetRead::TooLarge:
        m_services.dialogs.message(SetTooLargeText, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
        return;
    case SetRead::Cancelled:
        // Nothing half is saved: the download file stays as it was.
        transferCancelled();
        sequence->drain();
        return;
    case SetRead::Complete:
        break;
    }

    const QString path = m_services.paths.downloadFile();
    // A plot read from the download file no longer matches it once it is rewritten.
    if (m_services.plot.SourcePath == path)
        m_services.plot.SourcePath.clear();
    const bool saved = SaveSetText(m_services.paths, text);
    setDownloaded(DownloadedSet{k, digits, text, saved ? path : QString()});
    if (saved) {
        m_services.cmd.fileName = path;
        m_services.dialogs.openTextViewer(path);
    } else {
        m_services.dialogs.message(QStringLiteral("The set could not be saved as ") + path +
                                       QLatin1Char('.'),
                                   ui::MsgButtons::Ok, ui::MsgIcon::Critical);
    }
    sequence->drain();
}

QString LoggerCommands::setFileStem() const
{
    QStringList none;
    return QFileInfo(BackupFileName(m_lastSet->digits, none)).completeBaseName();
}

void LoggerCommands::plotSet()
{
    if (!m_lastSet || m_busy)
        return;
    const QByteArray& text = m_lastSet->text;
    if (!files::ReadSetText({text.constData(), static_cast<std::size_t>(text.size())},
                            m_services.plot)) {
        m_services.dialogs.message(NoRecordsText, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    m_services.plot.SourcePath = m_lastSet->file;
    m_services.fileState.CurrentFileName =
        QStringLiteral("Set %1 %2").arg(m_lastSet->number).arg(StartTimeDisplay(m_lastSet->digits));
    if (m_showPlot)
        m_showPlot();
}

void LoggerCommands::saveSet()
{
    if (!m_lastSet || m_busy)
        return;
    m_setDialog.filter = files::OpenDialogFilter();
    m_setDialog.filterIndex = 1;
    m_setDialog.overwritePrompt = true;
    m_setDialog.fileName = StartName(m_setDialog.fileName, setFileStem() + QStringLiteral(".txt"));
    if (!ui::AskSaveName(m_services.dialogs, m_setDialog) || m_setDialog.fileTitle.isEmpty())
        return;
    // Whole or not at all: a failure leaves an earlier file of that name as it was.
    QString reason;
    if (ui::SaveWhole(m_setDialog.fileName, m_lastSet->text + "\r\n", std::nullopt, reason) !=
        ui::SaveOutcome::Saved)
        m_services.dialogs.message(QStringLiteral("The set could not be saved as %1\n%2")
                                       .arg(QDir::toNativeSeparators(m_setDialog.fileName), reason),
                                   ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
}

void LoggerCommands::exportSet()
{
    if (!m_lastSet || m_busy)
        return;
    // A file of the column line alone would pass for an export.
    const QByteArray& text = m_lastSet->text;
    files::PlotData records;
    if (!files::ReadSetText({text.constData(), static_cast<std::size_t>(text.size())}, records)) {
        m_services.dialogs.message(NoRecordsText, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    m_csvDialog.filter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|");
    m_csvDialog.filterIndex = 1;
    m_csvDialog.overwritePrompt = true;
    m_csvDialog.fileName = StartName(m_csvDialog.fileName, setFileStem() + QStringLiteral(".csv"));
    if (!ui::AskSaveName(m_services.dialogs, m_csvDialog) || m_csvDialog.fileTitle.isEmpty())
        return;
    QString reason;
    if (!files::ExportRecordsCsv({text.constData(), static_cast<std::size_t>(text.size())},
                                 m_csvDialog.fileName, reason))
        m_services.dialogs.message(QStringLiteral("The CSV file could not be written: %1\n%2")
                                       .arg(QDir::toNativeSeparators(m_csvDialog.fileName), reason),
                                   ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
}

LoggerCommands::Backup LoggerCommands::backupMemory()
{
    // The poll stays paused from the status query to the last set.
    const meterlink::PollHold hold = m_runner.hold();
    BusyScope scope(*this);
    Backup failed;
    failed.reason = QStringLiteral("another transfer is running");
    auto sequence = m_runner.begin();
    if (!sequence)
        return failed;
    const meterlink::Reply reply = sequence->request(meterlink::commands::MemoryStatus());
    if (!reply.answered()) {
        failed.reason = NoAnswer;
        return failed;
    }
    MemoryListing listing;
    listing.status = DecodeMemoryStatus(reply.answers.front());
    m_memory.capacity = listing.status.capacity;
    if (listing.status.sets == 0)
        return Backup{Backup::Outcome::Empty, 0, {}, {}, {}, listing};

    // An open `Memory` window shows the progress and offers Cancel; none is opened for it.
    const auto outcome = ReadDirectory(*sequence, listing.status.sets, listing.times,
                                       [this](int percent) { return progress(percent); });
    if (outcome != ReportTransfer::Outcome::Complete) {
        failed.reason = outcome == ReportTransfer::Outcome::Cancelled
                            ? QStringLiteral("it was cancelled")
                            : NoAnswer;
        transferCancelled();
        return failed;
    }
    keepStartTimes(listing.times);
    sequence.reset();
    Backup backup = saveSets(listing);
    backup.listing = std::move(listing);
    return backup;
}

LoggerCommands::Backup LoggerCommands::saveSets(const MemoryListing& listing)
{
    Backup result;
    // A dated folder of its own, made new: never an earlier backup's, nor one planted there.
    const ui::FolderResult backups = m_services.paths.backups();
    const ui::FolderResult dated =
        backups.ok() ? ui::CreateNewFolder(backups.folder, BackupFolderName(m_services.clock.now()))
                     : backups;
    if (!dated.ok()) {
        result.reason = dated.problem;
        return result;
    }
    const QString folder = dated.folder.path();
    const std::vector<QString>& times = listing.times;
    // However many sets the directory lists, the backup reads no more than the memory holds.
    const std::uint64_t limit = BackupLimit(listing.status);
    std::uint64_t left = limit;
    QStringList taken;
    const std::vector<int> earlier = EarlierSetsOfSameStart(times);
    // Digests of the texts saved so far, with their set numbers.
    QHash<QByteArray, int> saved;
    const auto count = static_cast<int>(times.size());
    for (int i = 0; i < count; ++i) {
        const QString& digits = times[static_cast<std::size_t>(i)];
        // Asking by its start time would bring the earlier set again.
        if (const int first = earlier[static_cast<std::size_t>(i)]; first != 0) {
            result.unread.push_back({i + 1, first, true, StartTimeDisplay(digits)});
            continue;
        }
        auto sequence = m_runner.begin();
        if (!sequence) {
            result.reason = QStringLiteral("another transfer is running");
            return result;
        }
        QByteArray text;
        const SetRead read = readSet(
            *sequence, i + 1, digits, std::min(SetLimit(listing.status.capacity), left), text,
            [this, i, count](int percent) { return progress((i * 100 + percent) / count); });
        QString why;
        if (read == SetRead::Complete) {
            left -= std::min<std::uint64_t>(left, static_cast<std::uint64_t>(text.size()));
            const QByteArray digest = QCryptographicHash::hash(text, QCryptographicHash::Sha256);
            if (const auto same = saved.constFind(digest); same != saved.cend()) {
                result.unread.push_back({i + 1, *same, false, StartTimeDisplay(digits)});
                sequence->drain();
                continue;
            }
            saved.insert(digest, i + 1);
            const QString name = BackupFileName(digits, taken);
            const QString path = dated.folder.filePath(name);
            if (SaveAndVerify(dated.folder, name, text + "\r\n", why)) {
                sequence->drain();
                continue;
            }
            result.reason = QStringLiteral("set %1 could not be saved as %2 (%3)")
                                .arg(i + 1)
                                .arg(QDir::toNativeSeparators(path), why);
        } else if (read == SetRead::Cancelled) {
            transferCancelled();
            sequence->drain();
            result.reason = QStringLiteral("it was cancelled");
        } else if (read == SetRead::TooLarge && m_memory.SetSizes[static_cast<std::size_t>(i + 1)] >
                                                    SetLimit(listing.status.capacity)) {
            result.reason =
                QStringLiteral("the meter reported set %1 larger than its memory").arg(i + 1);
        } else if (read == SetRead::TooLarge) {
            result.reason = QStringLiteral("the meter's sets hold more than the %1 bytes its "
                                           "memory has in use; set %2 and those after it were "
                                           "not read")
                                .arg(limit)
                                .arg(i + 1);
        } else {
            result.reason = NoAnswer;
        }
        // A folder that holds nothing is no backup.
        ::unlinkat(backups.folder.fd(), QFile::encodeName(QFileInfo(folder).fileName()).constData(),
                   AT_REMOVEDIR);
        return result;
    }
    result.outcome = Backup::Outcome::Saved;
    result.sets = count - static_cast<int>(result.unread.size());
    result.folder = folder;
    return result;
}

bool LoggerCommands::confirmErase(const QString& text, ui::MsgIcon icon, const QString& title,
                                  const Backup& backup)
{
    ui::Dialogs& dialogs = m_services.dialogs;
    if (backup.outcome == Backup::Outcome::Failed &&
        dialogs.message(QStringLiteral("The backup failed: %1. Erase anyway?").arg(backup.reason),
                        ui::MsgButtons::YesNoDefaultNo,
                        ui::MsgIcon::Exclamation) != ui::MsgAnswer::Yes)
        return false;
    const auto unread = static_cast<int>(backup.unread.size());
    if (backup.outcome == Backup::Outcome::Saved && unread > 0 &&
        dialogs.message(UnreadSetsQuestion(backup.unread, backup.sets, backup.folder),
                        ui::MsgButtons::YesNoDefaultNo,
                        ui::MsgIcon::Exclamation) != ui::MsgAnswer::Yes)
        return false;
    QString shown = text;
    if (backup.outcome == Backup::Outcome::Saved) {
        const QString folder = QDir::toNativeSeparators(backup.folder);
        if (unread > 0)
            shown += QStringLiteral("\n%1 of the %2 sets were saved in %3.")
                         .arg(backup.sets)
                         .arg(backup.sets + unread)
                         .arg(folder);
        else if (backup.sets == 1)
            shown += QStringLiteral("\nThe 1 set was saved in %1.").arg(folder);
        else
            shown += QStringLiteral("\nThe %1 sets were saved in %2.").arg(backup.sets).arg(folder);
    }
    return dialogs.message(shown, ui::MsgButtons::OkCancel, icon, title) == ui::MsgAnswer::Ok;
}

bool LoggerCommands::eraseUnlessChanged(const Backup& backup)
{
    if (!backup.listing)
        return sendErase();
    QString change;
    {
        auto sequence = m_runner.begin();
        if (!sequence)
            return false;
        BusyScope scope(*this);
        // A schedule may have stored a set while the question was open.
        MemoryListing now;
        const auto outcome =
            ReadListing(*sequence, now, [this](int percent) { return progress(percent); });
        if (outcome == ReportTransfer::Outcome::Cancelled) {
            transferCancelled();
            return false;
        }
        if (outcome == ReportTransfer::Outcome::LinkLost) {
            linkLost();
            return false;
        }
        change = ListingChange(*backup.listing, now);
        if (change.isEmpty()) {
            sequence->request(meterlink::commands::EraseMemory());
            return true;
        }
    }
    if (m_services.dialogs.message(change + QStringLiteral("\nErase anyway?"),
                                   ui::MsgButtons::YesNoDefaultNo,
                                   ui::MsgIcon::Exclamation) != ui::MsgAnswer::Yes)
        return false;
    return sendErase();
}

void LoggerCommands::eraseAll()
{
    // Not even the question while a transfer runs.
    if (m_runner.running())
        return;
    const Backup backup = backupMemory();
    if (confirmErase(EraseAllText, ui::MsgIcon::None, QString(), backup) &&
        eraseUnlessChanged(backup) && m_window && m_window->isVisible())
        showMemoryNow();
}

void LoggerCommands::showMemoryNow()
{
    // Whatever the meter answers, the erased sets are no longer listed.
    m_window->sets().clear();
    m_window->showMemorySize(0, CapacityText(m_memory.capacity));
    auto sequence = m_runner.begin();
    if (!sequence)
        return;
    BusyScope scope(*this);
    MemoryListing now;
    const auto outcome =
        ReadListing(*sequence, now, [this](int percent) { return progress(percent); });
    if (outcome == ReportTransfer::Outcome::Cancelled)
        return transferCancelled();
    if (outcome == ReportTransfer::Outcome::LinkLost)
        return linkLost();
    m_memory.capacity = now.status.capacity;
    keepStartTimes(now.times);
    if (m_window) {
        m_window->showMemorySize(UsedPercent(now.status), CapacityText(now.status.capacity));
        m_window->sets().appendSets(StartTimeDisplays(now.times));
    }
}

void LoggerCommands::eraseFromWindow()
{
    // Not even the question while a transfer runs.
    if (m_runner.running())
        return;
    const Backup backup = backupMemory();
    if (confirmErase(EraseWindowText, ui::MsgIcon::Exclamation, QStringLiteral("Warning"),
                     backup) &&
        eraseUnlessChanged(backup) && m_window)
        m_window->close();
}

bool LoggerCommands::sendErase()
{
    auto sequence = m_runner.begin();
    if (!sequence)
        return false;
    sequence->request(meterlink::commands::EraseMemory());
    return true;
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

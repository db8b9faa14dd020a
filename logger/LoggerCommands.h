#pragma once

#include "files/PlotDocument.h"
#include "link/MeterSequence.h"
#include "logger/MemoryListing.h"
#include "logger/MemoryProtocol.h"
#include "logger/SetBackup.h"
#include "ui/Services.h"

#include <QObject>
#include <functional>
#include <optional>

class QWidget;

namespace logger {

class MemoryWindow;

// The data-logger commands: the listing that opens the `Memory` window, the download of a set,
// the two erase paths and the unit option. One transfer at a time: while a listing or a
// download runs (it lets window events run between reports), every further command is refused
// and the window's Cancel stops it.
class LoggerCommands : public QObject
{
    Q_OBJECT
public:
    // A set's "Plot" opens it in `document`; a download leaves its file's name in the main
    // window's file dialog `cmd`, where "Open" starts. `mainWindow` places the `Memory` window
    // beside it and owns it.
    LoggerCommands(meterlink::SequenceRunner& runner, ui::Services& services,
                   files::PlotDocument& document, ui::FileDialogState& cmd, QWidget* mainWindow,
                   QObject* parent = nullptr);
    ~LoggerCommands() override;

    // Toolbar "Logger": memory status, then the directory listed in the `Memory` window.
    void listMemory();
    // Toolbar "Erase", after its confirmation; an open `Memory` window then lists the memory as
    // it is, and none is opened.
    void eraseAll();
    // `GridSet` click: downloads the set of the row into the download file and views it.
    void downloadSet(int row);
    // A click on the gauge or its legends: erase after its confirmation, then close the window.
    void eraseFromWindow();
    // `OptLuxFc` click (either option): the unit-option command for the current row's set.
    void sendUnitOption();

    // "Plot": the set downloaded last into the document, shown as "Open" shows a file.
    void plotSet();
    // "Save As…": the set downloaded last as a data file the user names.
    void saveSet();
    // "Export CSV…": the set downloaded last as CSV.
    void exportSet();
    // Shows the plot window once a set was opened in the document.
    void setPlotShower(std::function<void()> showPlot) { m_showPlot = std::move(showPlot); }

    // A listing or download is running.
    bool busy() const { return m_busy; }
    // Nullptr until the first listing opened it.
    MemoryWindow* memoryWindow() const { return m_window; }
    LoggerMemory& memory() { return m_memory; }

    static const QString LinkLostText;
Q_SIGNALS:
    // A listing or download starts (true) or ends (false): the main window refuses its
    // toolbar meanwhile.
    void busyChanged(bool busy);

public:
    static const QString SetTooLargeText;
    static const QString NoRecordsText;

private:
    // The set downloaded last, as the meter sent it.
    struct DownloadedSet
    {
        int number = 0;
        QString digits;
        QByteArray text;
        QString file; // the working file that holds it; empty when it could not be saved
    };
    // What came of saving every set before an erase.
    struct Backup
    {
        enum class Outcome
        {
            Empty, // the memory holds no set: nothing to save
            Saved,
            Failed
        };
        Outcome outcome = Outcome::Failed;
        int sets = 0; // saved in `folder`
        QString folder;
        QString reason;
        // Saved leaves these out: sets the meter did not send apart from an earlier one.
        std::vector<UnreadSet> unread;
        // What the memory held when the backup read it; none when it could not be read.
        std::optional<MemoryListing> listing;
    };
    Backup backupMemory();
    // Downloads every listed set into a new dated folder.
    Backup saveSets(const MemoryListing& listing);
    // The erase confirmation `text` after a backup; false when the erase must not run.
    bool confirmErase(const QString& text, ui::MsgIcon icon, const QString& title,
                      const Backup& backup);
    // Reads the memory again and erases it when it holds nothing the backup did not see, else
    // only when the user insists. True when the erase command was sent.
    bool eraseUnlessChanged(const Backup& backup);
    // After an erase: the open window lists the memory as the meter now reports it.
    void showMemoryNow();
    // Reads the set text of `start` in the running sequence, into `text`; a set of more than
    // `limit` bytes is not read.
    enum class SetRead
    {
        Complete,
        LinkLost,
        TooLarge,
        Cancelled
    };
    SetRead readSet(meterlink::MeterSequence& sequence, int k, const QString& digits,
                    std::uint64_t limit, QByteArray& text,
                    const std::function<bool(int)>& progress);
    void setDownloaded(std::optional<DownloadedSet> set);
    // "2026-12-05_163905" for the set downloaded last, for the file dialogs.
    QString setFileStem() const;

    // The start times of sets 1 to N as `SetStartTimes` keeps them for the run.
    void keepStartTimes(const std::vector<QString>& times);
    void openWindow();
    // The erase command itself, as one meter sequence.
    bool sendErase();
    int currentSet(int row) const;
    // Shows the progress and lets pending window events run; false once Cancel was clicked.
    bool progress(int percent);
    // After a cancelled transfer: an empty bar.
    void transferCancelled();
    void linkLost();
    void setBusy(bool busy);
    friend class BusyScope;

    meterlink::SequenceRunner& m_runner;
    ui::Services& m_services;
    files::PlotDocument& m_document;
    ui::FileDialogState& m_cmd;
    QWidget* m_mainWindow;
    MemoryWindow* m_window = nullptr;
    LoggerMemory m_memory;
    bool m_busy = false;
    bool m_cancelRequested = false;
    std::optional<DownloadedSet> m_lastSet;
    std::function<void()> m_showPlot;
    ui::FileDialogState m_setDialog;
    ui::FileDialogState m_csvDialog;
};

} // namespace logger

#pragma once

#include "files/PlotDocument.h"
#include "link/MeterSequence.h"
#include "logger/DownloadedSet.h"
#include "logger/MemoryDirectory.h"
#include "logger/MemoryErase.h"
#include "logger/TransferView.h"
#include "ui/Services.h"

#include <QObject>
#include <functional>

class QWidget;

namespace logger {

class MemoryWindow;

// The data-logger commands of the window program: the listing that opens the `Memory` window,
// the download of a set, the two erase paths and the unit option. A listing or download lets
// window events run between its reports; the meter sequences refuse every further command
// meanwhile, and the transfer keeps the user's input to its Cancel.
class LoggerCommands : public QObject
{
    Q_OBJECT
public:
    // `mainWindow` places the `Memory` window beside it and owns it.
    LoggerCommands(meterlink::SequenceRunner& runner, ui::Services& services,
                   files::PlotDocument& document, ui::FileDialogState& cmd, QWidget* mainWindow,
                   QObject* parent = nullptr);
    ~LoggerCommands() override;

    // Toolbar "Logger": memory status, then the directory listed in the `Memory` window.
    void listMemory();
    // Toolbar "Erase": every set saved, then the erase the user confirms; an open `Memory`
    // window then lists the memory as it is, and none is opened.
    void eraseAll();
    // A click on a row of the set list: downloads that row's set into the download file and
    // views it.
    void downloadSet(int row);
    // A click on the gauge or its legends: the same erase, then the window closes.
    void eraseFromWindow();
    // A click on "Lux" or "Fc" (either): the unit-option command for the current row's set.
    void sendUnitOption();

    // Shows the plot window once a set was opened in the document.
    void setPlotShower(std::function<void()> showPlot);

    // Nullptr until the first listing opened it.
    MemoryWindow* memoryWindow() const { return m_window; }

private:
    // The memory status and directory into the directory. `opening`: the toolbar's listing,
    // which opens the window for a memory that holds sets and says when it holds none.
    void readListing(bool opening);
    // True when the erase command was sent.
    bool erase(const MemoryErase::Confirmation& confirmation);
    void openWindow();
    int currentSet(int row) const;
    void showSetActions();
    void linkLost();

    meterlink::SequenceRunner& m_runner;
    ui::Services& m_services;
    ui::FileDialogState& m_cmd;
    QWidget* m_mainWindow;
    MemoryWindow* m_window = nullptr;
    MemoryDirectory m_directory;
    TransferView m_transfer;
    DownloadedSet m_lastSet;
};

} // namespace logger

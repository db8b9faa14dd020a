#pragma once

#include "link/MeterSequence.h"
#include "logger/MemoryProtocol.h"
#include "ui/Services.h"

#include <QObject>

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
    // `mainWindow` places the `Memory` window beside it and owns it.
    LoggerCommands(meterlink::SequenceRunner& runner, ui::Services& services, QWidget* mainWindow,
                   QObject* parent = nullptr);
    ~LoggerCommands() override;

    // Toolbar "Logger": memory status, then the directory listed in the `Memory` window.
    void listMemory();
    // Toolbar "Erase", after its confirmation.
    void eraseAll();
    // `GridSet` click: downloads the set of the row into the download file and views it.
    void downloadSet(int row);
    // A click on the gauge or its legends: erase after its confirmation, then close the window.
    void eraseFromWindow();
    // `OptLuxFc` click (either option): the unit-option command for the current row's set.
    void sendUnitOption();

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

private:
    void openWindow();
    // The erase command itself, as one meter sequence.
    void sendErase();
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
    QWidget* m_mainWindow;
    MemoryWindow* m_window = nullptr;
    LoggerMemory m_memory;
    bool m_busy = false;
    bool m_cancelRequested = false;
};

} // namespace logger

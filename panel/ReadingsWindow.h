#pragma once

#include "link/MeasurementFrame.h"
#include "ui/Dialogs.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;

namespace ui {
class Clock;
}

namespace panel {

class ReadingsModel;
class ReadingStatisticsModel;

// The "List" window: the live readings as a table, newest at the bottom, with their statistics
// underneath. It follows the newest row unless the user has scrolled away from it.
class ReadingsWindow : public QWidget
{
    Q_OBJECT
public:
    // The window belongs to `placeNextTo` and opens at its right edge.
    ReadingsWindow(ui::Dialogs& dialogs, const ui::Clock& clock, QWidget* placeNextTo);

    // Shows the window, beside the main window when it was closed, and brings it up.
    void showBeside();
    ReadingsModel& readings() const { return *m_readings; }

public Q_SLOTS:
    // A new row with the PC's time, unless paused or the meter shows its set-up menu.
    void addFrame(const meterlink::FrameFields& f);

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void togglePause();
    void clearReadings();
    // The selected cells, or every row when nothing is selected, as text on the clipboard.
    void copySelection();
    void exportCsv();
    void showCount();

    ui::Dialogs& m_dialogs;
    const ui::Clock& m_clock;
    QWidget* m_placeNextTo;
    ReadingsModel* m_readings;
    ReadingStatisticsModel* m_statistics;
    QTableView* m_gridReadings;
    QTableView* m_gridStatistics;
    QPushButton* m_cmdPause;
    QPushButton* m_cmdClear;
    QPushButton* m_cmdCopy;
    QPushButton* m_cmdExport;
    QLabel* m_lblCount;
    bool m_paused = false;
    ui::FileDialogState m_exportDialog;
};

} // namespace panel

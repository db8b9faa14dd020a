#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace logger {

class MemoryDirectory;
class SetListModel;

// The `Memory` window ("Data Logger"): the memory gauge, the capacity text, the set list and
// the transfer progress. It shows each listing of `directory` below the ones before and passes
// its clicks on.
class MemoryWindow : public QWidget
{
    Q_OBJECT
public:
    MemoryWindow(const MemoryDirectory& directory, QWidget* mainWindow);

    // Fresh contents and the place beside the main window, as on a first opening.
    void startFresh();

    const SetListModel& sets() const { return *m_sets; }
    // The set list's current row; -1 when there is none.
    int currentRow() const;
    void showProgress(int percent);
    // Cancel can be clicked only while a transfer runs.
    void setTransferRunning(bool running);
    const QWidget* cancelButton() const;
    // "Plot", "Save As…" and "Export CSV…" act on the set downloaded last.
    void setSetActionsEnabled(bool enabled);

Q_SIGNALS:
    void setRowClicked(int row);
    // A click on the gauge or on one of its two legend panels.
    void eraseClicked();
    void unitOptionClicked(int index);
    void cancelClicked();
    void plotSetClicked();
    void saveSetClicked();
    void exportSetClicked();

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMemorySize(int usedPercent, const QString& capacityText);

    const MemoryDirectory& m_directory;
    QWidget* m_mainWindow;
    SetListModel* m_sets;
    QTableView* m_setList;
    QProgressBar* m_usedGauge;
    QWidget* m_usedLegend;
    QWidget* m_unusedLegend;
    QLabel* m_capacityLabel;
    QProgressBar* m_transferBar;
    QPushButton* m_cancel;
    QPushButton* m_plotSet;
    QPushButton* m_saveSet;
    QPushButton* m_exportSet;
    QRadioButton* m_lux;
    QRadioButton* m_fc;
};

} // namespace logger

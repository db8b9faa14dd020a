#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace logger {

class SetListModel;

// The `Memory` window ("Data Logger"): the memory gauge, the capacity text, the set list and
// the transfer progress. It only shows what it is given and passes its clicks on.
class MemoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MemoryWindow(QWidget* mainWindow);

    // Fresh contents and the place beside the main window, as on a first opening.
    void startFresh();

    SetListModel& sets() { return *m_sets; }
    // The grid's current row; -1 when there is none.
    int currentRow() const;
    void setCurrentRow(int row);
    void showMemorySize(int usedPercent, const QString& capacityText);
    void showProgress(int percent);
    // Cancel can be clicked only while a transfer runs.
    void setTransferRunning(bool running);
    // "Plot", "Save As…" and "Export CSV…" act on the set downloaded last.
    void setSetActionsEnabled(bool enabled);

Q_SIGNALS:
    void gridClicked(int row);
    // A click on the gauge or on one of its two legend panels.
    void eraseClicked();
    void unitOptionClicked(int index);
    void cancelClicked();
    void plotSetClicked();
    void saveSetClicked();
    void exportSetClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_mainWindow;
    SetListModel* m_sets;
    QTableView* m_gridSet;
    QProgressBar* m_mSize;
    QWidget* m_ssPanel2;
    QWidget* m_ssPanel3;
    QLabel* m_lblMemorySize;
    QProgressBar* m_mBar;
    QPushButton* m_cmdCancel;
    QPushButton* m_cmdPlotSet;
    QPushButton* m_cmdSaveSet;
    QPushButton* m_cmdExportSet;
    QRadioButton* m_optLux;
    QRadioButton* m_optFc;
};

} // namespace logger

#pragma once

#include "plot/PlotRenderer.h"
#include "plot/RegionFile.h"
#include "plot/RegionPanel.h"
#include "ui/Dialogs.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTimer;
class QToolBar;

namespace ui {
struct Services;
} // namespace ui

namespace plot {

class RangeStatisticsRun;

// What the plot viewer keeps while its window is closed.
struct PlotSettings
{
    bool RegionsOn = false;
};

// The chromaticity plot window `Plot`. The resize stage draws at once; the plot stage follows
// 1000 ms later through the one-shot `Timer1` and draws its markers in slices, letting the
// window's events run between them. Everything is drawn into a picture that the window shows
// and that printing takes as it is. Beside the toolbar's own buttons: the statistics of the
// plotted range, and the export of the opened file as CSV and of the plot as a picture.
class PlotWindow : public QWidget
{
    Q_OBJECT
public:
    // `mainWindow` places the window (left edge at its right edge, tops aligned); `resumePoll`
    // switches the main window's live poll on after every complete drawing.
    PlotWindow(ui::Services& services, std::function<void()> resumePoll, QWidget* mainWindow,
               PlotSettings& settings);
    ~PlotWindow() override;

    // The resize stage; also the full redraw that the range dialog and the regions ask for.
    void redraw();
    // The shared records were replaced (an Open, a set's Plot): the new file's name at once,
    // nothing left of the last one's statistics or range texts, and a full redraw.
    void showNewRecords();
    // Starts the plot stage (Timer1's tick); it ends by itself once all markers are drawn.
    void startPlotStage();
    // Toolbar1's buttons by key: "Unit", "Resize", "Print"; other keys do nothing.
    void runToolbarButton(const QString& key);
    void applyRange();
    void hideRange();
    void showRegions();
    void hideRegions();
    void saveRegions();
    void loadRegions();

    RegionRows regionRows() const;
    void setRegionRows(const RegionRows& rows);

    double axisMin() const { return m_axisMin; }
    double axisMax() const { return m_axisMax; }
    const Frame& frame() const { return m_frame; }
    // What has been drawn so far, as it is shown and printed.
    const QImage& picture() const { return m_picture; }
    bool plotStageRunning() const { return m_stage != nullptr; }
    // How much one slice of the plot stage draws before the window's events run: markers
    // between looks at the clock, and the time a slice may take.
    void setSliceLimits(std::int64_t markersPerCheck, qint64 sliceMs);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void buildRangePanel();
    void buildRegionPanel();
    void placePanels();
    void drawSlice();
    void cancelPlotStage();
    void printPicture();
    void offerPdf();
    void buildReportButtons();
    void buildStatisticsPanel();
    // Takes the statistics further until `clock` passes the slice time; shows them once done.
    void advanceStatistics(const QElapsedTimer& clock);
    void fitStatisticsPanel();
    void fillRangeTexts();
    void exportCsv();
    void exportPicture();

    ui::Services& m_services;
    std::function<void()> m_resumePoll;
    PlotSettings& m_settings;

    double m_axisMin = 0;
    double m_axisMax = 1;
    int m_gridColour = DefaultGridColour;
    Frame m_frame;
    QImage m_picture;

    std::unique_ptr<PlotStage> m_stage;
    RegionRows m_stageRegions; // the rows the running stage draws
    QTimer* m_timer1;
    QTimer* m_sliceTimer;
    std::int64_t m_markersPerCheck;
    qint64 m_sliceMs;

    QToolBar* m_toolbar1;
    QFrame* m_pictureRange;
    QLineEdit* m_txtTMin;
    QLineEdit* m_txtTMax;
    QLineEdit* m_txtFrom;
    QLineEdit* m_txtTo;
    RegionPanel* m_picUser;
    ui::FileDialogState m_pdfDialog;
    std::unique_ptr<RangeStatisticsRun> m_statistics; // taken beside the running stage
    QFrame* m_picStats;
    QTableWidget* m_gridStats;
    QLabel* m_lblStats;
    ui::FileDialogState m_csvDialog;
    ui::FileDialogState m_pictureDialog;
};

// Owns the plot window across its openings: creates it on first use, keeps the settings that
// outlive it, and brings an open window to the front redrawn with the records just opened (it
// keeps its axis range), so that it never shows one file while its exports take another.
class PlotViewer
{
public:
    PlotViewer(ui::Services& services, std::function<void()> resumePoll, QWidget* mainWindow);
    ~PlotViewer();
    PlotViewer(const PlotViewer&) = delete;
    PlotViewer& operator=(const PlotViewer&) = delete;

    // What the main window's open command does once the recording is loaded.
    PlotWindow* showAndDraw();
    PlotWindow* window() const { return m_window.data(); }
    PlotSettings& settings() { return m_settings; }

private:
    ui::Services& m_services;
    std::function<void()> m_resumePoll;
    QPointer<QWidget> m_mainWindow;
    PlotSettings m_settings;
    QPointer<PlotWindow> m_window;
};

} // namespace plot

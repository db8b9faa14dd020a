#pragma once

#include "files/PlotDocument.h"
#include "plot/PlotExportActions.h"
#include "plot/RegionFile.h"
#include "ui/Dialogs.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QToolBar;

namespace plot {

class PlotCanvas;
class RangePanel;
class RegionPanel;
class StatisticsPanel;

// What the plot viewer keeps while its window is closed.
struct PlotSettings
{
    bool RegionsOn = false;
};

// The commands of the plot window's toolbar `Toolbar1`. The buttons carry the keys as object
// names: "Unit", "Resize", "Print", "ExportCsv", "ExportPicture"; "Stats" shows or hides the
// statistics.
enum class PlotCommand
{
    Regions, // "Unit": show or hide the regions panel
    Range,   // "Resize": refill the range dialog and show or hide it
    Print,
    ExportCsv,
    ExportPicture,
    Report
};

// The chromaticity plot window `Plot`: the canvas that draws the opened document, with the
// toolbar, the range dialog, the regions panel and the statistics laid over it. It shows the
// document's name as its caption once a drawing is complete, and redraws whenever the document
// changes.
class PlotWindow : public QWidget
{
    Q_OBJECT
public:
    // `mainWindow` places the window (left edge at its right edge, tops aligned). `clock` dates
    // the exported pictures and the reports (the system's clock when null).
    PlotWindow(ui::Dialogs& dialogs, files::PlotDocument& document, QWidget* mainWindow,
               PlotSettings& settings, const ui::Clock* clock = nullptr);
    ~PlotWindow() override;

    void run(PlotCommand command);
    RegionRows regionRows() const;
    PlotCanvas& canvas() { return *m_canvas; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Its region rows and place, for the next time it opens.
    void rememberSettings() const;
    void buildToolbar();
    void placePanels();
    // The document holds other records: their name at once, nothing left of the last ones'
    // statistics or range texts.
    void showNewRecords();
    void applyRange(files::RecordRange range, double axisMin, double axisMax);
    void showRegions();
    void hideRegions();
    void drawingComplete();

    files::PlotDocument& m_document;
    PlotSettings& m_settings;

    PlotCanvas* m_canvas;
    QToolBar* m_toolbar;
    RangePanel* m_rangePanel;
    RegionPanel* m_regionPanel;
    StatisticsPanel* m_statisticsPanel;
    PlotExportActions m_exports;
};

// Owns the plot window across its openings: creates it on first use, keeps the settings that
// outlive it, and brings an open window to the front (it redraws itself with the records just
// opened and keeps its axis range).
class PlotViewer
{
public:
    PlotViewer(ui::Dialogs& dialogs, files::PlotDocument& document, QWidget* mainWindow,
               const ui::Clock* clock = nullptr);
    ~PlotViewer();
    PlotViewer(const PlotViewer&) = delete;
    PlotViewer& operator=(const PlotViewer&) = delete;

    // What the main window's open command does once the recording is loaded.
    PlotWindow* showAndDraw();
    PlotWindow* window() const { return m_window.data(); }
    PlotSettings& settings() { return m_settings; }

private:
    ui::Dialogs& m_dialogs;
    files::PlotDocument& m_document;
    QPointer<QWidget> m_mainWindow;
    const ui::Clock* m_clock;
    PlotSettings m_settings;
    QPointer<PlotWindow> m_window;
};

} // namespace plot

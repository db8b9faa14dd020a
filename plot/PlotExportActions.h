#pragma once

#include "files/PlotDocument.h"
#include "plot/RegionFile.h"
#include "ui/Clock.h"
#include "ui/Dialogs.h"

#include <QString>

namespace plot {

class PlotCanvas;

// What the plot window writes out, always what it shows: printing the canvas's picture (a PDF
// file of it when no printer is installed), every record of the document as CSV, and the plot
// at a typed size as a PNG or SVG picture, and the one-page report. Each asks for its file with a
// dialog of its own.
class PlotExportActions
{
public:
    // `clock` dates the reports; null: the system's.
    PlotExportActions(ui::Dialogs& dialogs, const files::PlotDocument& document,
                      const PlotCanvas& canvas, const ui::Clock* clock = nullptr);

    // `title` names the print job and the PDF document.
    void print(const QString& title);
    void exportCsv();
    // `regions` is null when the regions are off.
    void exportPicture(const RegionRows* regions);
    // The report of the plotted range: its dialog (the user rows `rows` offered beside the
    // ANSI quadrangles, the checked ones ticked), then the file dialog.
    void exportReport(const RegionRows& rows, QWidget* parent);

private:
    void offerPdf(const QString& title);

    ui::Dialogs& m_dialogs;
    const files::PlotDocument& m_document;
    const PlotCanvas& m_canvas;
    const ui::Clock& m_clock;
    ui::FileDialogState m_pdfDialog;
    ui::FileDialogState m_csvDialog;
    ui::FileDialogState m_pictureDialog;
    ui::FileDialogState m_reportDialog;
};

} // namespace plot

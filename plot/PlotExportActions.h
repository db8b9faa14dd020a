#pragma once

#include "files/PlotDocument.h"
#include "plot/RegionFile.h"
#include "ui/Clock.h"
#include "ui/Dialogs.h"

#include <QSize>
#include <QString>

namespace plot {

class PlotCanvas;
struct PlotPicture;

// What the plot window writes out, always what it shows: printing the canvas's picture (when no
// printer is installed, a PDF file of the plot drawn over the page), every record of the
// document as CSV, the plot at a typed size as a PNG or SVG picture, and the one-page report.
// Pictures and PDF carry a title band with the file's name, the record range and the date from
// `clock`, which dates the reports too. Each asks for its file with a dialog of its own.
class PlotExportActions
{
public:
    PlotExportActions(ui::Dialogs& dialogs, const files::PlotDocument& document,
                      const PlotCanvas& canvas, const ui::Clock& clock);

    // `title` names the print job and the PDF document. `regions` is null when the regions are
    // off.
    void print(const QString& title, const RegionRows* regions);
    void exportCsv();
    void exportPicture(const RegionRows* regions);
    // The report of the plotted range: its dialog (the user rows `rows` offered beside the
    // ANSI quadrangles, the checked ones ticked), then the file dialog.
    void exportReport(const RegionRows& rows, QWidget* parent);

private:
    void offerPdf(const QString& title, const RegionRows* regions);
    // The plot as the canvas shows it, at `size`.
    PlotPicture picture(QSize size, const RegionRows* regions) const;

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

#include "plot/PlotExportActions.h"

#include "files/CsvExport.h"
#include "plot/PlotCanvas.h"
#include "plot/PlotExport.h"
#include "plot/Report.h"
#include "plot/ReportDialog.h"
#include "ui/SavePath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

namespace plot {

PlotExportActions::PlotExportActions(ui::Dialogs& dialogs, const files::PlotDocument& document,
                                     const PlotCanvas& canvas, const ui::Clock& clock)
    : m_dialogs(dialogs), m_document(document), m_canvas(canvas), m_clock(clock)
{
}

PlotPicture PlotExportActions::picture(QSize size, const RegionRows* regions) const
{
    const QString& path = m_document.source().path;
    return {size,
            m_canvas.axisMin(),
            m_canvas.axisMax(),
            &m_document.records(),
            m_document.range(),
            regions,
            m_canvas.gridColour(),
            m_canvas.font(),
            m_canvas.palette().color(QPalette::Window),
            {path.isEmpty() ? m_document.name() : QFileInfo(path).fileName(), m_document.range(),
             m_document.records().count(), m_clock.now()}};
}

void PlotExportActions::print(const QString& title, const RegionRows* regions)
{
    if (!m_dialogs.hasPrinter()) {
        offerPdf(title, regions);
        return;
    }
    if (!m_dialogs.printImage(m_canvas.picture(), title))
        m_dialogs.message(QStringLiteral("The plot could not be printed."), ui::MsgButtons::Ok,
                          ui::MsgIcon::Exclamation);
}

void PlotExportActions::offerPdf(const QString& title, const RegionRows* regions)
{
    if (m_dialogs.message(QStringLiteral("No printer is installed. Save the plot as a PDF file?"),
                          ui::MsgButtons::OkCancel, ui::MsgIcon::Question) != ui::MsgAnswer::Ok)
        return;
    const auto path = ui::AskSavePath(
        m_dialogs, m_pdfDialog, QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*|"),
        QStringLiteral("Plot.pdf"), ui::FileKind::Picture);
    if (!path)
        return;
    QString reason;
    // On paper: a white page, the plot with the aspect of the window's.
    PlotPicture page = picture(m_canvas.picture().size(), regions);
    page.background = Qt::white;
    if (!WritePlotPdf(page, *path, title, reason))
        ui::ShowNotWritten(m_dialogs, QStringLiteral("The PDF file"), *path, reason);
}

void PlotExportActions::exportCsv()
{
    const files::RecordSource& source = m_document.source();
    if (source.path.isEmpty() && source.text.isEmpty()) {
        m_dialogs.message(QStringLiteral("No data file is open."), ui::MsgButtons::Ok,
                          ui::MsgIcon::Exclamation);
        return;
    }
    QString offered = QStringLiteral("Plot.csv");
    if (!source.path.isEmpty()) {
        const QFileInfo info(source.path);
        offered = info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv"));
    }
    const auto path = ui::AskSavePath(
        m_dialogs, m_csvDialog, QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|"),
        offered, ui::FileKind::Csv);
    if (!path)
        return;
    QString reason;
    // A million records take a moment.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = files::ExportDocumentCsv(m_document, *path, reason);
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        ui::ShowNotWritten(m_dialogs, QStringLiteral("The CSV file"), *path, reason);
}

void PlotExportActions::exportPicture(const RegionRows* regions)
{
    const auto path = ui::AskSavePath(m_dialogs, m_pictureDialog, PictureDialogFilter(),
                                      QStringLiteral("Plot.png"), ui::FileKind::Picture);
    if (!path)
        return;
    const QImage& shown = m_canvas.picture();
    const QString typed =
        m_dialogs.inputBox(QStringLiteral("Width x Height"), QStringLiteral("Export Picture"),
                           QStringLiteral("%1 x %2").arg(shown.width()).arg(shown.height()));
    if (typed.trimmed().isEmpty())
        return;
    QString reason;
    const std::optional<QSize> size = ParsePictureSize(typed, reason);
    if (!size) {
        m_dialogs.message(reason, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written =
        WritePlotPicture(picture(*size, regions),
                         PictureFormatOf(*path, m_pictureDialog.filterIndex), *path, reason);
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        ui::ShowNotWritten(m_dialogs, QStringLiteral("The picture"), *path, reason);
}

void PlotExportActions::exportReport(const RegionRows& rows, QWidget* parent)
{
    QStringList ticked;
    for (const GraphRegion& region : GraphRegions(rows))
        if (region.user)
            ticked << region.name;
    ReportDialog dialog(m_dialogs, m_document.name(), GraphRegions(rows), ticked, parent);
    if (m_dialogs.runModal(dialog) != QDialog::Accepted)
        return;
    QString offered = QStringLiteral("Report.pdf");
    if (const QString& source = m_document.source().path; !source.isEmpty()) {
        const QFileInfo info(source);
        offered = info.dir().filePath(info.completeBaseName() + QStringLiteral("-report.pdf"));
    }
    const auto path = ui::AskSavePath(m_dialogs, m_reportDialog, ReportDialogFilter(), offered);
    if (!path)
        return;
    const ReportChoice& choice = dialog.choice();
    ReportRequest request = ReportRequestFor(m_document);
    request.title = choice.title;
    request.regions = choice.regions;
    request.requiredPercent = choice.requiredPercent;
    request.notes = choice.notes;
    request.diagram = choice.uv ? Diagram::UV : Diagram::XY;
    request.made = m_clock.now();
    request.version = QCoreApplication::applicationVersion();
    request.page = ReportPageFor(QLocale());
    QString reason;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written =
        WriteReport(request, ReportFormatOf(*path, m_reportDialog.filterIndex), *path, reason);
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        ui::ShowNotWritten(m_dialogs, QStringLiteral("The report"), *path, reason);
}

} // namespace plot

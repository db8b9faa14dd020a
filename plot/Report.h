#pragma once

#include "files/DataFileReader.h"
#include "files/PlotDocument.h"
#include "plot/GraphDiagram.h"
#include "plot/GraphModel.h"
#include "plot/RangeStatistics.h"

#include <QByteArray>
#include <QDateTime>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QLocale;
class QPainter;

namespace plot {

// The measurement report: one page that documents the plotted range of a recording, made the
// same from the plot window and from the command-line client.

enum class ReportFormat
{
    Pdf,
    Svg,
    Png
};

// The file dialog's filter list for a report.
QString ReportDialogFilter();
// By the name's suffix; otherwise what the chosen filter (1-based) names, PDF for any other.
ReportFormat ReportFormatOf(const QString& path, int filterIndex);

// The record numbers listed as outside a region; the rest are counted.
inline constexpr std::size_t ReportOutsideListed = 20;

// Everything a report shows; the same request gives the same bytes.
struct ReportRequest
{
    QString title; // empty: the file's name
    QString fileName;
    const files::RecordTable* records = nullptr;
    files::RecordRange range;
    files::DataFileFacts facts;
    std::vector<GraphRegion> regions; // to judge, in this order
    double requiredPercent = 100;
    QString notes;
    Diagram diagram = Diagram::XY;
    QDateTime made; // the date the page gives, and its documents' own dates
    QString version;
    QPageSize::PageSizeId page = QPageSize::A4;
};

// The request for the range `document` plots, read from where its records came from for the
// heading (left out where that can no longer be read); title, regions, share, notes, date and
// version as given afterwards.
ReportRequest ReportRequestFor(const files::PlotDocument& document);

// Letter where the locale measures in US units, A4 elsewhere.
QPageSize::PageSizeId ReportPageFor(const QLocale& locale);

// The region offered under `name`, case and blanks aside ("5000 K", "5000k", "5000",
// "User 2", "user2"); nothing when none is.
std::optional<GraphRegion> FindRegion(const std::vector<GraphRegion>& offered, const QString& name);

// The share required as typed ("100", "95.5", "95 %"): a percentage from 0 to 100.
std::optional<double> ParseRequiredPercent(QString text);

struct RegionVerdict
{
    QString name;
    long long inside = 0;
    long long plotted = 0;
    bool pass = false;
    std::vector<std::int64_t> outside; // the first of them
};

// The page's figures, worked out once for every format.
struct ReportContent
{
    QString title;
    QStringList heading; // the lines under the title
    RangeStatistics statistics;
    std::vector<RegionVerdict> verdicts;
};
ReportContent ReportContentOf(const ReportRequest& request);

// "5000 K: 75.0 % inside (3 of 4): FAIL".
QString VerdictLine(const RegionVerdict& verdict);
// "Outside (1): 4"; "Outside (25): 1, 2, … 20 and 5 more"; empty when none is.
QString OutsideLine(const RegionVerdict& verdict);

// Draws the page in points onto `painter`, whose page is `pageSize` points.
void PaintReport(QPainter& painter, const ReportRequest& request, const ReportContent& content,
                 QSizeF pageSize);

// The document as a file of `format` holds it (a PNG at `pngDpi`); empty when it could not be
// made.
QByteArray ReportDocument(const ReportRequest& request, ReportFormat format, int pngDpi = 150);

// Writes the report; the file is replaced only when the new one is complete. Otherwise false,
// with the reason, and any earlier file stays.
bool WriteReport(const ReportRequest& request, ReportFormat format, const QString& path,
                 QString& reason);

} // namespace plot

#include "cli/Session.h"
#include "files/DataFileReader.h"
#include "files/PlotDocument.h"
#include "plot/GraphModel.h"
#include "plot/RegionFile.h"
#include "plot/Report.h"
#include "ui/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace cli {

int WriteReportFile(Session& session, const ReportOptions& options)
{
    plot::RegionRows rows;
    if (!options.userFile.isEmpty()) {
        QFile file(options.userFile);
        if (!file.open(QIODevice::ReadOnly))
            return session.fail(
                FileFailed,
                QStringLiteral("%1 cannot be read: %2").arg(options.userFile, file.errorString()));
        rows = plot::ReadRegionFile(file);
        if (const auto refusal = plot::RegionRowsRefusal(rows))
            return session.fail(FileFailed,
                                QStringLiteral("%1: %2").arg(options.userFile, *refusal));
    }
    const std::vector<plot::GraphRegion> offered = plot::GraphRegions(rows);
    std::vector<plot::GraphRegion> chosen;
    for (const QString& name : options.regions) {
        const auto region = plot::FindRegion(offered, name);
        if (!region) {
            QStringList names;
            for (const plot::GraphRegion& each : offered)
                names << each.name;
            return session.fail(Usage, QStringLiteral("no region \"%1\"; there are %2")
                                           .arg(name, names.join(QStringLiteral(", "))));
        }
        chosen.push_back(*region);
    }

    files::RecordTable records;
    const files::ReadResult read = files::ReadDataFile(options.dataFile, records);
    if (read.outcome != files::ReadOutcome::Ok)
        return session.fail(FileFailed, files::ReadFailureText(options.dataFile, read));
    const auto count = static_cast<long long>(records.count());
    files::PlotDocument document;
    document.open(std::move(records), QFileInfo(options.dataFile).fileName(),
                  {options.dataFile, read.stamp, {}});
    if (options.range) {
        const auto [first, last] = *options.range;
        if (first < 1 || last < first || last > count)
            return session.fail(Usage, QStringLiteral("--range takes FIRST-LAST with 1 <= FIRST "
                                                      "<= LAST <= %1, the records of the file")
                                           .arg(count));
        document.setRange({static_cast<double>(first), static_cast<double>(last)});
    }

    plot::ReportRequest request = plot::ReportRequestFor(document);
    request.title = options.title;
    request.regions = chosen;
    request.requiredPercent = options.requiredPercent;
    request.notes = options.notes ? *options.notes : ui::Settings().reportNotes();
    request.diagram = options.uv ? plot::Diagram::UV : plot::Diagram::XY;
    request.made = session.env.clock.now();
    request.version = QCoreApplication::applicationVersion();
    request.page = plot::ReportPageFor(QLocale());
    QString reason;
    if (!plot::WriteReport(request, plot::ReportFormatOf(options.output, 1), options.output,
                           reason))
        return session.fail(FileFailed, QStringLiteral("the report could not be written as %1: %2")
                                            .arg(options.output, reason));
    return Done;
}

} // namespace cli

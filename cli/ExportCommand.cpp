#include "cli/Session.h"
#include "files/CsvExport.h"
#include "files/CsvWriter.h"
#include "files/DataFileReader.h"
#include "files/FileStamp.h"

#include <QFile>

namespace cli {

int ExportDataFile(Session& session, const QString& dataFile, const QString& output)
{
    QFile data;
    if (const files::ReadResult opened = files::OpenRegularFile(dataFile, data);
        opened.outcome != files::ReadOutcome::Ok)
        return session.fail(FileFailed, files::ReadFailureText(dataFile, opened));
    QString reason;
    if (!output.isEmpty()) {
        // Written aside and renamed when whole, as the window's export is.
        const files::FileStamp stamp = files::StampOf(data);
        data.close();
        if (!files::ExportDataFileCsv(dataFile, stamp, output, reason))
            return session.fail(FileFailed, reason);
        return Done;
    }
    files::CsvWriter csv(session.out());
    const long long records = files::WriteDataFileCsv(data, csv, reason);
    if (records < 0)
        return session.fail(FileFailed,
                            QStringLiteral("%1 cannot be read: %2").arg(dataFile, reason));
    if (!csv.finish() || !session.out().flush())
        return session.fail(
            FileFailed,
            QStringLiteral("the standard output cannot be written: %1").arg(SystemReason()));
    return Done;
}

} // namespace cli

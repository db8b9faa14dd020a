#include "files/CsvExport.h"

#include "files/DataFileReader.h"
#include "files/PlotDocument.h"
#include "files/RecordCsv.h"
#include "ui/WorkingFiles.h"

#include <QDir>
#include <QFile>
#include <new>

namespace files {

namespace {

// Writes the CSV that `write` gives as the file `csvPath`, aside until it is complete.
template <typename Write> bool writeCsvFile(const QString& csvPath, QString& reason, Write write)
{
    const auto csv = [&write](QIODevice& file, QString& error) {
        CsvWriter writer(file);
        return write(writer, error) && writer.finish();
    };
    return ui::Save(csvPath, csv, std::nullopt, reason) == ui::SaveOutcome::Saved;
}

} // namespace

bool ExportRecordsCsv(std::string_view fileText, const QString& csvPath, QString& reason)
{
    return writeCsvFile(csvPath, reason, [fileText](CsvWriter& writer, QString&) {
        WriteRecordsCsv(fileText, writer);
        return true;
    });
}

bool ExportDataFileCsv(const QString& dataPath, const FileStamp& stamp, const QString& csvPath,
                       QString& reason)
{
    QFile data;
    if (const ReadResult opened = OpenRegularFile(dataPath, data);
        opened.outcome != ReadOutcome::Ok) {
        reason = ReadFailureText(dataPath, opened);
        return false;
    }
    const QString changed =
        QStringLiteral("\"%1\" has changed since it was opened; open it again to export what it "
                       "holds now")
            .arg(QDir::toNativeSeparators(dataPath));
    if (StampOf(data) != stamp) {
        reason = changed;
        return false;
    }
    return writeCsvFile(csvPath, reason, [&](CsvWriter& writer, QString& why) {
        if (WriteDataFileCsv(data, writer, why) < 0)
            return false;
        // Written to while it was read: the rows may mix the old and the new file.
        if (StampOf(data) != stamp) {
            why = changed;
            return false;
        }
        return true;
    });
}

bool ExportDocumentCsv(const PlotDocument& document, const QString& csvPath, QString& reason)
{
    const RecordSource& source = document.source();
    if (source.path.isEmpty())
        return ExportRecordsCsv(
            {source.text.constData(), static_cast<std::size_t>(source.text.size())}, csvPath,
            reason);
    return ExportDataFileCsv(source.path, source.stamp, csvPath, reason);
}

long long WriteDataFileCsv(QFile& data, CsvWriter& writer, QString& reason)
{
    // Read block by block as the rows are made: a recording of a million lines stays out of the
    // heap.
    RecordsCsv csv(writer);
    try {
        const ReadResult read =
            ReadLines(data, [&csv](std::string_view lines) { return csv.addItems(lines); });
        if (read.outcome == ReadOutcome::ReadFailed) {
            reason = read.systemError;
            return -1;
        }
        if (read.outcome == ReadOutcome::LineTooLong) {
            reason = ReadFailureReason(read);
            return -1;
        }
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("the file is larger than the memory at hand");
        return -1;
    }
    return csv.finish();
}

} // namespace files

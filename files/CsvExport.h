#pragma once

#include <QString>
#include <string_view>

class QFile;

namespace files {

class CsvWriter;
class PlotDocument;
struct FileStamp;

// Writes the CSV of a recording's or a downloaded set's text (WriteRecordsCsv) as the file
// `csvPath`. The file is written aside and takes the name only when complete, so a failure
// leaves any earlier file as it was; then false, with the system's reason in `reason`.
bool ExportRecordsCsv(std::string_view fileText, const QString& csvPath, QString& reason);

// The same for the data file at `dataPath`, every record of it, as long as it is still the file
// `stamp` describes: one changed or replaced since is refused with the reason.
bool ExportDataFileCsv(const QString& dataPath, const FileStamp& stamp, const QString& csvPath,
                       QString& reason);

// The same for every record of the document, from its source: the data file it was read from,
// unchanged since, or the text of the downloaded set.
bool ExportDocumentCsv(const PlotDocument& document, const QString& csvPath, QString& reason);

// Writes the CSV of the open data file `data` to `writer`, reading it block by block as the rows
// are made. The number of records written; -1, with the reason in `reason`, when the file could
// not be read. The caller finishes the writer.
long long WriteDataFileCsv(QFile& data, CsvWriter& writer, QString& reason);

} // namespace files

#include "files/CsvExport.h"

#include "files/DataFileReader.h"
#include "files/RecordCsv.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <new>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace files {

namespace {

// Starts writing each block to the disk as soon as it is handed over, so that a large export
// goes to the disk while the rest is still being made and the commit waits only for its end.
class EagerSaveFile : public QSaveFile
{
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        const qint64 written = QSaveFile::writeData(data, length);
#ifdef Q_OS_LINUX
        if (written > 0)
            ::sync_file_range(handle(), m_written, written, SYNC_FILE_RANGE_WRITE);
#endif
        m_written += std::max<qint64>(written, 0);
        return written;
    }

private:
    qint64 m_written = 0;
};

// Writes the CSV that `write` gives as the file `csvPath`, aside until it is complete.
template <typename Write> bool writeCsvFile(const QString& csvPath, QString& reason, Write write)
{
    // Unbuffered: the writer hands over blocks of a megabyte, and a full disk shows as a short
    // write before the commit.
    EagerSaveFile file(csvPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return false;
    }
    CsvWriter writer(file);
    if (!write(writer, reason))
        return false;
    if (!writer.finish() || !file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool ExportRecordsCsv(std::string_view fileText, const QString& csvPath, QString& reason)
{
    return writeCsvFile(csvPath, reason, [fileText](CsvWriter& writer, QString&) {
        WriteRecordsCsv(fileText, writer);
        return true;
    });
}

bool ExportDataFileCsv(const QString& dataPath, const QString& csvPath, QString& reason)
{
    QFile data;
    if (const ReadResult opened = OpenRegularFile(dataPath, data);
        opened.outcome != ReadOutcome::Ok) {
        reason = ReadFailureText(dataPath, opened);
        return false;
    }
    // Read block by block as the rows are made: a recording of a million lines stays out of
    // the heap.
    return writeCsvFile(csvPath, reason, [&data](CsvWriter& writer, QString& why) {
        RecordsCsv csv(writer);
        try {
            const ReadResult read =
                ReadLines(data, [&csv](std::string_view lines) { return csv.addItems(lines); });
            if (read.outcome == ReadOutcome::ReadFailed) {
                why = read.systemError;
                return false;
            }
            if (read.outcome == ReadOutcome::LineTooLong) {
                why = ReadFailureReason(read);
                return false;
            }
        } catch (const std::bad_alloc&) {
            why = QStringLiteral("the file is larger than the memory at hand");
            return false;
        }
        csv.finish();
        return true;
    });
}

} // namespace files

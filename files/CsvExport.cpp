#include "files/CsvExport.h"

#include "files/DataFileReader.h"
#include "files/RecordCsv.h"

#include <QFile>
#include <QSaveFile>
#include <new>

namespace files {

bool ExportRecordsCsv(std::string_view fileText, const QString& csvPath, QString& reason)
{
    // Unbuffered: the writer hands over blocks of a megabyte, and a full disk shows as a short
    // write before the commit.
    QSaveFile file(csvPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return false;
    }
    CsvWriter writer(file);
    WriteRecordsCsv(fileText, writer);
    if (!writer.finish() || !file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

bool ExportDataFileCsv(const QString& dataPath, const QString& csvPath, QString& reason)
{
    QFile data;
    if (const ReadResult opened = OpenRegularFile(dataPath, data);
        opened.outcome != ReadOutcome::Ok) {
        reason = ReadFailureText(dataPath, opened);
        return false;
    }
    // Mapped rather than read: a recording of a million lines stays out of the heap.
    const qint64 size = data.size();
    if (size > 0) {
        if (const uchar* mapped = data.map(0, size))
            return ExportRecordsCsv(
                {reinterpret_cast<const char*>(mapped), static_cast<std::size_t>(size)}, csvPath,
                reason);
    }
    try {
        const QByteArray text = data.readAll();
        if (data.error() != QFileDevice::NoError) {
            reason = data.errorString();
            return false;
        }
        return ExportRecordsCsv({text.constData(), static_cast<std::size_t>(text.size())}, csvPath,
                                reason);
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("the file is larger than the memory at hand");
        return false;
    }
}

} // namespace files
